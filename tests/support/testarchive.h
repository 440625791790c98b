#pragma once

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QString>

#include <archive.h>
#include <archive_entry.h>
#include <sys/stat.h>

// Writes .tar.gz archives entry by entry, bad ones included, the way the tests need them.
struct TestArchive
{
    struct Entry
    {
        QString path;
        mode_t type = AE_IFREG; // AE_IFREG, AE_IFDIR, AE_IFLNK, AE_IFCHR, ...
        QByteArray data;        // contents, or a link's target
        mode_t mode = 0644;
        bool hardLink = false; // `data` names the archive path linked to
    };

    static bool write(const QString &path, const QList<Entry> &entries)
    {
        archive *out = archive_write_new();
        archive_write_add_filter_gzip(out);
        archive_write_set_format_pax_restricted(out);
        bool ok = archive_write_open_filename(out, QFile::encodeName(path).constData()) == ARCHIVE_OK;
        for (const Entry &e : entries) {
            archive_entry *entry = archive_entry_new();
            archive_entry_set_pathname(entry, e.path.toUtf8().constData());
            archive_entry_set_mode(entry, e.type | e.mode);
            if (e.hardLink) {
                archive_entry_set_hardlink(entry, e.data.constData());
            } else if (e.type == AE_IFLNK) {
                archive_entry_set_symlink(entry, e.data.constData());
            } else if (e.type == AE_IFREG) {
                archive_entry_set_size(entry, e.data.size());
            }
            ok = ok && archive_write_header(out, entry) == ARCHIVE_OK;
            if (e.type == AE_IFREG && !e.hardLink && !e.data.isEmpty())
                ok = ok && archive_write_data(out, e.data.constData(), size_t(e.data.size())) == e.data.size();
            archive_entry_free(entry);
        }
        ok = archive_write_close(out) == ARCHIVE_OK && ok;
        archive_write_free(out);
        return ok;
    }

    // The folder `dir` as an archive whose one top folder is `top`, as CPack packs a program folder.
    static bool pack(const QString &path, const QString &dir, const QString &top)
    {
        QList<Entry> entries{{top, AE_IFDIR, {}, 0755}};
        QDirIterator it(dir, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            const QString name = top + QLatin1Char('/') + QDir(dir).relativeFilePath(info.filePath());
            const mode_t mode = mode_t(info.permissions() & QFile::ExeOwner ? 0755 : 0644);
            if (info.isSymLink()) {
                return false; // a built program folder has none
            } else if (info.isDir()) {
                entries.append({name, AE_IFDIR, {}, 0755});
            } else {
                QFile file(info.filePath());
                if (!file.open(QIODevice::ReadOnly))
                    return false;
                entries.append({name, AE_IFREG, file.readAll(), mode});
            }
        }
        return write(path, entries);
    }
};
