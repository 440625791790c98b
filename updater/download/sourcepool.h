#pragma once

#include <QList>
#include <QStringList>
#include <QUrl>

// The addresses a package is fetched from: the main one and its mirrors. Parts are spread over the
// live ones; one that keeps failing is dropped and its parts go to the others, but the last live
// source is never dropped. Sources are numbered in order, the main address first.
class SourcePool final
{
public:
    // Starts over with `primary` and those `mirrors` that are http(s) and not named already.
    void reset(const QUrl &primary, const QStringList &mirrors);

    int size() const
    {
        return int(sources.size());
    }
    QUrl url(int source) const
    {
        return sources.at(source).url;
    }
    // The live source for the part at `index`, taking the live ones in turn; the head when none is live.
    int nextLive(int index) const;

    // Where a request that may bring the whole package goes: the main address, or the first source
    // that answered when it did not.
    int head() const
    {
        return headSource;
    }
    // The source whose answer told the size and validators: only it is asked with If-Range, and only
    // its Content-Range total that differs means a changed package (another source may serve another file).
    int validator() const
    {
        return validatorSource;
    }
    void setValidator(int source)
    {
        validatorSource = source;
    }
    // The main address did not answer but `source` did: it becomes the head and the validator.
    void standInForMain(int source);

    // Drops `source` when another one is live, moving the head on if it was the head; false (and
    // nothing changes) when it is the last live one.
    bool drop(int source);
    // Counts a request of `source` that failed; true once it has failed too often in a row.
    bool failedTooOften(int source);
    void succeeded(int source);

private:
    struct Source
    {
        QUrl url;
        int failuresInARow = 0;
        bool dropped = false;
    };
    QList<Source> sources;
    int headSource = 0;
    int validatorSource = 0;
};
