#include "channelpages.h"

#include "clientconfig.h"
#include "translations.h"

#include <QDir>

namespace ChannelPages {

QString address(const ClientConfig &config, int page)
{
    const QString *const urls[Count] = {&config.pageUrl1, &config.pageUrl2, &config.pageUrl3, &config.pageUrl4};
    return page >= 1 && page <= Count ? *urls[page - 1] : QString();
}

QString localPage(const QString &name)
{
    // English pages where the interface is English and the build delivers them.
    return Translations::localizedFile(QDir::currentPath() + QStringLiteral("/html"), name);
}

QString errorPage(int page)
{
    return localPage(QStringLiteral("error%1.html").arg(page));
}

} // namespace ChannelPages
