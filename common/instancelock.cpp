#include "instancelock.h"

#include "programfolder.h"
#include "safefolder.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_UNIX

namespace {

// A folder is private when it is ours, a real directory (not a link) and closed to others.
bool isPrivateDir(const QString &path)
{
    struct stat st
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

// Empty without a private folder: a shared name in the temporary folder could be taken by another
// user first, who would then receive our messages or lock us out.
QString perUserPath(const QString &key, const char *suffix)
{
    const QString folder = InstanceLock::privateRuntimeDir();
    if (folder.isEmpty())
        return QString();
    return folder + QLatin1Char('/') + key + QLatin1Char('-') + QString::number(::geteuid()) + QLatin1String(suffix);
}

} // namespace

InstanceLock::InstanceLock(const QString &key)
{
    const QByteArray path = QFile::encodeName(lockPath(key));
    if (path.isEmpty()) {
        error = QStringLiteral("no private folder for the instance lock");
        return;
    }
    fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd == -1) {
        error =
            QStringLiteral("cannot open %1: %2").arg(QFile::decodeName(path), QString::fromLocal8Bit(strerror(errno)));
        return;
    }
    int result;
    do {
        result = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (result == -1 && errno == EINTR);
    if (result == 0) {
        current = State::Primary;
    } else if (errno == EWOULDBLOCK) {
        current = State::Secondary;
    } else {
        error =
            QStringLiteral("cannot lock %1: %2").arg(QFile::decodeName(path), QString::fromLocal8Bit(strerror(errno)));
    }
}

InstanceLock::~InstanceLock()
{
    // Closing the descriptor releases the lock. The file stays: removing it would let a start that
    // opened the old file and one that creates a new file both believe they hold the key.
    if (fd != -1)
        ::close(fd);
}

QString InstanceLock::privateRuntimeDir()
{
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && isPrivateDir(xdg))
        return QDir::cleanPath(xdg);

    // Without a runtime folder, a folder of our own under the user's cache: a name in the shared
    // temporary folder can be taken by another user first, who then holds our lock for good.
    const QString fallback = SafeFolder::choose(QString(), ProgramFolder::userCacheFolder() + QStringLiteral("/run"));
    return isPrivateDir(fallback) ? fallback : QString();
}

QString InstanceLock::serverName(const QString &key)
{
    return perUserPath(key, ".sock");
}

QString InstanceLock::lockPath(const QString &key)
{
    return perUserPath(key, ".lock");
}

#else

InstanceLock::InstanceLock(const QString &key)
{
    sharedMemory.setKey(key);
    if (sharedMemory.attach(QSharedMemory::ReadWrite))
        current = State::Secondary;
    else if (sharedMemory.create(1, QSharedMemory::ReadWrite))
        current = State::Primary;
    else if (sharedMemory.error() == QSharedMemory::AlreadyExists)
        current = State::Secondary; // another start created it a moment ago
    else
        error = sharedMemory.errorString();
}

InstanceLock::~InstanceLock() = default;

QString InstanceLock::privateRuntimeDir()
{
    return QString();
}

QString InstanceLock::serverName(const QString &key)
{
    return key;
}

QString InstanceLock::lockPath(const QString &)
{
    return QString();
}

#endif
