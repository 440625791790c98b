#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class Download;
class QFile;

// Downloads the update package in several byte ranges at once into one file. When the download ends,
// in success or failure, FileDownloadFinished() comes exactly once; OutputFileName() then names the
// complete file, or is empty after a failure, whose partial file has been removed.
class DownloadControl final : public QObject
{
    Q_OBJECT

public:
    explicit DownloadControl(QObject *parent = nullptr);
    // A download still running is abandoned and its partial file removed.
    ~DownloadControl() override;

    Q_DISABLE_COPY_MOVE(DownloadControl)

    // Sizes the package with a HEAD request (waiting for it), opens the output file and starts the
    // parts. Without a usable size the package comes in one plain GET. Every signal is emitted later
    // from the event loop, so callers may connect after this returns. Ignored while a download runs.
    void FetchFile(const QString &url, int partCount, const QString &saveName);
    QString OutputFileName() const;

    // Why the last download failed; empty after a success.
    QString ErrorString() const
    {
        return error;
    }
    // The package size the HEAD request gave; 0 when it gave none.
    qint64 TotalSize() const
    {
        return totalSize;
    }
    // Hex SHA-256 the finished file must have; empty for no check.
    void SetExpectedSha256(const QString &hex);
    // Time without any data after which the size request or a part fails.
    void SetStallTimeout(int milliseconds);

signals:
    void FileDownloadProgress(qint64 current, qint64 total);
    void FileDownloadFinished();

private slots:
    void SubProgress(qint64 bytes);
    void SubPartFinished();

private:
    // The Content-Length of a HEAD answer; 0 when there is none, -1 when the server was not reached.
    qint64 QueryRemoteSize(const QUrl &url);
    Download *startPart(int number);
    void fail(const QString &reason);
    void finish();
    QString verifyChecksum();
    QString moveIntoPlace();

    int partCount = 0;
    int finishedParts = 0;
    qint64 totalSize = 0;
    QUrl url;
    QFile *file = nullptr;
    qint64 receivedBytes = 0;
    QString fileName;

    QList<QPointer<Download>> workers;
    bool running = false;
    bool fileCreated = false;
    QString error;
    QString expectedSha256;
    int stallTimeoutMs = 30000;
};
