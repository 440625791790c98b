#pragma once

#include "archivecheck.h"

#include <QList>
#include <QString>

#include <archive.h>
#include <archive_entry.h>
#include <memory>

// Reading an update archive with the archive library: what the installer and its checks see of it.
namespace ArchiveReader {

struct Closer
{
    void operator()(archive *a) const;
};
using Ptr = std::unique_ptr<archive, Closer>;

// A reader of a tar archive under any compression; null, with the library's words in `error`, when the
// file cannot be opened as one.
Ptr open(const QString &path, QString *error);

// What the checks need to know of one entry.
ArchiveCheck::Entry entryOf(archive_entry *entry);

// Reads the whole listing; a damaged or truncated archive fails here, before anything is written.
bool list(const QString &path, QList<ArchiveCheck::Entry> *entries, QString *error);

} // namespace ArchiveReader
