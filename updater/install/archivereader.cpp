#include "archivereader.h"

#include <QFile>

namespace ArchiveReader {

void Closer::operator()(archive *a) const
{
    archive_read_free(a);
}

Ptr open(const QString &path, QString *error)
{
    Ptr reader(archive_read_new());
    archive_read_support_filter_all(reader.get());
    archive_read_support_format_tar(reader.get());
    if (archive_read_open_filename(reader.get(), QFile::encodeName(path).constData(), 64 * 1024) != ARCHIVE_OK) {
        *error = QString::fromLocal8Bit(archive_error_string(reader.get()));
        return nullptr;
    }
    return reader;
}

ArchiveCheck::Entry entryOf(archive_entry *entry)
{
    ArchiveCheck::Entry e;
    e.path = QString::fromUtf8(archive_entry_pathname_utf8(entry) ? archive_entry_pathname_utf8(entry)
                                                                  : archive_entry_pathname(entry));
    e.mode = archive_entry_mode(entry);
    if (const char *hard = archive_entry_hardlink(entry)) {
        e.type = ArchiveCheck::Entry::Type::HardLink;
        e.target = QString::fromUtf8(hard);
        return e;
    }
    switch (archive_entry_filetype(entry)) {
    case AE_IFREG:
        e.type = ArchiveCheck::Entry::Type::File;
        break;
    case AE_IFDIR:
        e.type = ArchiveCheck::Entry::Type::Folder;
        break;
    case AE_IFLNK:
        e.type = ArchiveCheck::Entry::Type::SymbolicLink;
        e.target = QString::fromUtf8(archive_entry_symlink(entry));
        break;
    default:
        e.type = ArchiveCheck::Entry::Type::Other;
    }
    return e;
}

bool list(const QString &path, QList<ArchiveCheck::Entry> *entries, QString *error)
{
    const Ptr reader = open(path, error);
    if (!reader)
        return false;
    archive_entry *entry = nullptr;
    for (;;) {
        const int status = archive_read_next_header(reader.get(), &entry);
        if (status == ARCHIVE_EOF)
            return true;
        if (status != ARCHIVE_OK) {
            *error = QString::fromLocal8Bit(archive_error_string(reader.get()));
            return false;
        }
        entries->append(entryOf(entry));
        // Skipping the data still reads it through, so a cut-off file is noticed too.
        if (archive_read_data_skip(reader.get()) != ARCHIVE_OK) {
            *error = QString::fromLocal8Bit(archive_error_string(reader.get()));
            return false;
        }
    }
}

} // namespace ArchiveReader
