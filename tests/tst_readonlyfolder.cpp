// Installed system-wide, the program folder is read-only for its users: the client must keep the
// skin choice in the user's own folder and the updater must fetch and download there.
#include "clientconfig.h"
#include "demoupdate.h"
#include "fixture.h"
#include "nginxserver.h"
#include "processtest.h"
#include "programfolder.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/fsuid.h>
#include <unistd.h>

namespace {

using TestFiles::contentOf;
using TestFiles::writeFile;
// The account that plays the user when the tests run as root, to whom modes apply.
constexpr uid_t OtherUser = 65534;
constexpr gid_t OtherGroup = 65534;

bool isRoot()
{
    return ::geteuid() == 0;
}

// A folder of the user's own: as root, one that the other user owns.
bool makeUsersOwn(const QTemporaryDir &dir)
{
    return !isRoot() || ::chown(QFile::encodeName(dir.path()).constData(), OtherUser, OtherGroup) == 0;
}

// Modes do not stop root, so as root the file accesses of this thread run as the other user while
// the object lives; otherwise `folder` loses its write permission for the time.
class ActingAsUser final
{
public:
    explicit ActingAsUser(const QString &readOnlyFolder) : folder(readOnlyFolder)
    {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup |
                                          QFile::ReadOther | QFile::ExeOther);
        if (isRoot()) {
            ::setfsgid(OtherGroup);
            ::setfsuid(OtherUser);
        }
    }
    ~ActingAsUser()
    {
        if (isRoot()) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
        QFile::setPermissions(folder, QFile::permissions(folder) | QFile::WriteOwner);
    }
    Q_DISABLE_COPY_MOVE(ActingAsUser)

private:
    QString folder;
};

const QByteArray ShippedSettings = "[Skin]\nskinPicFolder=skin/\nskinFName1=blue.gif\nskinFName2=red.gif\n"
                                   "skinFName3=black.gif\nskinFName4=yishu.gif\nskinFName5=zise.gif\n"
                                   "skinFName6=niuzai.gif\nskinFName7=shuidi.gif\nskinFName8=green.gif\n"
                                   "skinFName9=love.gif\ncurrentSkinIndex=1\n";
} // namespace

class TestReadOnlyFolder : public QObject
{
    Q_OBJECT

private slots:
    void writableFolder_choosesProgramFolderOnlyWhenWritable();
    void settingsFile_writableFolder_keepsTheProgramsFile();
    void settingsFile_readOnlyFolder_seedsAndSavesTheUsersCopy();
    void settingsFile_nothingWritable_readsTheShippedFile();
    void updater_readOnlyFolder_downloadsAndRunsFromTheUsersCache();
};

void TestReadOnlyFolder::writableFolder_choosesProgramFolderOnlyWhenWritable()
{
    QTemporaryDir program;
    QTemporaryDir user;
    QVERIFY(makeUsersOwn(user));
    const QString userFolder = user.filePath(QStringLiteral("orvane/update"));

    QCOMPARE(ProgramFolder::writableFolder(program.path(), userFolder), program.path());
    QVERIFY2(QDir(program.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty(),
             "the write check leaves nothing behind");
    QVERIFY(!ProgramFolder::isWritable(program.filePath(QStringLiteral("missing"))));

    ActingAsUser acting(program.path());
    QVERIFY(!ProgramFolder::isWritable(program.path()));
    QCOMPARE(ProgramFolder::writableFolder(program.path(), userFolder), userFolder);
    QVERIFY(QFileInfo(userFolder).isDir());
    QCOMPARE(ProgramFolder::writableFolder(program.path(), program.filePath(QStringLiteral("sub"))), QString());
}

void TestReadOnlyFolder::settingsFile_writableFolder_keepsTheProgramsFile()
{
    QTemporaryDir program;
    QTemporaryDir user;
    QVERIFY(writeFile(program.filePath(QStringLiteral("config.ini")), ShippedSettings));
    QCOMPARE(ClientConfig::settingsFile(program.path(), user.path()), program.filePath(QStringLiteral("config.ini")));
    QVERIFY(!QFile::exists(user.filePath(QStringLiteral("config.ini"))));
}

void TestReadOnlyFolder::settingsFile_readOnlyFolder_seedsAndSavesTheUsersCopy()
{
    QTemporaryDir program;
    QTemporaryDir user;
    QVERIFY(makeUsersOwn(user));
    const QString shipped = program.filePath(QStringLiteral("config.ini"));
    QVERIFY(writeFile(shipped, ShippedSettings));
    // A package may ship the file read-only; the user's copy must still take a save.
    QVERIFY(QFile::setPermissions(shipped, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QString own = QDir(user.filePath(QStringLiteral("orvane"))).filePath(QStringLiteral("config.ini"));

    {
        ActingAsUser acting(program.path());
        const QString path = ClientConfig::settingsFile(program.path(), user.filePath(QStringLiteral("orvane")));
        QCOMPARE(path, own);
        QCOMPARE(contentOf(own), ShippedSettings);

        ClientConfig config;
        QVERIFY(config.load(path));
        QCOMPARE(config.skinFName4, QStringLiteral("yishu.gif"));
        config.currentSkinIndex = 4;
        QVERIFY(config.save());

        // The next start finds the saved choice, not a fresh copy of the shipped one.
        ClientConfig next;
        QVERIFY(next.load(ClientConfig::settingsFile(program.path(), user.filePath(QStringLiteral("orvane")))));
        QCOMPARE(next.currentSkinIndex, 4);
    }
    QCOMPARE(contentOf(shipped), ShippedSettings);
}

void TestReadOnlyFolder::settingsFile_nothingWritable_readsTheShippedFile()
{
    QTemporaryDir program;
    const QString shipped = program.filePath(QStringLiteral("config.ini"));
    QVERIFY(writeFile(shipped, ShippedSettings));

    ActingAsUser acting(program.path());
    // The user's folder would have to be made inside the read-only one.
    QCOMPARE(ClientConfig::settingsFile(program.path(), program.filePath(QStringLiteral("home/orvane"))), shipped);
    ClientConfig config;
    QVERIFY(config.load(shipped));
    QCOMPARE(config.skinFName9, QStringLiteral("love.gif"));
    QVERIFY(!config.save());
}

void TestReadOnlyFolder::updater_readOnlyFolder_downloadsAndRunsFromTheUsersCache()
{
    ORVANE_REQUIRE_FIXTURE(NginxServer::isAvailable(), "nginx");
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    ORVANE_REQUIRE_FIXTURE(!isRoot() || !setpriv.isEmpty(),
                           "setpriv (util-linux), needed to run the updater as another user,");
    QTemporaryDir update;
    QString log;
    QVERIFY2(makeDemoUpdate(update.path(), &log), qPrintable(log));
    NginxServer nginx;
    QVERIFY2(nginx.start(update.path()), qPrintable(nginx.errorLog()));

    QTemporaryDir installed;
    QVERIFY(QFile::copy(QStringLiteral(RENOVO_PATH), installed.filePath(QStringLiteral("Renovo"))));
    QVERIFY(QFile::copy(QStringLiteral(PROGRAM_DIR "/update.ico"), installed.filePath(QStringLiteral("update.ico"))));
    const QStringList installedFiles = QDir(installed.path()).entryList(QDir::Files | QDir::Hidden);
    QTemporaryDir home;
    QTemporaryDir runtime;
    QVERIFY(makeUsersOwn(home));
    QVERIFY(makeUsersOwn(runtime));

    ProcessTest test;
    QProcessEnvironment env = test.environment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("ORVANE_UPDATE_SERVER_URL"), nginx.url());
    env.insert(QStringLiteral("ORVANE_UPDATER_UNATTENDED"), QStringLiteral("1"));

    // Read-only for the user who runs the updater: another user's folder as root, else one without write mode.
    QVERIFY(QFile::setPermissions(installed.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                        QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    QProcess *updater = nullptr;
    if (isRoot()) {
        updater = test.start(setpriv,
                             {QStringLiteral("--reuid=%1").arg(OtherUser), QStringLiteral("--regid=%1").arg(OtherGroup),
                              QStringLiteral("--clear-groups"), QStringLiteral("--"),
                              installed.filePath(QStringLiteral("Renovo"))},
                             env);
    } else {
        updater = test.start(installed.filePath(QStringLiteral("Renovo")), {}, env);
    }
    const bool finished = updater->waitForFinished(20000);
    QFile::setPermissions(installed.path(), QFile::permissions(installed.path()) | QFile::WriteOwner);
    QVERIFY2(finished, qPrintable(ProcessTest::output(updater)));
    QCOMPARE(updater->exitCode(), 0);

    const QString cache = home.filePath(QStringLiteral("cache/orvane/update/"));
    QTRY_VERIFY2_WITH_TIMEOUT(QFile::exists(cache + QStringLiteral("orvane-update-demo.done")),
                              qPrintable(ProcessTest::output(updater)), 5000);
    QCOMPARE(contentOf(cache + QStringLiteral("orvane-update-demo.sh")),
             contentOf(QStringLiteral(DEMO_DIR "/update/soft/orvane-update-demo.sh")));
    QVERIFY(!QFile::exists(cache + QStringLiteral("ServerConfig.ini")));
    QCOMPARE(QDir(installed.path()).entryList(QDir::Files | QDir::Hidden), installedFiles);
}

QTEST_GUILESS_MAIN(TestReadOnlyFolder)
#include "tst_readonlyfolder.moc"
