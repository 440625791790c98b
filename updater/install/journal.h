#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <sys/types.h>

// The small record beside the program folder that lets the next start of either program finish or
// undo an install cut short. Written before each step that changes the folders.
struct Journal
{
    enum class State {
        Unpacking,   // the new folder is being made beside the live one
        Carrying,    // the user's files are moving into the new folder
        Swapping,    // the folders may have been exchanged; the new client has not answered yet
        Confirmed,   // the new client answered: the old folder goes
        RollingBack, // the new client did not answer: the old folder comes back
    };

    State state = State::Unpacking;
    QString version;
    // The new folder, known by identity rather than by name: after a kill either name may hold it.
    dev_t newDevice = 0;
    ino_t newInode = 0;
    // What moved from the old folder into the new one, to move back when the install is undone.
    QStringList carried;

    QByteArray toText() const;
    // Nothing for a record that is not one of ours, or damaged.
    static std::optional<Journal> fromText(const QByteArray &text);
};

// What a start does with what an install left behind.
namespace Recovery {

enum class Action {
    Nothing,
    Undo,     // the old version stays or comes back: the new folder and the record go
    SwapBack, // exchange the folders back first, then as Undo
    Finish,   // the new version stays: the old folder and the record go
};

struct Facts
{
    bool journalPresent = false;
    std::optional<Journal> journal; // empty when absent or damaged
    bool stagingPresent = false;
    bool newIsLive = false; // the live name holds the journal's new folder
};

// Only a confirmed install is finished; anything less comes back to the version that ran before, whose
// client is known to start.
Action decide(const Facts &facts);

} // namespace Recovery
