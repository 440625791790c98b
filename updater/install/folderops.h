#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <sys/types.h>

// File operations relative to an open folder, never following a symbolic link: the installer opens
// the program folder's parent once and reaches everything it creates or reads from there.
namespace FolderOps {

// An owned file descriptor, closed when it goes.
class Fd final
{
public:
    Fd() = default;
    explicit Fd(int fd) : fd(fd)
    {
    }
    ~Fd();
    Fd(Fd &&other) noexcept : fd(other.release())
    {
    }
    Fd &operator=(Fd &&other) noexcept;
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;

    int get() const
    {
        return fd;
    }
    bool valid() const
    {
        return fd >= 0;
    }
    int release()
    {
        const int taken = fd;
        fd = -1;
        return taken;
    }

private:
    int fd = -1;
};

// Writes like write(2); a seam so that tests can make the disk fill up.
using WriteFunction = std::function<ssize_t(int fd, const void *data, size_t size)>;

// Opens a folder by absolute path, refusing it when its last component is a symbolic link.
Fd openFolder(const QString &path);
// Opens `name` inside `dir` as a folder, without following a link.
Fd openFolderAt(int dir, const QString &name);
// The identity of `name` in `dir` (device and inode), without following a link; false when absent.
bool identityAt(int dir, const QString &name, dev_t *device, ino_t *inode);
bool existsAt(int dir, const QString &name);
// The names in a folder, without "." and "..".
QStringList namesIn(int dir);

// Creates `name` in `dir` (which must not exist) and writes `contents` to it.
bool createFileAt(int dir, const QString &name, const QByteArray &contents, mode_t mode,
                  const WriteFunction &write = {});
// Reads at most `cap` bytes of `name`; false when it is absent, a link, or longer than `cap`.
bool readFileAt(int dir, const QString &name, qint64 cap, QByteArray *contents);
// Replaces `name` with a file holding `contents`, in one rename: a reader sees the old or the new.
bool replaceFileAt(int dir, const QString &name, const QByteArray &contents);

// Removes `name` in `dir` and, for a folder, everything in it; links are removed, never followed.
// True when nothing of that name is left.
bool removeTreeAt(int dir, const QString &name);

// Exchanges two names in `dir` in one step. Where the file system refuses (EINVAL, ENOSYS: NFS,
// vfat, many FUSE file systems), three renames through `spare` do it instead; a kill between them
// leaves `spare` for the recovery to put back.
bool exchangeAt(int dir, const QString &a, const QString &b, const QString &spare, bool allowAtomic = true);

// The name of the user who owns `path` (its uid when the name is unknown).
QString ownerOf(const QString &path);

} // namespace FolderOps
