// Upgrades the installed package through PackageKit as the update window does, and presses "取消" as
// soon as the window would let the user while the new version downloads. Prints how it ended.
//   upgradeprobe VERSION
#include "systemupgrade.h"

#include <QCoreApplication>
#include <QMetaEnum>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    using namespace SystemPackage;
    // PackageKit's status while it downloads.
    const QString downloading = statusText(Step::Update, 8);
    SystemUpgrade upgrade;
    bool cancellable = false;
    bool inDownload = false;
    const auto press = [&] {
        if (cancellable && inDownload) {
            upgrade.cancel();
            cancellable = false;
        }
    };
    QObject::connect(&upgrade, &SystemUpgrade::cancellableChanged, [&](bool allowed) {
        cancellable = allowed;
        press();
    });
    QObject::connect(&upgrade, &SystemUpgrade::statusChanged, [&](const QString &text) {
        inDownload = text == downloading;
        press();
    });
    QObject::connect(&upgrade, &SystemUpgrade::finished, [&](Outcome outcome, const QString &) {
        std::printf("%s\n", QMetaEnum::fromType<Outcome>().valueToKey(int(outcome)));
        app.quit();
    });
    upgrade.start(QStringLiteral("orvane"), app.arguments().value(1), sourceUris(sourceFile(QStringLiteral("orvane"))));
    return app.exec();
}
