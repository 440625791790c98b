#pragma once

#include "downloadplan.h"
#include "headprobe.h"
#include "partfile.h"
#include "retrypolicy.h"
#include "sourcepool.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

class Download;

// Downloads the update package in several byte ranges at once into one file. A part that breaks is
// asked for again from the byte it reached; a server without ranges gets one streamed GET. The parts
// go into "<name>.part" with a small state file beside it, so a download that is stopped in any way
// continues at the next start. When the download ends, in success or failure, FileDownloadFinished()
// comes exactly once; OutputFileName() then names the complete file, or is empty after a failure.
class DownloadControl final : public QObject
{
    Q_OBJECT

public:
    // Why a download failed, in the terms the user is told.
    enum class Failure {
        None,
        Unreachable, // the server could not be reached
        Unstable,    // the connection broke again and again
        Refused,     // the server would not give the package
        Disk,        // the file could not be written
        Check,       // the file is not the announced package
    };

    explicit DownloadControl(QObject *parent = nullptr);
    // A download still running stops; what it has fetched stays for the next start.
    ~DownloadControl() override;

    Q_DISABLE_COPY_MOVE(DownloadControl)

    // Sizes the package with a HEAD request (waiting for it), opens the part file and starts the
    // parts. Every signal is emitted later from the event loop, so callers may connect after this
    // returns. Ignored while a download runs.
    void FetchFile(const QString &url, int partCount, const QString &saveName);
    QString OutputFileName() const;

    // Why the last download failed; empty after a success.
    QString ErrorString() const
    {
        return error;
    }
    Failure FailureCause() const
    {
        return failure;
    }
    // The package size; 0 while it is not known.
    qint64 TotalSize() const
    {
        return totalSize;
    }
    // Body bytes that arrived in this download, including any fetched twice; for measuring.
    qint64 FetchedBytes() const
    {
        return fetchedBytes;
    }
    // Whether the package came in ranges (false: in one plain GET).
    bool FetchedInRanges() const
    {
        return mode == Mode::Ranged;
    }
    // Hex SHA-256 the finished file must have; empty for no check.
    void SetExpectedSha256(const QString &hex);
    // The size of the package from a source the updater trusts; 0 when there is none. It proves
    // complete a plain GET that tells no length (which is refused without it), and measures progress
    // where the server tells no size. Checking the finished file against it is the caller's.
    void SetExpectedSize(qint64 bytes);
    // The signed SHA-256 of the package (hex), kept with the part file so that the part of another
    // release is never continued; empty when there is none.
    void SetSignedSha256(const QString &hex);
    // Further addresses of the same file; the parts are spread over them and the main address.
    void SetMirrors(const QStringList &urls);
    // Time without any data after which the size request or a part fails.
    void SetStallTimeout(int milliseconds);
    void SetRetrySchedule(const RetryPolicy::Schedule &schedule);

signals:
    void FileDownloadProgress(qint64 current, qint64 total);
    void FileDownloadFinished();
    // Whether some part is waiting to be asked for again after its connection broke.
    void RetryPending(bool waiting);

private slots:
    void SubProgress(qint64 bytes);
    void SubPartFinished();

private:
    struct Part
    {
        ByteRange range; // last is -1 for a plain GET of unknown size
        qint64 done = 0;
        int retries = 0;
        int source = 0;
        bool complete = false;
        bool waiting = false; // for a retry after a broken connection
        QPointer<Download> worker;
    };
    enum class Mode { Ranged, Whole };

    HeadProbe::Answer QueryRemote(const QUrl &url) const;
    // The size progress is measured against: the server's, else the announced one, else 0 (unknown).
    qint64 shownTotal() const
    {
        return totalSize > 0 ? totalSize : expectedSize;
    }
    bool restoreState(const HeadProbe::Answer &info);
    void planParts();
    void startPart(int index);
    int partOf(const QObject *worker) const;
    void handleFault(int index, Download *worker);
    void scheduleRetry(int index, RetryPolicy::Fault fault, const QByteArray &retryAfter);
    bool moveToAnotherSource(int index);
    void switchToWhole(Download *keep);
    void restartFromScratch();
    void stopWorkers();
    void saveState();
    bool canResumeLater() const;
    bool continueWithRanges(Part &part, const Download &worker);
    // Emits RetryPending() when whether any part waits for a retry has changed.
    void tellWaiting();
    // Takes the size and validators of a HEAD answer; false, having failed, when the server was not
    // reached or holds a package of another size than the signed one.
    bool adoptRemote(const HeadProbe::Answer &info);
    // `keep`: the fault may pass, so what arrived stays for the next attempt.
    void fail(Failure cause, const QString &reason, bool keep = false);
    void finish();

    int partCount = 0;
    qint64 totalSize = 0;
    qint64 expectedSize = 0;
    QUrl url;
    // The output file, shared with all workers through its device().
    PartFile file;
    qint64 receivedBytes = 0;
    qint64 fetchedBytes = 0;
    QString fileName;
    Mode mode = Mode::Ranged;
    QList<Part> parts;
    SourcePool sources;
    QStringList mirrors;
    QByteArray etag;
    QByteArray lastModified;
    // The server refused a range for the whole-file GET: a broken one starts again from byte 0.
    bool wholeFromZero = false;
    QByteArray acceptRanges;
    QString signedSha256;
    bool saidWaiting = false;
    int restarts = 0;
    // Bumped whenever the parts are replanned or stopped, so that retries scheduled before are dropped.
    int generation = 0;
    bool keepPartFile = false;

    bool running = false;
    QString error;
    Failure failure = Failure::None;
    QString expectedSha256;
    int stallTimeoutMs = 30000;
    RetryPolicy::Schedule schedule;
};
