#pragma once

#include <QByteArray>
#include <QString>

class QSettings;

namespace IniEncoding {

// The server's INI bytes as UTF-8, which is how the settings class reads them. Valid UTF-8 is kept
// (a byte-order mark is dropped); anything else is taken as GB18030, the superset of the GBK that
// Chinese Windows tools write by default.
QByteArray toUtf8(const QByteArray &raw);

// The text after "key=" in `group` of the UTF-8 INI file at `path` (the general part for an empty group),
// trimmed and without surrounding quotes; the last one counts, as for the settings reader.
QString rawValue(const QString &path, const QString &group, const QString &key);
// The value of `key` in the settings' current group, read from `path`, as the server wrote it: the
// settings class splits an unquoted value at its commas, which would turn "a,b" into "a, b".
QString exactValue(const QSettings &settings, const QString &path, const QString &key);

} // namespace IniEncoding
