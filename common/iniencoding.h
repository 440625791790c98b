#pragma once

#include <QByteArray>

namespace IniEncoding {

// The server's INI bytes as UTF-8, which is how the settings class reads them. Valid UTF-8 is kept
// (a byte-order mark is dropped); anything else is taken as GB18030, the superset of the GBK that
// Chinese Windows tools write by default.
QByteArray toUtf8(const QByteArray &raw);

} // namespace IniEncoding
