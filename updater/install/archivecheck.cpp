#include "archivecheck.h"

#include <QSet>

#include <sys/stat.h>

namespace ArchiveCheck {

namespace {

const QStringList Programs = {QStringLiteral("ORVN"), QStringLiteral("Renovo")};

// Resolves a symbolic link's target against the folder holding the link; false when it climbs out.
bool staysInside(const QStringList &linkParts, const QString &target)
{
    if (target.isEmpty() || target.startsWith(QLatin1Char('/')))
        return false;
    QStringList resolved = linkParts.mid(0, linkParts.size() - 1);
    for (const QString &part : target.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            // The top folder itself is the floor.
            if (resolved.size() <= 1)
                return false;
            resolved.removeLast();
            continue;
        }
        resolved.append(part);
    }
    return resolved.size() >= 1;
}

} // namespace

QStringList components(const QString &path)
{
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')))
        return {};
    QStringList parts;
    for (const QString &part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".."))
            return {};
        if (part != QLatin1String("."))
            parts.append(part);
    }
    return parts;
}

Verdict judge(const QList<Entry> &entries, QString *top)
{
    if (entries.isEmpty())
        return Verdict::Empty;
    QString topName;
    QSet<QString> seen;
    QSet<QString> links;
    QSet<QString> programs;
    for (const Entry &entry : entries) {
        const QStringList parts = components(entry.path);
        if (parts.isEmpty())
            return Verdict::AbsoluteOrParent;
        if (topName.isEmpty())
            topName = parts.first();
        if (parts.first() != topName || (parts.size() == 1 && entry.type != Entry::Type::Folder))
            return Verdict::OutsideTop;
        if (entry.type == Entry::Type::Other)
            return Verdict::Device;
        if (entry.mode & (S_ISUID | S_ISGID))
            return Verdict::SetId;
        const QString key = parts.join(QLatin1Char('/'));
        // A second entry of one path could replace a checked file by a link; a path through a link
        // would write wherever the link points.
        if (seen.contains(key) && !(entry.type == Entry::Type::Folder && parts.size() == 1))
            return Verdict::Duplicate;
        for (int i = 1; i < parts.size(); ++i) {
            if (links.contains(parts.mid(0, i).join(QLatin1Char('/'))))
                return Verdict::Duplicate;
        }
        seen.insert(key);
        switch (entry.type) {
        case Entry::Type::SymbolicLink:
            if (!staysInside(parts, entry.target))
                return Verdict::LinkLeaves;
            links.insert(key);
            break;
        case Entry::Type::HardLink: {
            const QStringList target = components(entry.target);
            if (target.size() < 2 || target.first() != topName || !seen.contains(target.join(QLatin1Char('/'))))
                return Verdict::LinkLeaves;
            links.insert(key);
            break;
        }
        case Entry::Type::File:
            if (parts.size() == 2 && Programs.contains(parts.at(1)))
                programs.insert(parts.at(1));
            break;
        default:
            break;
        }
    }
    if (programs.size() != Programs.size())
        return Verdict::NotAProgramFolder;
    if (top)
        *top = topName;
    return Verdict::Good;
}

const char *reason(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Good:
        return "good";
    case Verdict::Empty:
        return "no entries";
    case Verdict::AbsoluteOrParent:
        return "an absolute path or '..'";
    case Verdict::OutsideTop:
        return "an entry outside the one top folder";
    case Verdict::LinkLeaves:
        return "a link that leaves the folder";
    case Verdict::Device:
        return "a device, pipe or socket";
    case Verdict::SetId:
        return "a set-id bit";
    case Verdict::Duplicate:
        return "a path given twice or through a link";
    case Verdict::NotAProgramFolder:
        return "no ORVN and Renovo in the top folder";
    }
    return "?";
}

} // namespace ArchiveCheck
