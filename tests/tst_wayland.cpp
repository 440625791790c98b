// The real client on a Wayland compositor (weston's headless back end): it starts, shows the first
// channel page and quits cleanly when asked.
#include "fixture.h"
#include "nginxserver.h"
#include "processtest.h"

#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestWayland : public QObject
{
    Q_OBJECT

private slots:
    void client_startsShowsTheChannelPageAndQuits();
};

void TestWayland::client_startsShowsTheChannelPageAndQuits()
{
    const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
    ORVANE_REQUIRE_FIXTURE(!weston.isEmpty(), "weston");
    const bool waylandPlugin = QFile::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                                             QStringLiteral("/platforms/libqwayland-generic.so"));
    ORVANE_REQUIRE_FIXTURE(waylandPlugin, "Qt's Wayland platform (qt6-wayland)");
    ORVANE_REQUIRE_FIXTURE(NginxServer::isAvailable(), "nginx");

    QTemporaryDir www;
    QDir(www.path()).mkpath(QStringLiteral("soft"));
    QFile page(www.filePath(QStringLiteral("soft/iflive.html")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<!doctype html><meta charset=\"utf-8\"><title>Orvane 直播</title><p>live");
    page.close();
    NginxServer server;
    QVERIFY(server.start(www.path()));

    ProcessTest test;
    QProcessEnvironment env = test.environment();
    const QString socket = QStringLiteral("orvane-test-%1").arg(QCoreApplication::applicationPid());
    QProcess *compositor =
        test.start(weston,
                   {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--socket=") + socket,
                    QStringLiteral("--width=1280"), QStringLiteral("--height=800"), QStringLiteral("--idle-time=0")},
                   env);
    QTRY_VERIFY2_WITH_TIMEOUT(QFile::exists(test.runtimeDir() + QLatin1Char('/') + socket),
                              qPrintable(ProcessTest::output(compositor)), 10000);

    QProcessEnvironment clientEnv = env;
    clientEnv.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    clientEnv.insert(QStringLiteral("WAYLAND_DISPLAY"), socket);
    clientEnv.remove(QStringLiteral("DISPLAY"));
    clientEnv.insert(QStringLiteral("ORVANE_SERVER_URL"), server.url());
    for (const char *folder : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        clientEnv.insert(QLatin1String(folder), test.runtimeDir() + QLatin1Char('/') + QLatin1String(folder));
    QProcess *client = test.start(QStringLiteral(ORVN_PATH), {}, clientEnv);
    QVERIFY2(ProcessTest::waitForOutput(client, QStringLiteral("channel page 1 shown"), 60000),
             qPrintable(ProcessTest::output(client)));
    QVERIFY2(ProcessTest::output(client).contains(QLatin1String("window system: wayland")),
             qPrintable(ProcessTest::output(client)));

    // The updater's request ends the client the same way as its tray menu's exit.
    QProcess *asker =
        test.start(QStringLiteral(INSTANCEPROBE_PATH), {QStringLiteral("ORVN"), QStringLiteral("updator")});
    QVERIFY(asker->waitForFinished(10000));
    QVERIFY2(client->waitForFinished(15000), qPrintable(ProcessTest::output(client)));
    QCOMPARE(client->exitStatus(), QProcess::NormalExit);
    QCOMPARE(client->exitCode(), 0);
    QVERIFY(compositor->state() == QProcess::Running);
}

QTEST_GUILESS_MAIN(TestWayland)
#include "tst_wayland.moc"
