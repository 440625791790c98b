#pragma once

#include <QList>
#include <QString>

#include <sys/types.h>

// What an update archive may hold. The secure-extraction flags of the archive library leave gaps
// (hard links, set-id bits, entries beside the top folder), so every entry is judged here before
// anything is written, and the whole archive is refused for one bad entry.
namespace ArchiveCheck {

struct Entry
{
    enum class Type { File, Folder, SymbolicLink, HardLink, Other };
    QString path;
    Type type = Type::File;
    // Where a link points: the target as stored for a symbolic link, an archive path for a hard link.
    QString target;
    mode_t mode = 0644;
};

enum class Verdict {
    Good,
    Empty,            // no entry at all
    AbsoluteOrParent, // an absolute path, or ".." in a path
    OutsideTop,       // not inside the one top folder
    LinkLeaves,       // a link whose target is outside the top folder
    Device,           // a device, pipe or socket
    SetId,            // set-user-id or set-group-id
    Duplicate,        // the same path twice, or a path through a link
    NotAProgramFolder // no ORVN and Renovo beside each other in the top folder
};

// The path's components without "." parts; empty when the path is absolute or climbs with "..".
QStringList components(const QString &path);

// Judges the whole listing; on Good, `top` receives the top folder's name.
Verdict judge(const QList<Entry> &entries, QString *top = nullptr);

// Why, in a few words, for logs.
const char *reason(Verdict verdict);

} // namespace ArchiveCheck
