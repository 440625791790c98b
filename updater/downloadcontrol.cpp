#include "downloadcontrol.h"

#include "download.h"
#include "downloadplan.h"

#include <QCryptographicHash>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryFile>

Q_LOGGING_CATEGORY(lcDownloadControl, "orvane.download", QtWarningMsg)

DownloadControl::DownloadControl(QObject *parent) : QObject(parent), file(new QFile(this))
{
}

DownloadControl::~DownloadControl()
{
    if (!running)
        return;
    for (const QPointer<Download> &worker : std::as_const(workers)) {
        if (worker) {
            worker->disconnect(this);
            delete worker;
        }
    }
    file->close();
    if (fileCreated)
        file->remove();
}

void DownloadControl::SetExpectedSha256(const QString &hex)
{
    expectedSha256 = hex.trimmed().toLower();
}

void DownloadControl::SetStallTimeout(int milliseconds)
{
    stallTimeoutMs = milliseconds;
}

QString DownloadControl::OutputFileName() const
{
    return fileName;
}

void DownloadControl::FetchFile(const QString &address, int parts, const QString &saveName)
{
    if (running)
        return;
    running = true;
    partCount = parts;
    finishedParts = 0;
    url = QUrl(address);
    receivedBytes = 0;
    totalSize = 0;
    fileName.clear();
    workers.clear();
    fileCreated = false;
    error.clear();

    if (!DownloadPlan::isFetchableUrl(url))
        return fail(QStringLiteral("\"%1\" is not an http address").arg(address));
    if (partCount <= 0)
        return fail(QStringLiteral("no parts to fetch"));

    const qint64 size = QueryRemoteSize(url);
    if (size < 0)
        return fail(QStringLiteral("the package server cannot be reached"));
    totalSize = size;

    fileName = DownloadPlan::outputName(url, saveName);
    if (QFileInfo(fileName).isDir())
        return fail(QStringLiteral("%1 is a folder").arg(fileName));
    // The parts go into a file of this download's own beside the target, which takes the target's
    // name only once it is complete and checked: a file already there is never truncated, and two
    // downloads never write into one file.
    {
        QTemporaryFile part(fileName + QStringLiteral(".XXXXXX.part"));
        part.setAutoRemove(false);
        if (!part.open())
            return fail(QStringLiteral("cannot create a file beside %1: %2").arg(fileName, part.errorString()));
        file->setFileName(part.fileName());
    }
    fileCreated = true;
    if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(QStringLiteral("cannot write %1: %2").arg(file->fileName(), file->errorString()));

    if (totalSize == 0) {
        qCInfo(lcDownloadControl) << "no size for" << url << "- fetching it in one request";
        Download *worker = startPart(1);
        worker->FetchWhole(url, file);
        return;
    }
    const QList<ByteRange> ranges = DownloadPlan::partition(totalSize, partCount);
    for (int i = 0; i < ranges.size(); ++i) {
        if (ranges.at(i).isEmpty())
            continue;
        Download *worker = startPart(i + 1);
        worker->FetchRange(url, file, ranges.at(i).first, ranges.at(i).last, totalSize);
    }
}

Download *DownloadControl::startPart(int number)
{
    auto *worker = new Download(number, this);
    worker->SetStallTimeout(stallTimeoutMs);
    connect(worker, &Download::DownloadFinished, this, &DownloadControl::SubPartFinished);
    connect(worker, &Download::DownloadFinished, worker, &QObject::deleteLater);
    connect(worker, &Download::HaveDoneBytes, this, &DownloadControl::SubProgress);
    workers.append(worker);
    return worker;
}

qint64 DownloadControl::QueryRemoteSize(const QUrl &address)
{
    QNetworkAccessManager manager;
    QEventLoop loop;
    QNetworkRequest request(address);
    request.setRawHeader("Accept-Encoding", "identity");
    request.setTransferTimeout(stallTimeoutMs);
    QNetworkReply *reply = manager.head(request);
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit, Qt::DirectConnection);
    if (!reply->isFinished())
        loop.exec();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    qint64 size = 0;
    if (!status.isValid()) {
        qCWarning(lcDownloadControl) << "HEAD" << address << "failed:" << reply->errorString();
        size = -1;
    } else if (status.toInt() == 200) {
        bool ok = false;
        size = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&ok);
        if (!ok || size < 0)
            size = 0;
    }
    delete reply;
    return size;
}

void DownloadControl::SubProgress(qint64 bytes)
{
    receivedBytes += bytes;
    emit FileDownloadProgress(receivedBytes, totalSize);
}

void DownloadControl::SubPartFinished()
{
    auto *worker = qobject_cast<Download *>(sender());
    ++finishedParts;
    if (worker && !worker->Succeeded() && error.isEmpty()) {
        error = QStringLiteral("part %1: %2").arg(worker->PartNumber()).arg(worker->ErrorString());
        // One bad part spoils the file: stop the others instead of waiting for them.
        const QList<QPointer<Download>> others = workers;
        for (const QPointer<Download> &other : others) {
            if (other && other != worker)
                other->Abort(QStringLiteral("another part failed"));
        }
    }
    if (running && finishedParts == workers.size())
        finish();
}

void DownloadControl::fail(const QString &reason)
{
    if (error.isEmpty())
        error = reason;
    finish();
}

void DownloadControl::finish()
{
    running = false;
    if (file->isOpen())
        file->close();
    if (error.isEmpty() && file->error() != QFileDevice::NoError)
        error = QStringLiteral("cannot write %1: %2").arg(fileName, file->errorString());
    if (error.isEmpty() && totalSize > 0 && receivedBytes != totalSize)
        error = QStringLiteral("%1 of %2 bytes arrived").arg(receivedBytes).arg(totalSize);
    if (error.isEmpty() && !expectedSha256.isEmpty())
        error = verifyChecksum();
    if (error.isEmpty())
        error = moveIntoPlace();
    if (!error.isEmpty()) {
        qCWarning(lcDownloadControl) << "download of" << url << "failed:" << error;
        if (fileCreated)
            file->remove();
        fileName.clear();
    }
    fileCreated = false;
    // Queued, so that the end never reaches the caller inside FetchFile or inside a network callback.
    QMetaObject::invokeMethod(this, &DownloadControl::FileDownloadFinished, Qt::QueuedConnection);
}

QString DownloadControl::moveIntoPlace()
{
    if (QFile::exists(fileName) && !QFile::remove(fileName))
        return QStringLiteral("cannot replace %1").arg(fileName);
    if (!file->rename(fileName))
        return QStringLiteral("cannot rename %1 to %2: %3").arg(file->fileName(), fileName, file->errorString());
    return QString();
}

QString DownloadControl::verifyChecksum()
{
    QFile written(file->fileName());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!written.open(QIODevice::ReadOnly) || !hash.addData(&written))
        return QStringLiteral("cannot read %1 back: %2").arg(fileName, written.errorString());
    const QString actual = QString::fromLatin1(hash.result().toHex());
    if (actual != expectedSha256)
        return QStringLiteral("the package's SHA-256 is %1, not %2").arg(actual, expectedSha256);
    return QString();
}
