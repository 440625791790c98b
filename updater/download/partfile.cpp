#include "partfile.h"

#include <QCryptographicHash>
#include <QLockFile>
#include <QTemporaryFile>

namespace {
// How often the resume state follows the bytes written.
constexpr int SaveIntervalMs = 1000;
constexpr qint64 SaveIntervalBytes = 1024 * 1024;
} // namespace

PartFile::PartFile() = default;

PartFile::~PartFile() = default;

bool PartFile::open(const QString &targetName)
{
    close();
    release();
    target = targetName;
    const QString stable = target + QStringLiteral(".part");
    lock = std::make_unique<QLockFile>(stable + QStringLiteral(".lock"));
    // Only a live holder counts, however long it has been running.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        file.setFileName(stable);
        partPath = stable;
        fileCreated = file.open(QIODevice::ReadWrite | QIODevice::Unbuffered);
        if (!fileCreated)
            lock.reset();
        return fileCreated;
    }
    // Another download of this package is running: this one works apart.
    lock.reset();
    QTemporaryFile apart(target + QStringLiteral(".XXXXXX.part"));
    apart.setAutoRemove(false);
    const bool opened = apart.open();
    file.setFileName(apart.fileName());
    partPath = apart.fileName();
    if (!opened)
        return false;
    apart.close();
    fileCreated = file.open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered);
    return fileCreated;
}

void PartFile::close()
{
    if (file.isOpen())
        file.close();
}

void PartFile::release()
{
    lock.reset();
    fileCreated = false;
}

bool PartFile::truncate()
{
    return file.resize(0);
}

bool PartFile::flush()
{
    return file.flush();
}

QString PartFile::statePath() const
{
    return ResumeStateFile::statePath(partPath);
}

bool PartFile::readState(ResumeState *state) const
{
    return ResumeStateFile::read(statePath(), state);
}

bool PartFile::writeState(const ResumeState &state)
{
    // The state never claims bytes that have not reached the file.
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return false;
    return ResumeStateFile::write(statePath(), state);
}

void PartFile::dropState()
{
    QFile::remove(statePath());
    QFile::remove(statePath() + QStringLiteral(".new"));
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

QString PartFile::checkSha256(const QString &sha256Hex) const
{
    QFile written(file.fileName());
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!written.open(QIODevice::ReadOnly) || !hash.addData(&written))
        return QStringLiteral("cannot read %1 back: %2").arg(target, written.errorString());
    const QString actual = QString::fromLatin1(hash.result().toHex());
    if (actual != sha256Hex)
        return QStringLiteral("the package's SHA-256 is %1, not %2").arg(actual, sha256Hex);
    return QString();
}

QString PartFile::moveIntoPlace()
{
    if (QFile::exists(target) && !QFile::remove(target))
        return QStringLiteral("cannot replace %1").arg(target);
    if (!file.rename(target))
        return QStringLiteral("cannot rename %1 to %2: %3").arg(file.fileName(), target, file.errorString());
    return QString();
}

void PartFile::remove()
{
    file.remove();
    QFile::remove(statePath());
}
