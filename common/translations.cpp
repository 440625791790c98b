#include "translations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTranslator>

namespace Translations {

bool load(QTranslator &translator, const QLocale &locale)
{
    // Matches the locale's languages in order of preference ("en-GB", "en", ...).
    return translator.load(locale, QStringLiteral("orvane"), QStringLiteral("_"), QStringLiteral(":/i18n"));
}

void install()
{
    static QTranslator translator;
    if (!load(translator, QLocale::system()))
        return;
    QCoreApplication::installTranslator(&translator);
    if (QLocale().language() != QLocale::English)
        QLocale::setDefault(QLocale(QLocale::English));
}

QString localizedFile(const QString &folder, const QString &name)
{
    if (QLocale().language() == QLocale::English) {
        const QString english = folder + QStringLiteral("/en/") + name;
        if (QFileInfo::exists(english))
            return english;
    }
    return folder + QLatin1Char('/') + name;
}

} // namespace Translations
