#pragma once

#include "folderops.h"
#include "journal.h"

#include <QString>

#include <functional>

// Installs a program-folder archive over the live program folder: unpacks it into a staging folder
// beside it, checks it, carries the user's files across, exchanges the two folders in one step and,
// once the new client has answered, removes the old one (or exchanges back). A journal beside the
// folders lets the next start of either program finish or undo an install cut short. Everything
// happens relative to the parent folder opened once, never through a symbolic link; an exclusive
// lock on it keeps two installs, and a start's recovery, apart.
class FolderInstall final
{
public:
    enum class Problem {
        None,
        Busy,         // another install holds the folder
        NotWritable,  // the program folder or its parent cannot be written; detail: the owner
        NotAnArchive, // not an archive, or a damaged or truncated one; detail: why
        Unsafe,       // an entry that must not be unpacked; detail: which rule
        DiskFull,     // no space left while unpacking
        WriteFailed,  // another failure to write; detail: why
        WrongVersion, // the unpacked programs do not report the signed version; detail: what they said
        SwapFailed,   // the folders could not be exchanged
    };
    // The points between steps, for tests that cut an install short there.
    enum class Step {
        JournalStarted,
        HalfUnpacked,
        Unpacked,
        Carrying,
        Carried,
        Swapping,
        Exchanged,
        Confirming,
        OldRemoved,
        RollingBack,
        SwappedBack,
    };
    struct Result
    {
        Problem problem = Problem::None;
        QString detail;
        bool ok() const
        {
            return problem == Problem::None;
        }
    };

    explicit FolderInstall(const QString &programFolder);
    ~FolderInstall();
    Q_DISABLE_COPY_MOVE(FolderInstall)

    void setWriteFunction(const FolderOps::WriteFunction &write);
    void setStepHook(const std::function<void(Step)> &hook);
    // Off: the two-rename exchange that file systems without RENAME_EXCHANGE get.
    void setAtomicExchange(bool atomic);

    // Makes and checks the new folder beside the live one; the live folder does not change, so the
    // client may still run.
    Result prepare(const QString &archive, const QString &version);
    // With the client gone: carries the user's files across and exchanges the folders. The downloaded
    // package and its part files (`packageName`) stay behind.
    Result swapIn(const QString &packageName);
    // The new client answered: the old folder goes.
    Result confirm();
    // The new client did not answer: the old folder comes back with the user's files.
    Result rollBack();
    // Before swapIn: the new folder goes, nothing else changed.
    void abandon();

    // At a program's start: finishes or undoes what a killed install left beside `programFolder`.
    // SwapBack means the folder now holds the version that ran before, so a program started from the
    // new one must start again.
    static Recovery::Action recover(const QString &programFolder);
    // The same for the running program's own folder, first thing in main(): when the folders were
    // exchanged back, the program's file is now the version that ran before, which is started in
    // this process's place.
    static void settleAtStart(char **argv);

    // The names beside the program folder, for tests.
    static QString stagingName(const QString &programFolder);
    static QString journalName(const QString &programFolder);

private:
    Result unpack(const QString &archive);
    Result checkVersion(const QString &program, const QString &version) const;
    bool writeJournal(Journal::State state);
    void step(Step at) const;
    static void undo(int parent, const QString &live, const QString &staging, const QStringList &carried);

    QString parentPath;
    QString live;
    QString staging;
    QString journalFile;
    QString spare;
    FolderOps::Fd parent;
    bool locked = false;
    Journal journal;
    FolderOps::WriteFunction write;
    std::function<void(Step)> hook;
    bool atomic = true;
};

// The user-facing text for a problem.
QString installProblemText(const FolderInstall::Result &result);
