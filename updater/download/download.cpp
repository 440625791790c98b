#include "download.h"

#include <QFile>
#include <QLoggingCategory>
#include <QNetworkReply>
#include <QNetworkRequest>

Q_LOGGING_CATEGORY(lcDownload, "orvane.download", QtWarningMsg)

using RetryPolicy::Fault;

namespace {
// Bounds what the network layer keeps for us per part when the disk is slower than the network.
constexpr qint64 ReadBufferBytes = 1024 * 1024;
} // namespace

Download::Download(int partNumber, QObject *parent) : QObject(parent), partNumber(partNumber)
{
}

Download::~Download() = default;

void Download::SetStallTimeout(int milliseconds)
{
    stallTimeoutMs = milliseconds;
}

void Download::SetValidator(const QByteArray &entityTag, const QByteArray &modified)
{
    etag = entityTag;
    lastModified = modified;
}

void Download::SetMayServeWhole(bool may)
{
    mayServeWhole = may;
}

void Download::SetSizeLimit(qint64 bytes)
{
    sizeLimit = bytes;
}

void Download::FetchRange(const QUrl &url, QFile *target, qint64 first, qint64 last, qint64 size)
{
    if (!target)
        return;
    ranged = true;
    rangeStart = first;
    rangeEnd = last;
    packageSize = size;
    start(url, target, DownloadPlan::rangeHeader({first, last}));
}

void Download::FetchWhole(const QUrl &url, QFile *target)
{
    if (!target)
        return;
    ranged = false;
    rangeStart = 0;
    rangeEnd = -1;
    packageSize = 0;
    start(url, target, QByteArray());
}

void Download::start(const QUrl &url, QFile *target, const QByteArray &range)
{
    doneBytes = 0;
    file = target;
    answerChecked = false;
    ended = false;
    lengthKnown = false;
    error.clear();
    fault = Fault::None;
    retryAfter.clear();
    wholeAnswer = WholeAnswer();

    QNetworkRequest request(url);
    if (!range.isEmpty()) {
        request.setRawHeader("Range", range);
        const QByteArray ifRange = RetryPolicy::ifRangeValue(etag, lastModified);
        if (!ifRange.isEmpty())
            request.setRawHeader("If-Range", ifRange);
    }
    // Otherwise the network layer asks for gzip and inflates it, and the lengths no longer match the range.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setTransferTimeout(stallTimeoutMs);
    reply = manager.get(request);
    reply->setReadBufferSize(ReadBufferBytes);
    connect(reply, &QNetworkReply::finished, this, &Download::FinishedSlot);
    connect(reply, &QNetworkReply::readyRead, this, &Download::HttpReadyRead);
    qCDebug(lcDownload) << "part" << partNumber << "GET" << url << range;
}

Fault Download::judgeFullAnswer(qint64 contentLength) const
{
    return RetryPolicy::faultOfFullAnswer(RetryPolicy::ifRangeValue(etag, lastModified), reply->rawHeader("ETag"),
                                          reply->rawHeader("Last-Modified"), mayServeWhole && rangeStart == 0,
                                          contentLength, packageSize);
}

bool Download::answerIsUsable()
{
    if (answerChecked)
        return true;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    bool hasLength = false;
    const qint64 contentLength = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&hasLength);
    Fault why = Fault::None;
    QString reason;
    if (ranged && status == 200) {
        why = judgeFullAnswer(hasLength ? contentLength : -1);
        if (why == Fault::None) {
            // The whole package is coming anyway: take it as the download instead of asking again.
            ranged = false;
            rangeStart = 0;
            rangeEnd = packageSize - 1;
        } else {
            reason = QStringLiteral("the server answered 200 instead of 206 Partial Content");
        }
    } else if (ranged) {
        reason = DownloadPlan::rejectPartAnswer(status, reply->rawHeader("Content-Range"), {rangeStart, rangeEnd},
                                                packageSize);
        if (!reason.isEmpty()) {
            why = RetryPolicy::faultOfStatus(status);
            if (status == 206) {
                const DownloadPlan::ContentRange range =
                    DownloadPlan::parseContentRange(reply->rawHeader("Content-Range"));
                why = range.valid && range.total >= 0 && range.total != packageSize ? Fault::Changed : Fault::Refused;
            }
        }
    } else if (status != 200) {
        reason = QStringLiteral("the server answered %1").arg(status);
        why = status == 206 ? Fault::Refused : RetryPolicy::faultOfStatus(status);
    }
    if (reason.isEmpty() && sizeLimit > 0 && hasLength && rangeStart + contentLength > sizeLimit) {
        reason = QStringLiteral("the server announces %1 bytes from byte %2, more than the package's %3")
                     .arg(contentLength)
                     .arg(rangeStart)
                     .arg(sizeLimit);
        why = Fault::Oversized;
    }
    const QByteArray encoding = reply->rawHeader("Content-Encoding").trimmed().toLower();
    if (reason.isEmpty() && !encoding.isEmpty() && encoding != "identity") {
        reason = QStringLiteral("the server sent the package encoded as %1").arg(QString::fromLatin1(encoding));
        why = Fault::Refused;
    }
    if (!reason.isEmpty()) {
        retryAfter = reply->rawHeader("Retry-After");
        fail(why, reason);
        return false;
    }
    lengthKnown = ranged || hasLength;
    answerChecked = true;
    if (!ranged) {
        wholeAnswer.length = hasLength ? contentLength : -1;
        wholeAnswer.acceptsRanges = reply->rawHeader("Accept-Ranges").trimmed().toLower() == "bytes";
        wholeAnswer.etag = reply->rawHeader("ETag");
        wholeAnswer.lastModified = reply->rawHeader("Last-Modified");
    }
    if (!ranged && packageSize > 0)
        emit ServingWholeFile();
    return true;
}

void Download::HttpReadyRead()
{
    if (!file || ended || !reply || !error.isEmpty())
        return;
    if (!answerIsUsable())
        return;
    const QByteArray chunk = reply->readAll();
    if (chunk.isEmpty())
        return;
    if (rangeEnd >= 0 && doneBytes + chunk.size() > rangeEnd - rangeStart + 1) {
        fail(Fault::Refused,
             QStringLiteral("the server sent more than the %1 bytes asked for").arg(rangeEnd - rangeStart + 1));
        return;
    }
    if (sizeLimit > 0 && rangeStart + doneBytes + chunk.size() > sizeLimit) {
        fail(Fault::Oversized, QStringLiteral("the server sent more than the package's %1 bytes").arg(sizeLimit));
        return;
    }
    // Seek and write back to back: the parts share one file object on this one thread.
    if (!file->seek(rangeStart + doneBytes) || file->write(chunk) != chunk.size()) {
        fail(Fault::Disk, QStringLiteral("cannot write %1: %2").arg(file->fileName(), file->errorString()));
        return;
    }
    doneBytes += chunk.size();
    emit HaveDoneBytes(chunk.size());
}

void Download::Abort(const QString &reason)
{
    if (reply && !ended)
        fail(Fault::Broken, reason);
}

void Download::fail(Fault why, const QString &reason)
{
    if (error.isEmpty()) {
        error = reason;
        fault = why;
    }
    // Not from inside the reply's own signals, which it does not expect; nothing more is written meanwhile.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (reply && !ended)
                reply->abort();
        },
        Qt::QueuedConnection);
}

void Download::FinishedSlot()
{
    if (ended || !reply)
        return;
    if (error.isEmpty() && reply->error() == QNetworkReply::NoError && reply->bytesAvailable() > 0)
        HttpReadyRead();
    if (ended || !reply)
        return;
    ended = true;

    if (error.isEmpty() && reply->error() != QNetworkReply::NoError) {
        error = reply->errorString();
        const bool answered = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
        switch (reply->error()) {
        case QNetworkReply::ConnectionRefusedError:
        case QNetworkReply::HostNotFoundError:
            fault = Fault::Unreachable;
            break;
        default:
            fault = answered
                        ? RetryPolicy::faultOfStatus(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt())
                        : Fault::Broken;
            if (fault == Fault::None)
                fault = Fault::Broken;
            break;
        }
        if (answered)
            retryAfter = reply->rawHeader("Retry-After");
    }
    // An answer without a body has not been looked at yet; with `ended` set this only records why.
    if (error.isEmpty())
        answerIsUsable();
    if (error.isEmpty()) {
        const qint64 expected = rangeEnd >= 0 ? rangeEnd - rangeStart + 1
                                              : reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
        if (lengthKnown && doneBytes != expected) {
            error = QStringLiteral("%1 of %2 bytes arrived").arg(doneBytes).arg(expected);
            fault = Fault::Broken;
        }
    }
    if (file && !file->flush() && error.isEmpty()) {
        error = QStringLiteral("cannot write %1: %2").arg(file->fileName(), file->errorString());
        fault = Fault::Disk;
    }
    if (!error.isEmpty())
        qCInfo(lcDownload) << "part" << partNumber << "failed:" << error;

    reply->deleteLater();
    reply = nullptr;
    file = nullptr;
    emit DownloadFinished();
}
