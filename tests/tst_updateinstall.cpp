// The update of a real program folder as real processes: a client of one build is replaced by the
// next build's, served and signed like a release; a new client that does not come up is rolled back;
// a client that will not quit keeps its version.
#include "fixture.h"
#include "folderupdate.h"
#include "instancelock.h"
#include "nginxserver.h"
#include "processtest.h"
#include "productversion.h"
#include "singleapplication.h"
#include "testarchive.h"
#include "testfiles.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

using TestFiles::contentOf;
using TestFiles::writeFile;

const QString Listening = QStringLiteral("primary instance listening");

QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError()).trimmed();
}

// The program folder of a build, laid out as CPack lays it into the tarball.
bool installBuild(const QString &buildDir, const QString &prefix)
{
    QProcess install;
    install.start(QStringLiteral(CMAKE_COMMAND_PATH),
                  {QStringLiteral("--install"), buildDir, QStringLiteral("--prefix"), prefix,
                   QStringLiteral("--component"), QStringLiteral("program")});
    return install.waitForFinished(120000) && install.exitCode() == 0;
}

// An update server serving `archive` as a signed release, and a product server announcing `version`.
struct Release
{
    QTemporaryDir updates;
    QTemporaryDir product;
    NginxServer updateServer;
    NginxServer productServer;
    QString log;

    bool serve(const QString &archive, const QString &version, const QString &announced)
    {
        const QString name = QFileInfo(archive).fileName();
        const QString served = updates.filePath(QStringLiteral("soft/") + name);
        QDir().mkpath(updates.filePath(QStringLiteral("soft")));
        if (!QFile::copy(archive, served))
            return false;
        QProcess tool;
        tool.start(QStringLiteral(RELEASE_TOOL_PATH),
                   {QStringLiteral("sign"), QStringLiteral("--key"), QStringLiteral(DEMO_DIR "/keys/demo-release.key"),
                    QStringLiteral("--version"), version, QStringLiteral("--package"), served, QStringLiteral("--url"),
                    QStringLiteral("/soft/") + name});
        const bool signedOk = tool.waitForFinished(30000) && tool.exitCode() == 0;
        log = QString::fromUtf8(tool.readAllStandardError());
        return signedOk &&
               writeFile(updates.filePath(QStringLiteral("soft/config.ini")), tool.readAllStandardOutput()) &&
               writeFile(product.filePath(QStringLiteral("soft/config.ini")),
                         "AppVersion=" + announced.toUtf8() + '\n') &&
               updateServer.start(updates.path()) && productServer.start(product.path());
    }

    QProcessEnvironment environment(const ProcessTest &test) const
    {
        QProcessEnvironment env = test.environment();
        env.insert(QStringLiteral("ORVANE_UPDATE_SERVER_URL"), updateServer.url());
        env.insert(QStringLiteral("ORVANE_SERVER_URL"), productServer.url());
        env.insert(QStringLiteral("ORVANE_UPDATER_UNATTENDED"), QStringLiteral("1"));
        return env;
    }
};

// The user's own state in the program folder, which must survive the update.
bool addUsersState(const QString &folder)
{
    QSettings settings(folder + QStringLiteral("/config.ini"), QSettings::IniFormat);
    settings.setValue(QStringLiteral("Skin/currentSkinIndex"), 7);
    settings.sync();
    return writeFile(folder + QStringLiteral("/profile/Cookies"), "session");
}

bool hasUsersState(const QString &folder)
{
    return QSettings(folder + QStringLiteral("/config.ini"), QSettings::IniFormat)
                   .value(QStringLiteral("Skin/currentSkinIndex"))
                   .toInt() == 7 &&
           contentOf(folder + QStringLiteral("/profile/Cookies")) == "session";
}

// The client answering on the channel runs from `folder`; its pid, or -1.
qint64 clientFrom(const QString &folder)
{
    const qint64 pid = SingleApplication::askProcessId(QStringLiteral("ORVN"), 1000);
    return pid > 0 && QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget() ==
                          folder + QStringLiteral("/ORVN")
               ? pid
               : -1;
}

// Ends every program started from below `root` (the clients and updaters the test's programs start
// detached), however the test ends.
struct ProgramsBelow
{
    QString root;
    ~ProgramsBelow()
    {
        for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            const QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
            if (pid.toInt() > 0 && exe.startsWith(root + QLatin1Char('/')))
                ::kill(pid_t(pid.toInt()), SIGKILL);
        }
    }
};

bool onlyTheFolderIsLeft(const QTemporaryDir &root)
{
    return QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot) ==
           QStringList{QStringLiteral("orvane")};
}

} // namespace

class TestUpdateInstall : public QObject
{
    Q_OBJECT

private slots:
    void realBuild_isReplacedByTheNextAndComesBack();
    void newClientThatDoesNotComeUp_isRolledBack();
    void clientThatWillNotQuit_keepsItsVersion();
};

void TestUpdateInstall::realBuild_isReplacedByTheNextAndComesBack()
{
    ORVANE_REQUIRE_FIXTURE(NginxServer::isAvailable(), "nginx");
    // A second build of the two programs with another ORVANE_VERSION (CI makes one).
    const QString next = qEnvironmentVariable("ORVANE_NEXT_BUILD_DIR");
    ORVANE_REQUIRE_FIXTURE(!next.isEmpty() && QFile::exists(next + QStringLiteral("/bin/ORVN")),
                           "ORVANE_NEXT_BUILD_DIR, a build of another version,");
    const QString nextVersion = run(next + QStringLiteral("/bin/ORVN"), {QStringLiteral("--version")});
    QVERIFY(nextVersion != QLatin1String(ORVANE_PRODUCT_VERSION));

    QTemporaryDir root, stage;
    const QString folder = root.filePath(QStringLiteral("orvane"));
    const QString top = QStringLiteral("orvane-%1-Linux").arg(nextVersion);
    const QString archive = stage.filePath(top + QStringLiteral(".tar.gz"));
    const ProgramsBelow cleanup{root.path()};
    QVERIFY(installBuild(QStringLiteral(BUILD_DIR), folder));
    QVERIFY(installBuild(next, stage.filePath(top)));
    QVERIFY(TestArchive::pack(archive, stage.filePath(top), top));
    QVERIFY(addUsersState(folder));
    Release release;
    QVERIFY2(release.serve(archive, nextVersion, nextVersion), qPrintable(release.log));

    // The whole walk from the client's notice: the client starts the updater beside it, which installs.
    // Their output goes to a file, which outlives the first client (a pipe would end with it, and the
    // new client writing there would be killed by SIGPIPE).
    ProcessTest test;
    qputenv("XDG_RUNTIME_DIR", test.runtimeDir().toLocal8Bit());
    const QString log = stage.filePath(QStringLiteral("programs.log"));
    QProcess client;
    client.setProcessEnvironment(release.environment(test));
    client.setProcessChannelMode(QProcess::MergedChannels);
    client.setStandardOutputFile(log);
    client.start(folder + QStringLiteral("/ORVN"));
    QVERIFY(QTest::qWaitFor(
        [&] {
            return contentOf(log).contains(Listening.toUtf8());
        },
        10000));
    const qint64 oldClient = client.processId();

    qint64 newClient = -1;
    const bool updated = QTest::qWaitFor(
        [&] {
            return client.state() == QProcess::NotRunning && onlyTheFolderIsLeft(root) &&
                   (newClient = clientFrom(folder)) > 0;
        },
        60000);
    if (client.state() != QProcess::NotRunning)
        client.kill();
    QVERIFY2(updated, contentOf(log).constData());
    QVERIFY(newClient != oldClient);
    QVERIFY2(run(folder + QStringLiteral("/ORVN"), {QStringLiteral("--version")}) == nextVersion,
             contentOf(log).constData());
    QCOMPARE(run(folder + QStringLiteral("/Renovo"), {QStringLiteral("--version")}), nextVersion);
    QVERIFY(hasUsersState(folder));
    // The new client announces the same version as it carries: no second question, no second updater.
    QTest::qWait(1500);
    QCOMPARE(run(QStringLiteral("pgrep"), {QStringLiteral("-f"), folder + QStringLiteral("/Renovo")}), QString());
}

void TestUpdateInstall::newClientThatDoesNotComeUp_isRolledBack()
{
    ORVANE_REQUIRE_FIXTURE(NginxServer::isAvailable(), "nginx");
    QTemporaryDir root, stage;
    const QString folder = root.filePath(QStringLiteral("orvane"));
    const ProgramsBelow cleanup{root.path()};
    QVERIFY(installBuild(QStringLiteral(BUILD_DIR), folder));
    QVERIFY(addUsersState(folder));
    // Answers --version like a release and ends at once otherwise: a client that never comes up.
    const QByteArray broken = "#!/bin/sh\n[ \"$1\" = --version ] && echo 9.9.9.9 && exit 0\nexit 1\n";
    const QString archive = stage.filePath(QStringLiteral("orvane-9.9.9.9-Linux.tar.gz"));
    QVERIFY(TestArchive::write(archive, {{QStringLiteral("orvane-9.9.9.9-Linux"), AE_IFDIR, {}, 0755},
                                         {QStringLiteral("orvane-9.9.9.9-Linux/ORVN"), AE_IFREG, broken, 0755},
                                         {QStringLiteral("orvane-9.9.9.9-Linux/Renovo"), AE_IFREG, broken, 0755}}));
    Release release;
    QVERIFY2(release.serve(archive, QStringLiteral("9.9.9.9"), QStringLiteral(ORVANE_PRODUCT_VERSION)),
             qPrintable(release.log));

    ProcessTest test;
    qputenv("XDG_RUNTIME_DIR", test.runtimeDir().toLocal8Bit());
    const QProcessEnvironment env = release.environment(test);
    QProcess *client = test.start(folder + QStringLiteral("/ORVN"), {}, env);
    QVERIFY2(ProcessTest::waitForOutput(client, Listening), qPrintable(ProcessTest::output(client)));
    const qint64 oldClient = client->processId();
    QProcess *updater = test.start(folder + QStringLiteral("/Renovo"), {}, env);

    qint64 restored = -1;
    const bool rolledBack = QTest::qWaitFor(
        [&] {
            return ProcessTest::output(updater).contains(QStringLiteral("restoring the old version")) &&
                   onlyTheFolderIsLeft(root) && (restored = clientFrom(folder)) > 0;
        },
        40000);
    QVERIFY2(rolledBack, qPrintable(ProcessTest::output(updater)));
    QVERIFY(restored != oldClient);
    QCOMPARE(run(folder + QStringLiteral("/ORVN"), {QStringLiteral("--version")}),
             QStringLiteral(ORVANE_PRODUCT_VERSION));
    QVERIFY(hasUsersState(folder));
    // The updater stays to say why; the client it restored is the user's again.
    QCOMPARE(updater->state(), QProcess::Running);
}

void TestUpdateInstall::clientThatWillNotQuit_keepsItsVersion()
{
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("orvane"));
    // Leaves a mark beside the folder if it is ever started as a client.
    const QByteArray program = "#!/bin/sh\n[ \"$1\" = --version ] && echo 2.0 && exit 0\n"
                               "touch \"$(dirname \"$0\")/../new-client-started\"\n";
    QVERIFY(writeFile(folder + QStringLiteral("/ORVN"), "#!/bin/sh\necho 1.0\n"));
    const QString archive = root.filePath(QStringLiteral("p.tar.gz"));
    QVERIFY(TestArchive::write(archive, {{QStringLiteral("o"), AE_IFDIR, {}, 0755},
                                         {QStringLiteral("o/ORVN"), AE_IFREG, program, 0755},
                                         {QStringLiteral("o/Renovo"), AE_IFREG, program, 0755}}));
    // Holding the client's key is what a client that ignores "updator" looks like.
    ProcessTest test;
    qputenv("XDG_RUNTIME_DIR", test.runtimeDir().toLocal8Bit());
    const InstanceLock stubborn(QStringLiteral("ORVN"));
    QCOMPARE(stubborn.state(), InstanceLock::State::Primary);

    FolderUpdate update(folder);
    update.setClientExitWait(300);
    QSignalSpy finished(&update, &FolderUpdate::finished);
    update.start(archive, QStringLiteral("2.0"));
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.first().at(0).toBool(), false);
    QVERIFY(!finished.first().at(1).toString().isEmpty());
    QCOMPARE(contentOf(folder + QStringLiteral("/ORVN")), QByteArray("#!/bin/sh\necho 1.0\n"));
    QCOMPARE(QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({QStringLiteral("orvane"), QStringLiteral("p.tar.gz")}));
}

QTEST_GUILESS_MAIN(TestUpdateInstall)
#include "tst_updateinstall.moc"
