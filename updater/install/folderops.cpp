#include "folderops.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio> // renameat2

namespace FolderOps {

namespace {

QByteArray encoded(const QString &name)
{
    return QFile::encodeName(name);
}

int renameExchange(int dir, const QByteArray &a, const QByteArray &b)
{
    return ::renameat2(dir, a.constData(), dir, b.constData(), RENAME_EXCHANGE);
}

} // namespace

Fd::~Fd()
{
    if (fd >= 0)
        ::close(fd);
}

Fd &Fd::operator=(Fd &&other) noexcept
{
    if (this != &other) {
        if (fd >= 0)
            ::close(fd);
        fd = other.release();
    }
    return *this;
}

Fd openFolder(const QString &path)
{
    return Fd(::open(encoded(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

Fd openFolderAt(int dir, const QString &name)
{
    return Fd(::openat(dir, encoded(name).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

bool identityAt(int dir, const QString &name, dev_t *device, ino_t *inode)
{
    struct stat info = {};
    if (::fstatat(dir, encoded(name).constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    *device = info.st_dev;
    *inode = info.st_ino;
    return true;
}

bool existsAt(int dir, const QString &name)
{
    struct stat info = {};
    return ::fstatat(dir, encoded(name).constData(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

QStringList namesIn(int dir)
{
    QStringList names;
    const int copy = ::dup(dir);
    if (copy < 0)
        return names;
    DIR *stream = ::fdopendir(copy);
    if (!stream) {
        ::close(copy);
        return names;
    }
    ::rewinddir(stream);
    while (const dirent *entry = ::readdir(stream)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name != QLatin1String(".") && name != QLatin1String(".."))
            names.append(name);
    }
    ::closedir(stream);
    return names;
}

bool createFileAt(int dir, const QString &name, const QByteArray &contents, mode_t mode, const WriteFunction &write)
{
    Fd file(::openat(dir, encoded(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (!file.valid())
        return false;
    const char *data = contents.constData();
    size_t left = size_t(contents.size());
    while (left > 0) {
        const ssize_t written = write ? write(file.get(), data, left) : ::write(file.get(), data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= size_t(written);
    }
    return true;
}

bool readFileAt(int dir, const QString &name, qint64 cap, QByteArray *contents)
{
    Fd file(::openat(dir, encoded(name).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!file.valid())
        return false;
    contents->clear();
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        // Only what was actually read counts, and a file past the cap is not ours to trust.
        if (contents->size() + got > cap)
            return false;
        contents->append(buffer, int(got));
    }
}

bool replaceFileAt(int dir, const QString &name, const QByteArray &contents)
{
    const QString temporary = name + QStringLiteral(".tmp");
    ::unlinkat(dir, encoded(temporary).constData(), 0);
    if (!createFileAt(dir, temporary, contents, 0600))
        return false;
    {
        Fd file(::openat(dir, encoded(temporary).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        if (file.valid())
            ::fsync(file.get());
    }
    if (::renameat(dir, encoded(temporary).constData(), dir, encoded(name).constData()) != 0) {
        ::unlinkat(dir, encoded(temporary).constData(), 0);
        return false;
    }
    ::fsync(dir);
    return true;
}

bool removeTreeAt(int dir, const QString &name)
{
    const QByteArray path = encoded(name);
    struct stat info = {};
    if (::fstatat(dir, path.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(info.st_mode))
        return ::unlinkat(dir, path.constData(), 0) == 0;
    {
        const Fd folder = openFolderAt(dir, name);
        if (!folder.valid())
            return false;
        for (const QString &child : namesIn(folder.get()))
            removeTreeAt(folder.get(), child);
    }
    return ::unlinkat(dir, path.constData(), AT_REMOVEDIR) == 0;
}

bool exchangeAt(int dir, const QString &a, const QString &b, const QString &spare, bool allowAtomic)
{
    const QByteArray first = encoded(a), second = encoded(b), aside = encoded(spare);
    if (allowAtomic) {
        if (renameExchange(dir, first, second) == 0)
            return true;
        if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
            return false;
    }
    if (existsAt(dir, spare))
        return false;
    if (::renameat(dir, first.constData(), dir, aside.constData()) != 0)
        return false;
    if (::renameat(dir, second.constData(), dir, first.constData()) != 0) {
        ::renameat(dir, aside.constData(), dir, first.constData());
        return false;
    }
    return ::renameat(dir, aside.constData(), dir, second.constData()) == 0;
}

QString ownerOf(const QString &path)
{
    struct stat info = {};
    if (::lstat(encoded(path).constData(), &info) != 0)
        return QString();
    if (const passwd *user = ::getpwuid(info.st_uid))
        return QString::fromLocal8Bit(user->pw_name);
    return QString::number(info.st_uid);
}

} // namespace FolderOps
