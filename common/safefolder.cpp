#include "safefolder.h"

#include "programfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr qint64 ReadBlock = 64 * 1024;

QString describe(SafeFolder::Error error)
{
    switch (error) {
    case SafeFolder::Error::None:
        return QString();
    case SafeFolder::Error::Missing:
        return QStringLiteral("it does not exist");
    case SafeFolder::Error::Link:
        return QStringLiteral("it is a symbolic link, which is never followed here");
    case SafeFolder::Error::NotAFile:
        return QStringLiteral("it is not a regular file of this user's");
    case SafeFolder::Error::Exists:
        return QStringLiteral("it exists already");
    case SafeFolder::Error::TooLarge:
        return QStringLiteral("it is larger than expected");
    case SafeFolder::Error::System:
        break;
    }
    return QString();
}

} // namespace

bool SafeFolder::validName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name.contains(QLatin1Char('/')) || name.contains(QChar(0))) {
        lastError = Error::System;
        lastErrorText = QStringLiteral("\"%1\" is not a plain file name").arg(name);
        return false;
    }
    return true;
}

bool SafeFolder::fail(Error error, const QString &name, int code)
{
    lastError = error;
    QString why = describe(error);
#ifdef Q_OS_UNIX
    if (why.isEmpty())
        why = QString::fromLocal8Bit(strerror(code));
#else
    Q_UNUSED(code)
#endif
    lastErrorText = QStringLiteral("%1 in %2: %3").arg(name, folder, why);
    return false;
}

QString SafeFolder::choose(const QString &preferred, const QString &fallback)
{
    if (isOwnAndClosed(preferred) && ProgramFolder::isWritable(preferred))
        return preferred;
    if (fallback.isEmpty())
        return QString();
#ifdef Q_OS_UNIX
    // The program's folder above the fallback is made private too: what it keeps is nobody else's to list.
    const QString above = QFileInfo(fallback).absolutePath();
    if (!QFileInfo::exists(above) && QDir().mkpath(QFileInfo(above).absolutePath()))
        ::mkdir(QFile::encodeName(above).constData(), 0700);
    if (!QFileInfo(above).isDir())
        return QString();
    const QByteArray native = QFile::encodeName(fallback);
    ::mkdir(native.constData(), 0700);
    struct stat st
    {
    };
    // Earlier versions made it readable by everyone; a folder of ours is closed again. One that others
    // could write to may hold anything by now and is not used.
    if (::lstat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
        (st.st_mode & 022) == 0 && (st.st_mode & 077) != 0)
        ::chmod(native.constData(), 0700);
#else
    if (!QDir().mkpath(fallback))
        return QString();
#endif
    return isOwnAndClosed(fallback) && ProgramFolder::isWritable(fallback) ? fallback : QString();
}

#ifdef Q_OS_UNIX

bool SafeFolder::isOwnAndClosed(const QString &path)
{
    struct stat st
    {
    };
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 022) == 0;
}

SafeFolder::SafeFolder(const QString &path) : folder(path)
{
    fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd == -1)
        fail(errno == ELOOP    ? Error::Link
             : errno == ENOENT ? Error::Missing
                               : Error::System,
             QStringLiteral("."), errno);
}

SafeFolder::~SafeFolder()
{
    if (fd != -1)
        ::close(fd);
}

bool SafeFolder::isOpen() const
{
    return fd != -1;
}

bool SafeFolder::open(QFile *file, const QString &name, Mode mode)
{
    file->close();
    if (!isOpen() || !validName(name))
        return false;
    const QByteArray native = QFile::encodeName(name);
    struct stat st
    {
    };
    if (mode == Mode::Replace && !remove(name))
        return false;
    const bool create = mode == Mode::Create || mode == Mode::Replace;
    // Non-blocking, so that a pipe put in the file's place cannot hold the open; dropped again below.
    const int flags =
        (mode == Mode::Read ? O_RDONLY : O_RDWR) | O_NOFOLLOW | O_CLOEXEC | (create ? O_CREAT | O_EXCL : O_NONBLOCK);
    const int file_fd = ::openat(fd, native.constData(), flags, 0600);
    if (file_fd == -1) {
        const int code = errno;
        if (code == ELOOP)
            return fail(Error::Link, name, code);
        if (code == EEXIST) {
            const bool link = ::fstatat(fd, native.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
            return fail(link ? Error::Link : Error::Exists, name, code);
        }
        return fail(code == ENOENT ? Error::Missing : code == EISDIR ? Error::NotAFile : Error::System, name, code);
    }
    // A file someone else put here is not ours to read or to continue.
    if (::fstat(file_fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(file_fd);
        return fail(Error::NotAFile, name, 0);
    }
    if (!create)
        ::fcntl(file_fd, F_SETFL, ::fcntl(file_fd, F_GETFL) & ~O_NONBLOCK);
    const QIODevice::OpenMode openMode =
        (mode == Mode::Read ? QIODevice::ReadOnly : QIODevice::ReadWrite) | QIODevice::Unbuffered;
    if (!file->open(file_fd, openMode, QFileDevice::AutoCloseHandle)) {
        ::close(file_fd);
        return fail(Error::System, name, EIO);
    }
    lastError = Error::None;
    lastErrorText.clear();
    return true;
}

bool SafeFolder::noLinkAt(const QString &name)
{
    struct stat st
    {
    };
    if (::fstatat(fd, QFile::encodeName(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT || fail(Error::System, name, errno);
    if (S_ISLNK(st.st_mode))
        return fail(Error::Link, name, 0);
    return S_ISREG(st.st_mode) || fail(Error::NotAFile, name, 0);
}

bool SafeFolder::remove(const QString &name)
{
    if (!isOpen() || !validName(name) || !noLinkAt(name))
        return false;
    if (::unlinkat(fd, QFile::encodeName(name).constData(), 0) == 0 || errno == ENOENT)
        return true;
    return fail(Error::System, name, errno);
}

bool SafeFolder::rename(const QString &from, const QString &to)
{
    if (!isOpen() || !validName(from) || !validName(to) || !noLinkAt(from) || !noLinkAt(to))
        return false;
    if (::renameat(fd, QFile::encodeName(from).constData(), fd, QFile::encodeName(to).constData()) == 0)
        return true;
    return fail(errno == ENOENT ? Error::Missing : Error::System, from, errno);
}

#else

bool SafeFolder::isOwnAndClosed(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink();
}

SafeFolder::SafeFolder(const QString &path) : folder(path)
{
}

SafeFolder::~SafeFolder() = default;

bool SafeFolder::isOpen() const
{
    return isOwnAndClosed(folder);
}

bool SafeFolder::open(QFile *file, const QString &name, Mode mode)
{
    file->close();
    if (!isOpen() || !validName(name))
        return false;
    const QString path = QDir(folder).filePath(name);
    if (QFileInfo(path).isSymLink())
        return fail(Error::Link, name, 0);
    if (mode == Mode::Replace && !remove(name))
        return false;
    const bool create = mode == Mode::Create || mode == Mode::Replace;
    if (create && QFileInfo::exists(path))
        return fail(Error::Exists, name, 0);
    if (!create && !QFileInfo(path).isFile())
        return fail(QFileInfo::exists(path) ? Error::NotAFile : Error::Missing, name, 0);
    file->setFileName(path);
    QIODevice::OpenMode openMode =
        (mode == Mode::Read ? QIODevice::ReadOnly : QIODevice::ReadWrite) | QIODevice::Unbuffered;
    if (create)
        openMode |= QIODevice::NewOnly;
    else
        openMode |= QIODevice::ExistingOnly;
    if (!file->open(openMode))
        return fail(Error::System, name, 0);
    lastError = Error::None;
    lastErrorText.clear();
    return true;
}

bool SafeFolder::noLinkAt(const QString &name)
{
    const QFileInfo info(QDir(folder).filePath(name));
    if (info.isSymLink())
        return fail(Error::Link, name, 0);
    return !info.exists() || info.isFile() || fail(Error::NotAFile, name, 0);
}

bool SafeFolder::remove(const QString &name)
{
    if (!isOpen() || !validName(name) || !noLinkAt(name))
        return false;
    const QString path = QDir(folder).filePath(name);
    return !QFileInfo::exists(path) || QFile::remove(path) || fail(Error::System, name, 0);
}

bool SafeFolder::rename(const QString &from, const QString &to)
{
    if (!isOpen() || !validName(from) || !validName(to) || !noLinkAt(from) || !noLinkAt(to))
        return false;
    const QDir dir(folder);
    QFile::remove(dir.filePath(to));
    return QFile::rename(dir.filePath(from), dir.filePath(to)) || fail(Error::System, from, 0);
}

#endif

bool SafeFolder::read(const QString &name, qint64 maxBytes, QByteArray *data)
{
    QFile file;
    if (!open(&file, name, Mode::Read))
        return false;
    // By what arrives, never by the size the file claims: a size can change, and a special file has none.
    QByteArray result;
    for (;;) {
        const qint64 want = qMin(ReadBlock, maxBytes + 1 - result.size());
        const QByteArray block = file.read(want);
        if (block.isEmpty())
            break;
        result += block;
        if (result.size() > maxBytes)
            return fail(Error::TooLarge, name, 0);
    }
    if (file.error() != QFileDevice::NoError)
        return fail(Error::System, name, EIO);
    *data = result;
    return true;
}

bool SafeFolder::write(const QString &name, const QByteArray &data)
{
    const QString temporary = name + QStringLiteral(".new");
    QFile file;
    if (!open(&file, temporary, Mode::Replace))
        return false;
    if (file.write(data) != data.size() || !file.flush()) {
        const QString why = file.errorString();
        file.close();
        remove(temporary);
        lastError = Error::System;
        lastErrorText = QStringLiteral("%1 in %2: %3").arg(temporary, folder, why);
        return false;
    }
    file.close();
    if (!rename(temporary, name)) {
        const Error error = lastError;
        const QString text = lastErrorText;
        remove(temporary);
        lastError = error;
        lastErrorText = text;
        return false;
    }
    return true;
}
