#include "deployment.h"

#include "deployment_defaults.h"

namespace Deployment {

QString resolveServerUrl(const char *variable, const QString &fallback)
{
    QString url = qEnvironmentVariable(variable).trimmed();
    if (url.isEmpty())
        url = fallback;
    while (url.endsWith(QLatin1Char('/')))
        url.chop(1);
    return url;
}

QString serverUrl()
{
    return resolveServerUrl("ORVANE_SERVER_URL", QStringLiteral(ORVANE_DEFAULT_SERVER_URL));
}

QString updateServerUrl()
{
    return resolveServerUrl("ORVANE_UPDATE_SERVER_URL", QStringLiteral(ORVANE_DEFAULT_UPDATE_SERVER_URL));
}

} // namespace Deployment
