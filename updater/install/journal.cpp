#include "journal.h"

#include <QList>

namespace {

const QByteArray Magic = "orvane-install 1";

const QList<QPair<Journal::State, QByteArray>> &stateNames()
{
    static const QList<QPair<Journal::State, QByteArray>> names = {
        {Journal::State::Unpacking, "unpacking"},      {Journal::State::Carrying, "carrying"},
        {Journal::State::Swapping, "swapping"},        {Journal::State::Confirmed, "confirmed"},
        {Journal::State::RollingBack, "rolling-back"},
    };
    return names;
}

} // namespace

QByteArray Journal::toText() const
{
    QByteArray text = Magic + '\n';
    for (const auto &name : stateNames()) {
        if (name.first == state)
            text += "state=" + name.second + '\n';
    }
    text += "version=" + version.toUtf8() + '\n';
    text += "new=" + QByteArray::number(qulonglong(newDevice)) + ':' + QByteArray::number(qulonglong(newInode)) + '\n';
    for (const QString &name : carried)
        text += "carried=" + name.toUtf8() + '\n';
    // Written in one piece by rename, so a record without its last line was not written by us.
    return text + "end\n";
}

std::optional<Journal> Journal::fromText(const QByteArray &text)
{
    const QList<QByteArray> lines = text.split('\n');
    if (lines.size() < 3 || lines.first() != Magic || !text.endsWith("\nend\n"))
        return std::nullopt;
    Journal journal;
    bool hasState = false, hasNew = false;
    for (const QByteArray &line : lines.mid(1, lines.size() - 3)) {
        const int equals = line.indexOf('=');
        if (equals <= 0)
            return std::nullopt;
        const QByteArray key = line.left(equals), value = line.mid(equals + 1);
        if (key == "state") {
            for (const auto &name : stateNames()) {
                if (name.second == value) {
                    journal.state = name.first;
                    hasState = true;
                }
            }
        } else if (key == "version") {
            journal.version = QString::fromUtf8(value);
        } else if (key == "new") {
            const QList<QByteArray> parts = value.split(':');
            bool deviceOk = false, inodeOk = false;
            if (parts.size() == 2) {
                journal.newDevice = dev_t(parts.at(0).toULongLong(&deviceOk));
                journal.newInode = ino_t(parts.at(1).toULongLong(&inodeOk));
            }
            hasNew = deviceOk && inodeOk;
        } else if (key == "carried") {
            // A carried name is one folder entry: never a path, never the folder itself.
            const QString name = QString::fromUtf8(value);
            if (name.isEmpty() || name.contains(QLatin1Char('/')) || name == QLatin1String(".") ||
                name == QLatin1String(".."))
                return std::nullopt;
            journal.carried.append(name);
        }
    }
    if (!hasState || !hasNew)
        return std::nullopt;
    return journal;
}

namespace Recovery {

Action decide(const Facts &facts)
{
    if (!facts.journalPresent)
        return facts.stagingPresent ? Action::Undo : Action::Nothing;
    // A damaged record tells nothing: the live name holds a complete version either way, so it stays.
    if (!facts.journal)
        return Action::Undo;
    if (facts.newIsLive)
        return facts.journal->state == Journal::State::Confirmed ? Action::Finish : Action::SwapBack;
    return Action::Undo;
}

} // namespace Recovery
