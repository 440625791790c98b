// The whole update as real processes: a running client, the updater fetching the demo's update from
// nginx, the client told to quit, and the package started once it has gone.
#include "demoupdate.h"
#include "fixture.h"
#include "nginxserver.h"
#include "processtest.h"
#include "testfiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

using TestFiles::contentOf;
const QString Listening = QStringLiteral("primary instance listening");
const QString Package = QStringLiteral("orvane-update-demo.sh");
const QString Marker = QStringLiteral("orvane-update-demo.done");

} // namespace

class TestUpdateEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void runningClient_quitsThenThePackageRuns();
    void noClient_packageRunsAtOnce();
    void clientNotice_startsTheUpdaterBesideIt();
};

namespace {
// The signed demo update on a loopback nginx, and a folder laid out like an installation: the updater
// and its icon.
struct UpdateFixture
{
    QTemporaryDir update;
    QTemporaryDir installed;
    NginxServer nginx;
    QString log;

    bool start()
    {
        return makeDemoUpdate(update.path(), &log) && nginx.start(update.path()) &&
               QFile::copy(QStringLiteral(RENOVO_PATH), installed.filePath(QStringLiteral("Renovo"))) &&
               QFile::copy(QStringLiteral(PROGRAM_DIR "/update.ico"), installed.filePath(QStringLiteral("update.ico")));
    }
    // The update server and an updater that needs no click.
    QProcessEnvironment environment(const ProcessTest &test) const
    {
        QProcessEnvironment env = test.environment();
        env.insert(QStringLiteral("ORVANE_UPDATE_SERVER_URL"), nginx.url());
        env.insert(QStringLiteral("ORVANE_UPDATER_UNATTENDED"), QStringLiteral("1"));
        return env;
    }
};
} // namespace

void TestUpdateEndToEnd::runningClient_quitsThenThePackageRuns()
{
    ORVANE_REQUIRE_FIXTURE(NginxServer::isAvailable(), "nginx");
    UpdateFixture fixture;
    QVERIFY2(fixture.start(), qPrintable(fixture.log + fixture.nginx.errorLog()));
    const QTemporaryDir &installed = fixture.installed;
    ProcessTest test;
    QProcessEnvironment env = fixture.environment(test);
    QProcess *client = test.start(QStringLiteral(ORVN_PATH), {}, env);
    QVERIFY2(ProcessTest::waitForOutput(client, Listening), qPrintable(ProcessTest::output(client)));

    QProcess *updater = test.start(installed.filePath(QStringLiteral("Renovo")), {}, env);
    // The package starts only once the client has gone: no marker while the client runs.
    QElapsedTimer timer;
    timer.start();
    // A client that has exited is a zombie until QProcess reaps it, and its lock is gone already: the
    // updater may rightly start the package in that moment.
    const qint64 pid = client->processId();
    const auto ended = [pid] {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return true;
        const QByteArray line = stat.readAll();
        return line.mid(line.lastIndexOf(')') + 2, 1) == "Z";
    };
    while (client->state() != QProcess::NotRunning && !client->waitForFinished(10)) {
        QVERIFY(!QFile::exists(installed.filePath(Marker)) || ended());
        QVERIFY2(timer.elapsed() < 20000, qPrintable(ProcessTest::output(updater)));
    }
    QCOMPARE(client->exitStatus(), QProcess::NormalExit);
    QCOMPARE(client->exitCode(), 0);

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(installed.filePath(Marker)), 15000);
    QVERIFY(updater->state() == QProcess::NotRunning || updater->waitForFinished(10000));
    QCOMPARE(updater->exitCode(), 0);
    QCOMPARE(contentOf(installed.filePath(Package)), contentOf(QStringLiteral(DEMO_DIR "/update/soft/") + Package));
    QVERIFY(!QFile::exists(installed.filePath(QStringLiteral("ServerConfig.ini"))));
}

void TestUpdateEndToEnd::noClient_packageRunsAtOnce()
{
    ORVANE_REQUIRE_FIXTURE(NginxServer::isAvailable(), "nginx");
    UpdateFixture fixture;
    QVERIFY2(fixture.start(), qPrintable(fixture.log + fixture.nginx.errorLog()));
    const QTemporaryDir &installed = fixture.installed;
    ProcessTest test;
    QProcessEnvironment env = fixture.environment(test);
    QElapsedTimer timer;
    timer.start();
    QProcess *updater = test.start(installed.filePath(QStringLiteral("Renovo")), {}, env);
    QVERIFY(updater->waitForFinished(15000));
    QCOMPARE(updater->exitCode(), 0);
    QVERIFY2(timer.elapsed() < 8000, "with no client there is nothing to wait for");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(installed.filePath(Marker)), 5000);
}

void TestUpdateEndToEnd::clientNotice_startsTheUpdaterBesideIt()
{
    ORVANE_REQUIRE_FIXTURE(NginxServer::isAvailable(), "nginx");
    QTemporaryDir www;
    QVERIFY(QDir(www.path()).mkpath(QStringLiteral("soft")));
    QFile announcement(www.filePath(QStringLiteral("soft/config.ini")));
    QVERIFY(announcement.open(QIODevice::WriteOnly));
    announcement.write("AppVersion=1.2.0.99999\n");
    announcement.close();
    NginxServer service;
    QVERIFY(service.start(www.path()));
    UpdateFixture fixture;
    QVERIFY2(fixture.start(), qPrintable(fixture.log + fixture.nginx.errorLog()));
    const QTemporaryDir &installed = fixture.installed;
    QVERIFY(QFile::copy(QStringLiteral(ORVN_PATH), installed.filePath(QStringLiteral("ORVN"))));

    ProcessTest test;
    QProcessEnvironment env = fixture.environment(test);
    env.insert(QStringLiteral("ORVANE_SERVER_URL"), service.url());
    QProcess *client = test.start(installed.filePath(QStringLiteral("ORVN")), {}, env);

    // Only the updater started from the client's own folder can leave the package's marker there.
    const bool updated = QTest::qWaitFor(
        [&] {
            return QFile::exists(installed.filePath(Marker));
        },
        30000);
    // The updater runs detached from the client: make sure none outlives the test.
    QProcess::execute(QStringLiteral("pkill"), {QStringLiteral("-f"), installed.filePath(QStringLiteral("Renovo"))});
    QVERIFY2(updated, qPrintable(ProcessTest::output(client)));
    QVERIFY(client->state() == QProcess::NotRunning || client->waitForFinished(5000));
    QCOMPARE(client->exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestUpdateEndToEnd)
#include "tst_updateendtoend.moc"
