#include "downloadcontrol.h"

#include "download.h"
#include "downloadplan.h"
#include "packagefile.h"
#include "resumestate.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTimer>

Q_LOGGING_CATEGORY(lcDownloadControl, "orvane.download", QtWarningMsg)

using RetryPolicy::Fault;

DownloadControl::DownloadControl(QObject *parent) : QObject(parent)
{
}

DownloadControl::~DownloadControl()
{
    if (!running)
        return;
    for (Part &part : parts) {
        if (part.worker) {
            part.worker->disconnect(this);
            delete part.worker;
        }
    }
    // A closed updater continues next time, like a killed one.
    if (canResumeLater())
        saveState();
    file.close();
    if (file.created() && !canResumeLater())
        file.remove();
}

void DownloadControl::SetExpectedSha256(const QString &hex)
{
    expectedSha256 = hex.trimmed().toLower();
}

void DownloadControl::SetExpectedSize(qint64 bytes)
{
    expectedSize = qMax<qint64>(0, bytes);
}

void DownloadControl::SetSignedSha256(const QString &hex)
{
    signedSha256 = hex.trimmed().toLower();
}

void DownloadControl::SetMirrors(const QStringList &urls)
{
    mirrors = urls;
}

void DownloadControl::SetStallTimeout(int milliseconds)
{
    stallTimeoutMs = milliseconds;
}

void DownloadControl::SetRetrySchedule(const RetryPolicy::Schedule &retrySchedule)
{
    schedule = retrySchedule;
}

QString DownloadControl::OutputFileName() const
{
    return fileName;
}

void DownloadControl::FetchFile(const QString &address, int count, const QString &saveName)
{
    if (running)
        return;
    running = true;
    partCount = count;
    url = QUrl(address);
    receivedBytes = 0;
    fetchedBytes = 0;
    totalSize = 0;
    fileName.clear();
    parts.clear();
    file.release();
    keepPartFile = false;
    error.clear();
    failure = Failure::None;
    mode = Mode::Ranged;
    wholeFromZero = false;
    restarts = 0;
    saidWaiting = false;

    if (!PackageFile::isFetchableUrl(url))
        return fail(Failure::Refused, QStringLiteral("\"%1\" is not an http address").arg(address));
    if (partCount <= 0)
        return fail(Failure::Refused, QStringLiteral("no parts to fetch"));

    sources.reset(url, mirrors);
    HeadProbe::Answer info = QueryRemote(url);
    // With the main server down, a mirror tells the size as well.
    for (int i = 1; !info.reached && i < sources.size(); ++i) {
        info = QueryRemote(sources.url(i));
        if (info.reached)
            sources.standInForMain(i);
    }
    if (!adoptRemote(info))
        return;

    fileName = PackageFile::outputName(url, saveName);
    if (QFileInfo(fileName).isDir())
        return fail(Failure::Disk, QStringLiteral("%1 is a folder").arg(fileName));
    if (!file.open(fileName))
        return fail(Failure::Disk,
                    QStringLiteral("cannot write a file beside %1: %2").arg(fileName, file.errorString()));

    if (!restoreState(info))
        planParts();
    file.noteSaved(receivedBytes);
    bool allDone = true;
    for (int i = 0; i < parts.size(); ++i) {
        if (!parts.at(i).complete) {
            allDone = false;
            startPart(i);
        }
    }
    if (allDone) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (running)
                    finish();
            },
            Qt::QueuedConnection);
    }
}

bool DownloadControl::restoreState(const HeadProbe::Answer &info)
{
    ResumeState state;
    if (!file.resumable() || !file.readState(&state))
        return false;
    QString why = ResumeStateFile::rejectResume(state, url.toString(), info.size, info.etag, info.lastModified,
                                                file.size(), QDateTime::currentDateTimeUtc());
    if (why.isEmpty() && state.sha256 != signedSha256.toLatin1())
        why = QStringLiteral("it belongs to another release");
    if (why.isEmpty() && expectedSize > 0 && file.size() > expectedSize)
        why = QStringLiteral("the part file is larger than the package");
    if (why.isEmpty() && !RetryPolicy::allowsRanges(info.size, info.acceptRanges))
        why = QStringLiteral("the server no longer serves ranges");
    if (!why.isEmpty()) {
        qCInfo(lcDownloadControl) << "starting" << url << "afresh:" << why;
        file.dropState();
        return false;
    }
    mode = Mode::Ranged;
    for (const ResumeState::Part &saved : std::as_const(state.parts)) {
        Part part;
        part.range = saved.range;
        part.done = saved.done;
        part.complete = saved.done == saved.range.length();
        part.source = sources.nextLive(int(parts.size()));
        parts.append(part);
    }
    receivedBytes = state.doneBytes();
    qCInfo(lcDownloadControl) << "continuing" << url << "at" << receivedBytes << "of" << totalSize;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (running)
                emit FileDownloadProgress(receivedBytes, shownTotal());
        },
        Qt::QueuedConnection);
    return true;
}

void DownloadControl::planParts()
{
    parts.clear();
    receivedBytes = 0;
    file.truncate();
    if (RetryPolicy::allowsRanges(totalSize, acceptRanges)) {
        mode = Mode::Ranged;
        for (const ByteRange &range : DownloadPlan::partition(totalSize, partCount)) {
            if (!range.isEmpty()) {
                Part part;
                part.range = range;
                parts.append(part);
            }
        }
    } else {
        qCInfo(lcDownloadControl) << "no size or no ranges for" << url << "- fetching it in one request";
        mode = Mode::Whole;
        wholeFromZero = true;
        Part whole;
        whole.range = {0, totalSize - 1};
        whole.source = sources.head();
        parts.append(whole);
        return;
    }
    for (int i = 0; i < parts.size(); ++i)
        parts[i].source = sources.nextLive(i);
}

void DownloadControl::startPart(int index)
{
    Part &part = parts[index];
    auto *worker = new Download(index + 1, this);
    worker->SetStallTimeout(stallTimeoutMs);
    worker->SetSizeLimit(expectedSize);
    connect(worker, &Download::DownloadFinished, this, &DownloadControl::SubPartFinished);
    connect(worker, &Download::DownloadFinished, worker, &QObject::deleteLater);
    connect(worker, &Download::HaveDoneBytes, this, &DownloadControl::SubProgress);
    connect(worker, &Download::ServingWholeFile, this, [this, worker] {
        if (mode == Mode::Ranged)
            switchToWhole(worker);
    });
    part.worker = worker;
    part.waiting = false;
    tellWaiting();
    const QUrl from = sources.url(part.source);
    if (part.source == sources.validator())
        worker->SetValidator(etag, lastModified);
    if (mode == Mode::Ranged) {
        worker->SetMayServeWhole(part.range.first == 0 && part.done == 0 && part.source == sources.head());
        worker->FetchRange(from, file.device(), part.range.first + part.done, part.range.last, totalSize);
    } else if (totalSize > 0 && part.done > 0 && !wholeFromZero) {
        worker->FetchRange(from, file.device(), part.done, totalSize - 1, totalSize);
    } else {
        receivedBytes -= part.done;
        part.done = 0;
        file.truncate();
        worker->FetchWhole(from, file.device());
    }
}

int DownloadControl::partOf(const QObject *worker) const
{
    for (int i = 0; i < parts.size(); ++i) {
        if (worker && parts.at(i).worker == worker)
            return i;
    }
    return -1;
}

HeadProbe::Answer DownloadControl::QueryRemote(const QUrl &address) const
{
    const HeadProbe::Answer answer = HeadProbe::ask(address, stallTimeoutMs);
    if (!answer.reached)
        qCWarning(lcDownloadControl) << "HEAD" << address << "failed:" << answer.error;
    return answer;
}

void DownloadControl::SubProgress(qint64 bytes)
{
    const int index = partOf(sender());
    if (index < 0)
        return;
    parts[index].done += bytes;
    receivedBytes += bytes;
    fetchedBytes += bytes;
    emit FileDownloadProgress(receivedBytes, shownTotal());
    if (file.stateDue(receivedBytes, totalSize))
        saveState();
}

void DownloadControl::SubPartFinished()
{
    auto *worker = qobject_cast<Download *>(sender());
    const int index = partOf(worker);
    if (!running || index < 0)
        return;
    Part &part = parts[index];
    part.worker = nullptr;
    if (!worker->Succeeded())
        return handleFault(index, worker);

    sources.succeeded(part.source);
    // A range answer kept while falling back to one request covers only its old part.
    if (part.range.last >= 0 && part.done < part.range.length())
        return startPart(index);
    if (mode == Mode::Whole && totalSize <= 0) {
        // Only a stated length, or the announced size checked below, proves that a plain GET ended at
        // the package's end.
        if (!worker->LengthKnown() && expectedSize <= 0)
            return fail(Failure::Check, QStringLiteral("the server told no length, so the package cannot be "
                                                       "proved complete"));
        if (!worker->LengthKnown() && part.done != expectedSize)
            return fail(Failure::Check,
                        QStringLiteral("%1 bytes arrived, not the announced %2").arg(part.done).arg(expectedSize));
        totalSize = part.done;
    }
    part.complete = true;
    saveState();
    const bool allDone = std::all_of(parts.cbegin(), parts.cend(), [](const Part &each) {
        return each.complete;
    });
    if (allDone)
        finish();
}

void DownloadControl::handleFault(int index, Download *worker)
{
    const Fault fault = worker->LastFault();
    const QString reason = QStringLiteral("part %1: %2").arg(index + 1).arg(worker->ErrorString());
    qCInfo(lcDownloadControl) << reason;
    switch (fault) {
    case Fault::Disk:
        return fail(Failure::Disk, reason, true);
    case Fault::Oversized:
        if (moveToAnotherSource(index))
            return;
        return fail(Failure::Check, reason);
    case Fault::Changed:
        // Another source serving another file is left; only the one that told the size can have changed.
        if (parts.at(index).source != sources.validator() && moveToAnotherSource(index))
            return;
        if (restarts++ < 1) {
            // Queued: this runs inside a reply's signal, and a new HEAD waits in an event loop.
            stopWorkers();
            QMetaObject::invokeMethod(this, &DownloadControl::restartFromScratch, Qt::QueuedConnection);
            return;
        }
        return fail(Failure::Refused, reason);
    case Fault::NoRanges:
        if (parts.at(index).source != sources.head() && moveToAnotherSource(index))
            return;
        if (mode == Mode::Ranged)
            return switchToWhole(nullptr);
        // A range asked for within the one-request fallback: the rest comes by a plain GET from byte 0.
        if (!worker->ServesWhole() && ++parts[index].retries <= schedule.retries) {
            wholeFromZero = true;
            return startPart(index);
        }
        return fail(Failure::Refused, reason);
    case Fault::Refused:
    case Fault::None:
        if (moveToAnotherSource(index))
            return;
        return fail(Failure::Refused, reason);
    case Fault::Broken:
    case Fault::Unreachable:
    case Fault::Busy:
        break;
    }
    Part &part = parts[index];
    if (mode == Mode::Whole && wholeFromZero && continueWithRanges(part, *worker))
        qCInfo(lcDownloadControl) << "the plain GET told size and version: continuing with ranges";
    // Starting again from byte 0 is no progress, so such a part pauses and uses up its retries.
    if (!(mode == Mode::Whole && wholeFromZero) && RetryPolicy::madeProgress(worker->DoneBytes())) {
        part.retries = 0;
        sources.succeeded(part.source);
        return startPart(index);
    }
    if (sources.failedTooOften(part.source) && moveToAnotherSource(index))
        return;
    if (++part.retries > schedule.retries) {
        const Failure cause = fault == Fault::Unreachable ? Failure::Unreachable
                              : fault == Fault::Busy      ? Failure::Refused
                                                          : Failure::Unstable;
        return fail(cause, reason, true);
    }
    scheduleRetry(index, fault, worker->RetryAfter());
}

void DownloadControl::scheduleRetry(int index, Fault fault, const QByteArray &retryAfter)
{
    const int delay =
        RetryPolicy::delayMs(schedule, fault, parts.at(index).retries, QRandomGenerator::global()->generateDouble(),
                             retryAfter, QDateTime::currentDateTimeUtc());
    qCInfo(lcDownloadControl) << "part" << index + 1 << "again in" << delay << "ms";
    saveState();
    const int planned = generation;
    parts[index].waiting = true;
    tellWaiting();
    QTimer::singleShot(delay, this, [this, index, planned] {
        if (running && planned == generation && index < parts.size() && !parts.at(index).worker)
            startPart(index);
    });
}

bool DownloadControl::continueWithRanges(Part &part, const Download &worker)
{
    const Download::WholeAnswer answer = worker.AnswerToWholeGet();
    if (!answer.acceptsRanges || answer.length <= 0 || (expectedSize > 0 && answer.length != expectedSize) ||
        (answer.etag.isEmpty() && answer.lastModified.isEmpty()))
        return false;
    totalSize = answer.length;
    acceptRanges = "bytes";
    etag = answer.etag;
    lastModified = answer.lastModified;
    sources.setValidator(part.source);
    wholeFromZero = false;
    part.range = {0, totalSize - 1};
    return true;
}

void DownloadControl::tellWaiting()
{
    const bool waiting = running && std::any_of(parts.cbegin(), parts.cend(), [](const Part &part) {
                             return part.waiting;
                         });
    if (waiting != saidWaiting) {
        saidWaiting = waiting;
        emit RetryPending(waiting);
    }
}

bool DownloadControl::moveToAnotherSource(int index)
{
    const int bad = parts.at(index).source;
    if (!sources.drop(bad))
        return false;
    qCWarning(lcDownloadControl) << "leaving" << sources.url(bad) << "; its parts go to the other servers";
    for (int i = 0; i < parts.size(); ++i) {
        if (parts.at(i).source == bad)
            parts[i].source = sources.nextLive(i);
    }
    startPart(index);
    return true;
}

void DownloadControl::switchToWhole(Download *keep)
{
    qCInfo(lcDownloadControl) << url << "serves no ranges: fetching it in one request";
    // The first part's request may still bring the whole package as its answer; then it is the download.
    if (!keep && !parts.isEmpty() && parts.at(0).worker && !parts.at(0).worker->Answered() &&
        parts.at(0).range.first == 0 && parts.at(0).done == 0 && parts.at(0).source == sources.head())
        keep = parts.at(0).worker;
    ++generation;
    for (Part &part : parts) {
        if (part.worker && part.worker != keep) {
            part.worker->disconnect(this);
            part.worker->Abort(QStringLiteral("the package comes in one request"));
        }
    }
    mode = Mode::Whole;
    wholeFromZero = true;
    Part whole;
    whole.range = {0, totalSize - 1};
    whole.source = sources.head();
    parts = {whole};
    receivedBytes = 0;
    emit FileDownloadProgress(receivedBytes, shownTotal());
    if (keep)
        parts[0].worker = keep;
    else
        startPart(0);
}

void DownloadControl::restartFromScratch()
{
    if (!running)
        return;
    qCInfo(lcDownloadControl) << "the package changed on the server; starting over";
    file.dropState();
    const HeadProbe::Answer info = QueryRemote(sources.url(sources.head()));
    if (!running)
        return;
    if (!adoptRemote(info))
        return;
    sources.setValidator(sources.head());
    wholeFromZero = false;
    planParts();
    emit FileDownloadProgress(receivedBytes, shownTotal());
    for (int i = 0; i < parts.size(); ++i)
        startPart(i);
}

void DownloadControl::stopWorkers()
{
    ++generation;
    for (Part &part : parts) {
        if (part.worker) {
            part.worker->disconnect(this);
            part.worker->Abort(QStringLiteral("the download stopped"));
            part.worker = nullptr;
        }
    }
}

bool DownloadControl::canResumeLater() const
{
    return file.resumable() && totalSize > 0 && !(etag.isEmpty() && lastModified.isEmpty()) &&
           !(mode == Mode::Whole && wholeFromZero);
}

void DownloadControl::saveState()
{
    file.noteSaved(receivedBytes);
    if (!canResumeLater())
        return;
    ResumeState state;
    state.url = url.toString();
    state.size = totalSize;
    state.etag = etag;
    state.lastModified = lastModified;
    state.sha256 = signedSha256.toLatin1();
    state.saved = QDateTime::currentDateTimeUtc();
    for (const Part &part : std::as_const(parts))
        state.parts.append({part.range, part.done});
    if (!file.writeState(state))
        qCInfo(lcDownloadControl) << "cannot save the resume state of" << file.fileName();
}

bool DownloadControl::adoptRemote(const HeadProbe::Answer &info)
{
    if (!info.reached) {
        fail(Failure::Unreachable, QStringLiteral("the package server cannot be reached"));
        return false;
    }
    // Refused before a byte is fetched: the server's file is not the release that was signed.
    if (expectedSize > 0 && info.size > 0 && info.size != expectedSize) {
        fail(Failure::Check,
             QStringLiteral("the server's package is %1 bytes, not the signed %2").arg(info.size).arg(expectedSize));
        return false;
    }
    totalSize = info.size;
    acceptRanges = info.acceptRanges;
    etag = info.etag;
    lastModified = info.lastModified;
    return true;
}

void DownloadControl::fail(Failure cause, const QString &reason, bool keep)
{
    if (error.isEmpty()) {
        error = reason;
        failure = cause;
        keepPartFile = keep;
    }
    stopWorkers();
    finish();
}

void DownloadControl::finish()
{
    running = false;
    ++generation;
    if (error.isEmpty() && file.isOpen() && !file.flush()) {
        error = QStringLiteral("cannot write %1: %2").arg(fileName, file.errorString());
        failure = Failure::Disk;
    }
    if (error.isEmpty() && totalSize > 0 && receivedBytes != totalSize) {
        error = QStringLiteral("%1 of %2 bytes arrived").arg(receivedBytes).arg(totalSize);
        failure = Failure::Check;
    }
    // A part file larger than the signed package is never worth continuing.
    const bool keep =
        !error.isEmpty() && keepPartFile && canResumeLater() && !(expectedSize > 0 && file.size() > expectedSize);
    if (keep)
        saveState();
    file.close();
    if (error.isEmpty() && !expectedSha256.isEmpty()) {
        error = file.checkSha256(expectedSha256);
        failure = error.isEmpty() ? Failure::None : Failure::Check;
    }
    if (error.isEmpty()) {
        error = file.moveIntoPlace();
        failure = error.isEmpty() ? Failure::None : Failure::Disk;
    }
    if (error.isEmpty()) {
        file.dropState();
    } else {
        qCWarning(lcDownloadControl) << "download of" << url << "failed:" << error;
        if (file.created() && !keep)
            file.remove();
        fileName.clear();
    }
    file.release();
    tellWaiting();
    // Queued, so that the end never reaches the caller inside FetchFile or inside a network callback.
    QMetaObject::invokeMethod(this, &DownloadControl::FileDownloadFinished, Qt::QueuedConnection);
}
