#include "serverconfig.h"

#include "clientconfig.h"
#include "iniencoding.h"

#include <QLoggingCategory>
#include <QSettings>
#include <QUrl>

Q_LOGGING_CATEGORY(lcServerConfig, "orvane.fetch", QtWarningMsg)

namespace {
constexpr int MaxTextADSpeed = 3600;
} // namespace

namespace ServerConfig {

bool isWebAddress(const QString &address)
{
    const QUrl parsed(address);
    const QString scheme = parsed.scheme(); // QUrl keeps schemes in lower case
    return parsed.isValid() && !parsed.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

QString apply(const QString &path, ClientConfig &config)
{
    QSettings settings(path, QSettings::IniFormat);
    auto positive = [&settings](const char *key, int &field) {
        const int value = settings.value(QLatin1String(key)).toInt();
        if (value > 0)
            field = value;
    };
    auto textOf = [&settings, &path](const char *key) {
        return IniEncoding::exactValue(settings, path, QLatin1String(key));
    };
    auto text = [&textOf](const char *key, QString &field) {
        const QString value = textOf(key);
        if (!value.isEmpty())
            field = value;
    };
    // Page addresses are only taken when they are web addresses: a page host must never be sent to a
    // local file or a script.
    auto address = [&textOf](const char *key, QString &field) {
        const QString value = textOf(key);
        if (!value.isEmpty() && isWebAddress(value))
            field = value;
        else if (!value.isEmpty())
            qCInfo(lcServerConfig) << "ignoring" << key << value;
    };
    positive("textADSpeed", config.textADSpeed);
    // The rest between texts grows with the speed value; an hour is more than any text needs, and far
    // below where the label's tick arithmetic would overflow and stop it for good.
    config.textADSpeed = qMin(config.textADSpeed, MaxTextADSpeed);
    text("textADStr", config.textADStr);
    text("textADLink", config.textADLink);
    address("bannerADUrl", config.bannerADUrl);
    address("popUrl", config.popUrl);
    positive("popDelayTime", config.popDelayTime);
    positive("popstayTime", config.popstayTime);
    positive("popPeriod", config.popPeriod);
    return settings.value(QStringLiteral("AppVersion")).toString().trimmed();
}

} // namespace ServerConfig
