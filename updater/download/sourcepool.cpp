#include "sourcepool.h"

#include "packagefile.h"

#include <algorithm>

namespace {
// A source that fails this often in a row gives its parts to the others, if there are any.
constexpr int SourceFailureLimit = 3;
} // namespace

void SourcePool::reset(const QUrl &primary, const QStringList &mirrors)
{
    sources = {{primary}};
    headSource = 0;
    validatorSource = 0;
    for (const QString &mirror : mirrors) {
        const QUrl other(mirror.trimmed());
        const bool known = std::any_of(sources.cbegin(), sources.cend(), [&](const Source &source) {
            return source.url == other;
        });
        if (PackageFile::isFetchableUrl(other) && !known)
            sources.append({other});
    }
}

int SourcePool::nextLive(int index) const
{
    QList<int> live;
    for (int i = 0; i < sources.size(); ++i) {
        if (!sources.at(i).dropped)
            live.append(i);
    }
    return live.isEmpty() ? headSource : live.at(index % live.size());
}

void SourcePool::standInForMain(int source)
{
    sources[0].dropped = true;
    headSource = source;
    validatorSource = source;
}

bool SourcePool::drop(int source)
{
    bool othersLive = false;
    for (int i = 0; i < sources.size(); ++i)
        othersLive = othersLive || (i != source && !sources.at(i).dropped);
    if (!othersLive)
        return false;
    sources[source].dropped = true;
    if (source == headSource)
        headSource = nextLive(0);
    return true;
}

bool SourcePool::failedTooOften(int source)
{
    return ++sources[source].failuresInARow >= SourceFailureLimit;
}

void SourcePool::succeeded(int source)
{
    sources[source].failuresInARow = 0;
}
