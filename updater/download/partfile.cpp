#include "partfile.h"

#include "safefolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {
// How often the resume state follows the bytes written.
constexpr int SaveIntervalMs = 1000;
constexpr qint64 SaveIntervalBytes = 1024 * 1024;
// Names tried for a part file apart from the package's own.
constexpr int ApartTries = 16;
} // namespace

PartFile::PartFile() = default;

PartFile::~PartFile()
{
    close();
    release();
}

bool PartFile::refused()
{
    error = folder ? folder->errorString() : QString();
    const SafeFolder::Error why = folder ? folder->error() : SafeFolder::Error::System;
    plantedEntry = why == SafeFolder::Error::Link || why == SafeFolder::Error::NotAFile;
    return false;
}

bool PartFile::lock()
{
#ifdef Q_OS_UNIX
    // On a handle of its own, which keeps the lock while the file itself is closed and moved. The
    // kernel drops it with the process, so a killed updater never leaves a stale one.
    lockHandle = ::dup(file.handle());
    int result = -1;
    do {
        result = lockHandle == -1 ? -1 : ::flock(lockHandle, LOCK_EX | LOCK_NB);
    } while (result == -1 && errno == EINTR);
    if (result == 0)
        return true;
    if (lockHandle != -1)
        ::close(lockHandle);
    lockHandle = -1;
    return false;
#else
    return true;
#endif
}

bool PartFile::open(const QString &targetPath)
{
    close();
    release();
    error.clear();
    plantedEntry = false;
    target = targetPath;
    const QFileInfo info(targetPath);
    folder = std::make_unique<SafeFolder>(info.absolutePath());
    targetName = info.fileName();
    partName = targetName + QStringLiteral(".part");
    if (!folder->isOpen())
        return refused();
    if (!folder->open(&file, partName, SafeFolder::Mode::Update) &&
        (folder->error() != SafeFolder::Error::Missing || !folder->open(&file, partName, SafeFolder::Mode::Create)))
        return refused();
    fileCreated = true;
    if (lock()) {
        locked = true;
        return true;
    }
    // Another download of this package is running: this one works apart, in a file it keeps nothing of.
    file.close();
    for (int i = 0; i < ApartTries; ++i) {
        partName = QStringLiteral("%1.%2.part")
                       .arg(targetName)
                       .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        if (folder->open(&file, partName, SafeFolder::Mode::Create))
            return true;
        if (folder->error() != SafeFolder::Error::Exists)
            break;
    }
    fileCreated = false;
    return refused();
}

void PartFile::close()
{
    if (file.isOpen())
        file.close();
}

void PartFile::release()
{
#ifdef Q_OS_UNIX
    if (lockHandle != -1)
        ::close(lockHandle);
#endif
    lockHandle = -1;
    locked = false;
    fileCreated = false;
}

QString PartFile::fileName() const
{
    return folder ? QDir(folder->path()).filePath(partName) : QString();
}

bool PartFile::truncate()
{
    return file.resize(0);
}

bool PartFile::flush()
{
    return file.flush();
}

QString PartFile::stateName() const
{
    return ResumeStateFile::statePath(partName);
}

bool PartFile::readState(ResumeState *state)
{
    QByteArray bytes;
    if (!folder || !folder->read(stateName(), ResumeStateFile::MaxBytes, &bytes)) {
        // None at all is the usual start.
        if (folder && folder->error() != SafeFolder::Error::Missing)
            refused();
        return false;
    }
    return ResumeStateFile::fromBytes(bytes, state);
}

bool PartFile::writeState(const ResumeState &state)
{
    // The state never claims bytes that have not reached the file.
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return false;
    return (folder && folder->write(stateName(), ResumeStateFile::toBytes(state))) || refused();
}

void PartFile::dropState()
{
    if (!folder)
        return;
    if (!folder->remove(stateName()) || !folder->remove(stateName() + QStringLiteral(".new")))
        refused();
}

bool PartFile::stateDue(qint64 doneBytes, qint64 totalBytes) const
{
    return sinceSave.hasExpired(SaveIntervalMs) || doneBytes - savedBytes >= qMax(SaveIntervalBytes, totalBytes / 100);
}

void PartFile::noteSaved(qint64 doneBytes)
{
    sinceSave.restart();
    savedBytes = doneBytes;
}

QString PartFile::checkSha256(const QString &sha256Hex)
{
    QFile written;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!folder || !folder->open(&written, partName, SafeFolder::Mode::Read)) {
        refused();
        return QStringLiteral("cannot read %1 back: %2").arg(target, errorString());
    }
    if (!hash.addData(&written))
        return QStringLiteral("cannot read %1 back: %2").arg(target, written.errorString());
    const QString actual = QString::fromLatin1(hash.result().toHex());
    if (actual != sha256Hex)
        return QStringLiteral("the package's SHA-256 is %1, not %2").arg(actual, sha256Hex);
    return QString();
}

QString PartFile::moveIntoPlace()
{
    // A file of an earlier download is replaced; a link there is refused.
    if (!folder || !folder->rename(partName, targetName)) {
        refused();
        return QStringLiteral("cannot rename %1 to %2: %3").arg(partName, target, errorString());
    }
    return QString();
}

void PartFile::remove()
{
    if (folder && !folder->remove(partName))
        refused();
    dropState();
}
