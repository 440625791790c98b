#pragma once

#include "downloadplan.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

class QFile;
class QNetworkReply;

// Fetches one part of the package with its own connection and writes it into the shared file at its
// own offset as it arrives. Nothing is written before the answer has proved to be the range asked
// for, and the part only succeeds when exactly that many bytes arrived.
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
    // Starts one plain GET of the whole package, streamed to `file` from its start; for a server that
    // told no size.
    void FetchWhole(const QUrl &url, QFile *file);
    // Ends a running part as failed; DownloadFinished() follows as for any other end.
    void Abort(const QString &reason);

    // Time without any data after which the part fails.
    void SetStallTimeout(int milliseconds);

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

signals:
    void HaveDoneBytes(qint64 bytes);
    void DownloadFinished();

public slots:
    void FinishedSlot();
    void HttpReadyRead();

private:
    void start(const QUrl &url, QFile *target, const QByteArray &range);
    bool answerIsUsable();
    void fail(const QString &reason);

    QNetworkAccessManager manager;
    QNetworkReply *reply = nullptr;
    QFile *file = nullptr;
    int partNumber = 0;
    qint64 doneBytes = 0;
    qint64 rangeStart = 0;
    qint64 rangeEnd = 0;
    qint64 packageSize = 0;
    bool ranged = true;
    bool answerChecked = false;
    bool ended = false;
    int stallTimeoutMs = 30000;
    QString error;
};
