#pragma once

#include <QByteArray>
#include <QString>

class QFile;

// A folder the programs write into, opened once without following a link, with every file in it
// opened relative to that handle. A symbolic link at any name it is asked about is refused: never
// followed, replaced or removed, so a link planted in the folder, or a folder swapped for a link,
// cannot send a write or a read anywhere else, and stays for whoever looks into it.
//
// Only a folder owned by the user and closed to writes by group and others is worth this: in any
// other, someone else could change the files between two calls. choose() picks such a folder.
class SafeFolder final
{
public:
    enum class Error {
        None,
        Missing,  // no such file
        Link,     // a symbolic link where a file or the folder was expected
        NotAFile, // a folder, device, pipe or socket, or a file of another user's
        Exists,   // a new file was asked for and the name is taken
        TooLarge, // more than the reader's cap
        System,   // anything else the system refused; see errorString()
    };

    enum class Mode {
        Read,    // an existing regular file, read only
        Update,  // an existing regular file, read and write
        Create,  // a new file (never an existing one), read and write, 0600
        Replace, // as Create, after removing a regular file of that name; a link there is refused
    };

    explicit SafeFolder(const QString &path);
    ~SafeFolder();

    Q_DISABLE_COPY_MOVE(SafeFolder)

    bool isOpen() const;
    QString path() const
    {
        return folder;
    }
    // What the last call refused, and why in words (with the file's name).
    Error error() const
    {
        return lastError;
    }
    QString errorString() const
    {
        return lastErrorText;
    }

    // Opens `name` (a plain file name, no folders) in `mode` into `file`, which then owns the handle,
    // unbuffered: a write that fails fails at once. False, with `file` closed, when the mode does not
    // allow what is there.
    bool open(QFile *file, const QString &name, Mode mode);
    // The whole regular file `name`, read by what actually arrives: false when it is larger than
    // `maxBytes` (a device or a growing file is never read without end).
    bool read(const QString &name, qint64 maxBytes, QByteArray *data);
    // Writes `name` whole or not at all: into a new `name`.new, then renamed over `name`.
    bool write(const QString &name, const QByteArray &data);
    // Removes the file `name`; true when none is left.
    bool remove(const QString &name);
    // Renames the file `from` to `to`, replacing a file there.
    bool rename(const QString &from, const QString &to);

    // `preferred` when it is a writable folder of this user's that group and others cannot write;
    // otherwise `fallback`, created for this user alone (0700) and closed to others if it was not.
    // Empty when neither is fit.
    static QString choose(const QString &preferred, const QString &fallback);
    // Whether `path` is a real folder (not a link) owned by this user that group and others cannot write.
    static bool isOwnAndClosed(const QString &path);

private:
    bool fail(Error error, const QString &name, int code);
    bool validName(const QString &name);
    // False, having failed, when `name` is a link or anything but a file (a missing name will do).
    bool noLinkAt(const QString &name);

    QString folder;
    int fd = -1;
    Error lastError = Error::None;
    QString lastErrorText;
};
