#include "resumestate.h"

#include "safefolder.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

qint64 ResumeState::doneBytes() const
{
    qint64 sum = 0;
    for (const Part &part : parts)
        sum += part.done;
    return sum;
}

QByteArray ResumeState::validator() const
{
    return !etag.isEmpty() ? etag : lastModified;
}

namespace ResumeStateFile {

QString statePath(const QString &partFile)
{
    return partFile + QStringLiteral(".state");
}

bool fromBytes(const QByteArray &bytes, ResumeState *state)
{
    const QJsonObject object = QJsonDocument::fromJson(bytes).object();
    if (object.isEmpty())
        return false;
    ResumeState result;
    result.url = object.value(QLatin1String("url")).toString();
    // Sizes travel as text: a JSON number is a double and loses bytes above 2^53.
    result.size = object.value(QLatin1String("size")).toString().toLongLong();
    result.etag = object.value(QLatin1String("etag")).toString().toLatin1();
    result.lastModified = object.value(QLatin1String("lastModified")).toString().toLatin1();
    result.sha256 = object.value(QLatin1String("sha256")).toString().toLatin1();
    result.saved = QDateTime::fromString(object.value(QLatin1String("saved")).toString(), Qt::ISODateWithMs);
    const QJsonArray parts = object.value(QLatin1String("parts")).toArray();
    for (const QJsonValue &value : parts) {
        const QJsonObject part = value.toObject();
        result.parts.append({{part.value(QLatin1String("first")).toString().toLongLong(),
                              part.value(QLatin1String("last")).toString().toLongLong()},
                             part.value(QLatin1String("done")).toString().toLongLong()});
    }
    *state = result;
    return true;
}

QByteArray toBytes(const ResumeState &state)
{
    QJsonArray parts;
    for (const ResumeState::Part &part : state.parts) {
        parts.append(QJsonObject{{QLatin1String("first"), QString::number(part.range.first)},
                                 {QLatin1String("last"), QString::number(part.range.last)},
                                 {QLatin1String("done"), QString::number(part.done)}});
    }
    const QJsonObject object{{QLatin1String("url"), state.url},
                             {QLatin1String("size"), QString::number(state.size)},
                             {QLatin1String("etag"), QString::fromLatin1(state.etag)},
                             {QLatin1String("lastModified"), QString::fromLatin1(state.lastModified)},
                             {QLatin1String("sha256"), QString::fromLatin1(state.sha256)},
                             {QLatin1String("saved"), state.saved.toUTC().toString(Qt::ISODateWithMs)},
                             {QLatin1String("parts"), parts}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

bool read(const QString &path, ResumeState *state)
{
    const QFileInfo info(path);
    SafeFolder folder(info.absolutePath());
    QByteArray bytes;
    return folder.read(info.fileName(), MaxBytes, &bytes) && fromBytes(bytes, state);
}

bool write(const QString &path, const ResumeState &state)
{
    // Not synced to disk: this is written many times a minute, and after a power cut starting over is fine.
    const QFileInfo info(path);
    SafeFolder folder(info.absolutePath());
    return folder.write(info.fileName(), toBytes(state));
}

QString rejectResume(const ResumeState &state, const QString &url, qint64 size, const QByteArray &etag,
                     const QByteArray &lastModified, qint64 partFileSize, const QDateTime &now)
{
    if (state.url != url)
        return QStringLiteral("it belongs to %1").arg(state.url);
    if (!state.saved.isValid() || state.saved > now || state.saved.daysTo(now) >= MaxAgeDays)
        return QStringLiteral("it was saved %1").arg(state.saved.toString(Qt::ISODate));
    if (state.size != size || size <= 0)
        return QStringLiteral("the package is %1 bytes now, not %2").arg(size).arg(state.size);
    if (state.validator().isEmpty())
        return QStringLiteral("the server gave no ETag or Last-Modified to tell a changed package");
    if (state.etag != etag || state.lastModified != lastModified)
        return QStringLiteral("the package on the server has changed");
    // The parts must cover the package exactly once, in order, and what they claim must be in the file.
    qint64 next = 0;
    for (const ResumeState::Part &part : state.parts) {
        if (part.range.first != next || part.range.isEmpty() || part.done < 0 || part.done > part.range.length())
            return QStringLiteral("its parts do not cover the package");
        if (part.done > 0 && part.range.first + part.done > partFileSize)
            return QStringLiteral("the part file is shorter than the state says");
        next = part.range.last + 1;
    }
    if (next != size)
        return QStringLiteral("its parts do not cover the package");
    return QString();
}

} // namespace ResumeStateFile
