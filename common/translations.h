#pragma once

#include <QLocale>
#include <QString>

class QTranslator;

// The interface's language follows the system locale. The texts in the code are the Chinese ones;
// a locale with a translation (English) gets it, and every other locale, Chinese included, keeps the
// texts as written.
namespace Translations {

// Loads into `translator` the translation that `locale` asks for; false when there is none.
bool load(QTranslator &translator, const QLocale &locale);

// Installs the translation for the system locale into the application, and makes the default locale
// agree with it, so that images with text (resources with a language) and local pages follow the
// texts. Call once the application object exists.
void install();

// `folder` + "/en/" + `name` once install() has installed the English translation and that file
// exists, else `folder` + "/" + `name`.
QString localizedFile(const QString &folder, const QString &name);

} // namespace Translations
