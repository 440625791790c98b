#pragma once

#include "downloadplan.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// What a download has already written into its part file, kept in a small file beside it so that an
// updater that was killed, crashed or closed continues where it stopped.
struct ResumeState
{
    struct Part
    {
        ByteRange range;
        qint64 done = 0; // bytes written from range.first on
    };

    QString url;
    qint64 size = 0;
    QByteArray etag;
    QByteArray lastModified;
    QByteArray sha256; // the signed hash of the release, hex; empty when there was none
    QDateTime saved;
    QList<Part> parts;

    qint64 doneBytes() const;
    // The value for If-Range: the ETag, else Last-Modified; empty when the server gave neither.
    QByteArray validator() const;
};

namespace ResumeStateFile {

// Older state is not trusted to describe a package still on the server.
inline constexpr int MaxAgeDays = 7;

// The state file that belongs to `partFile`.
QString statePath(const QString &partFile);

// Small enough that a corrupt or hostile file is never read whole.
inline constexpr qint64 MaxBytes = 64 * 1024;

// The state as it is stored, and back; false for anything that is not a state.
QByteArray toBytes(const ResumeState &state);
bool fromBytes(const QByteArray &bytes, ResumeState *state);

// False when the file is missing, unreadable, a link or too large; `state` is then left alone.
bool read(const QString &path, ResumeState *state);
// Written whole or not at all, never through a link.
bool write(const QString &path, const ResumeState &state);

// Why `state` cannot continue a download of `url` whose HEAD answered `size` with the given
// validators, at `now`, into a part file of `partFileSize` bytes; empty when it can. Without a
// validator from the server and from the state nothing is resumed: a changed package could not be told.
QString rejectResume(const ResumeState &state, const QString &url, qint64 size, const QByteArray &etag,
                     const QByteArray &lastModified, qint64 partFileSize, const QDateTime &now);

} // namespace ResumeStateFile
