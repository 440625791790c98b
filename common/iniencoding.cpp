#include "iniencoding.h"

#include <QString>
#include <QStringDecoder>

namespace IniEncoding {

QByteArray toUtf8(const QByteArray &raw)
{
    static const QByteArray bom("\xEF\xBB\xBF");
    const QByteArray body = raw.startsWith(bom) ? raw.mid(bom.size()) : raw;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString asUtf8 = utf8.decode(body);
    if (!utf8.hasError())
        return body;
    QStringDecoder gb18030("GB18030");
    if (!gb18030.isValid())
        return body;
    return QString(gb18030.decode(body)).toUtf8();
}

} // namespace IniEncoding
