#pragma once

#include "downloadplan.h"
#include "retrypolicy.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

class QFile;
class QNetworkReply;

// Fetches one part of the package with its own connection and writes it into the shared file at its
// own offset as it arrives. Nothing is written before the answer has proved to be the range asked
// for, and the part only succeeds when exactly that many bytes arrived. One request per object: the
// coordinator decides about retries.
class Download final : public QObject
{
    Q_OBJECT

public:
    explicit Download(int partNumber, QObject *parent = nullptr);
    ~Download() override;

    Q_DISABLE_COPY_MOVE(Download)

    // Starts the ranged GET of bytes first..last of a package of `packageSize` bytes. A null file
    // starts nothing and no signal follows.
    void FetchRange(const QUrl &url, QFile *file, qint64 first, qint64 last, qint64 packageSize);
    // Starts one plain GET of the whole package, streamed to `file` from its start.
    void FetchWhole(const QUrl &url, QFile *file);
    // Ends a running part as failed; DownloadFinished() follows as for any other end.
    void Abort(const QString &reason);

    // Time without any data after which the part fails.
    void SetStallTimeout(int milliseconds);
    // What the package's server called it; a ranged request then carries If-Range, and a 200 that names
    // another version is a changed package rather than a server without ranges.
    void SetValidator(const QByteArray &etag, const QByteArray &lastModified);
    // For a range from byte 0: a 200 that carries the whole package is taken as the whole download
    // (ServingWholeFile()) instead of being refused, so a server without ranges is not asked twice.
    void SetMayServeWhole(bool may);
    // The package's signed size: nothing past it is written, and an answer that would go past it fails.
    void SetSizeLimit(qint64 bytes);

    int PartNumber() const
    {
        return partNumber;
    }
    bool Succeeded() const
    {
        return ended && error.isEmpty();
    }
    QString ErrorString() const
    {
        return error;
    }
    RetryPolicy::Fault LastFault() const
    {
        return fault;
    }
    QByteArray RetryAfter() const
    {
        return retryAfter;
    }
    // Bytes this request wrote.
    qint64 DoneBytes() const
    {
        return doneBytes;
    }
    // Whether the answer has been looked at and found to be the part.
    bool Answered() const
    {
        return answerChecked;
    }
    bool ServesWhole() const
    {
        return !ranged;
    }
    // After a plain GET: whether the answer told its length, so that its end proves it complete.
    bool LengthKnown() const
    {
        return lengthKnown;
    }
    // What a plain GET's answer said about the package, so a broken one can be continued with a range.
    struct WholeAnswer
    {
        qint64 length = -1;
        bool acceptsRanges = false;
        QByteArray etag;
        QByteArray lastModified;
    };
    WholeAnswer AnswerToWholeGet() const
    {
        return wholeAnswer;
    }

signals:
    void HaveDoneBytes(qint64 bytes);
    void ServingWholeFile();
    void DownloadFinished();

public slots:
    void FinishedSlot();
    void HttpReadyRead();

private:
    void start(const QUrl &url, QFile *target, const QByteArray &range);
    bool answerIsUsable();
    RetryPolicy::Fault judgeFullAnswer(qint64 contentLength) const;
    void fail(RetryPolicy::Fault why, const QString &reason);

    QNetworkAccessManager manager;
    QNetworkReply *reply = nullptr;
    QFile *file = nullptr;
    int partNumber = 0;
    qint64 doneBytes = 0;
    qint64 rangeStart = 0;
    qint64 rangeEnd = 0;
    qint64 packageSize = 0;
    qint64 sizeLimit = 0;
    WholeAnswer wholeAnswer;
    bool ranged = true;
    bool answerChecked = false;
    bool ended = false;
    bool lengthKnown = false;
    bool mayServeWhole = false;
    int stallTimeoutMs = 30000;
    QByteArray etag;
    QByteArray lastModified;
    QString error;
    RetryPolicy::Fault fault = RetryPolicy::Fault::None;
    QByteArray retryAfter;
};
