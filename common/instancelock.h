#pragma once

#include <QString>

#ifndef Q_OS_UNIX
#include <QSharedMemory>
#endif

// The marker that tells which process holds a single-instance key, and the per-user native names
// behind the key.
//
// On Unix the marker is an exclusive lock on a file in a folder only the user can enter. The kernel
// drops the lock when its process ends in any way, so a crash never leaves a marker behind, a stopped
// holder keeps its lock, and of several starts racing for it exactly one wins. Elsewhere it is a
// one-byte named shared-memory segment, which the system removes with its last user.
class InstanceLock final
{
public:
    enum class State {
        Primary,   // this process holds the key
        Secondary, // another live process holds it
        Failed,    // neither could be established
    };

    explicit InstanceLock(const QString &key);
    ~InstanceLock();

    Q_DISABLE_COPY_MOVE(InstanceLock)

    State state() const
    {
        return current;
    }
    QString errorString() const
    {
        return error;
    }

    // A folder only the current user can enter: XDG_RUNTIME_DIR when it is usable, otherwise
    // "<cache home>/orvane/run", made private. Empty when neither can be had.
    static QString privateRuntimeDir();
    // Name under which the primary process listens: on Unix a socket path in privateRuntimeDir() that
    // carries the user id, so two users never meet, and empty without that folder (the lock then
    // fails and the program runs without its message server); elsewhere the plain key.
    static QString serverName(const QString &key);
    // The lock file on Unix, built like serverName().
    static QString lockPath(const QString &key);

private:
    State current = State::Failed;
    QString error;
#ifdef Q_OS_UNIX
    int fd = -1;
#else
    QSharedMemory sharedMemory;
#endif
};
