#include "iniencoding.h"

#include <QFile>
#include <QSettings>
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

QString rawValue(const QString &path, const QString &group, const QString &key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const auto isGeneral = [](QStringView name) {
        return name.isEmpty() || name.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0;
    };
    const bool wantGeneral = isGeneral(group);
    bool inGroup = wantGeneral;
    QString found;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &bytes : lines) {
        const QString line = QString::fromUtf8(bytes).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            const QStringView name = QStringView(line).mid(1, line.size() - 2).trimmed();
            inGroup = wantGeneral ? isGeneral(name) : name == group;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inGroup && equals > 0 && QStringView(line).left(equals).trimmed() == key)
            found = line.mid(equals + 1).trimmed();
    }
    if (found.size() >= 2 && found.startsWith(QLatin1Char('"')) && found.endsWith(QLatin1Char('"')))
        found = found.mid(1, found.size() - 2);
    return found;
}

QString exactValue(const QSettings &settings, const QString &path, const QString &key)
{
    const QVariant value = settings.value(key);
    if (value.typeId() == QMetaType::QStringList)
        return rawValue(path, settings.group(), key);
    return value.toString();
}

} // namespace IniEncoding
