#pragma once

#include "resumestate.h"

#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <memory>

class QLockFile;

// The file a download writes its parts into, "<target>.part", with its resume state beside it. The
// target takes the name only once the package is complete and checked, so a file already there is
// never truncated. Every file of a download is opened, renamed or removed here and nowhere else.
class PartFile final
{
public:
    PartFile();
    ~PartFile();

    Q_DISABLE_COPY_MOVE(PartFile)

    // Opens the part file of `target`, unbuffered, so that a write that fails fails at once, before
    // its bytes are counted as done. Its name is fixed, so the next start finds it; a lock keeps a
    // second download of the same package out of it, which then works in a file of its own that it
    // keeps nothing of for later. False when no file could be opened.
    bool open(const QString &target);
    // Closes the file; the lock stays until release().
    void close();
    // Lets go of the lock; a later open() starts afresh.
    void release();

    // The shared file the workers write into at their offsets.
    QFile *device()
    {
        return &file;
    }
    QString fileName() const
    {
        return file.fileName();
    }
    QString errorString() const
    {
        return file.errorString();
    }
    bool isOpen() const
    {
        return file.isOpen();
    }
    // Whether this download opened a file, which it must then keep or remove.
    bool created() const
    {
        return fileCreated;
    }
    // Whether the file is the package's own part file under its lock, so it may be continued later.
    bool resumable() const
    {
        return lock && fileCreated;
    }
    qint64 size() const
    {
        return file.size();
    }
    bool truncate();
    bool flush();

    // The saved state; false when there is none or it cannot be read.
    bool readState(ResumeState *state) const;
    // Saves `state` once what it claims is on disk; after a failed write the last state, which claims
    // less, stays. False when nothing was saved.
    bool writeState(const ResumeState &state);
    // Removes the state, also one half written by a kill in the middle of a save.
    void dropState();
    // Whether enough time or bytes have passed since the last save for another: often enough that a
    // killed updater fetches little again, seldom enough to cost nothing.
    bool stateDue(qint64 doneBytes, qint64 totalBytes) const;
    void noteSaved(qint64 doneBytes);

    // Why the finished file is not the package of `sha256Hex`; empty when it is.
    QString checkSha256(const QString &sha256Hex) const;
    // Renames the finished file to the target, replacing what is there; why not, or empty.
    QString moveIntoPlace();
    // Removes the part file and its state.
    void remove();

private:
    // Beside the part file, whatever name the file has after moveIntoPlace().
    QString statePath() const;

    QString target;
    QString partPath;
    QFile file;
    std::unique_ptr<QLockFile> lock;
    bool fileCreated = false;
    QElapsedTimer sinceSave;
    qint64 savedBytes = 0;
};
