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

namespace {
// Only a program that installed the English translation shows English pages; tests and any other
// locale keep the pages as written.
bool english = false;
} // namespace

void install()
{
    static QTranslator translator;
    if (!load(translator, QLocale::system()))
        return;
    QCoreApplication::installTranslator(&translator);
    english = true;
    if (QLocale().language() != QLocale::English)
        QLocale::setDefault(QLocale(QLocale::English));
}

QString localizedFile(const QString &folder, const QString &name)
{
    if (english) {
        const QString translated = folder + QStringLiteral("/en/") + name;
        if (QFileInfo::exists(translated))
            return translated;
    }
    return folder + QLatin1Char('/') + name;
}

} // namespace Translations
