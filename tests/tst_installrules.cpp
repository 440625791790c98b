// The installer's decisions without a folder: what is the user's, which journal is believed at the
// next start, and which way a package goes.
#include "journal.h"
#include "updateroute.h"
#include "usersfiles.h"

#include <QSettings>
#include <QTemporaryFile>
#include <QTest>

class TestInstallRules : public QObject
{
    Q_OBJECT

private slots:
    void mergedSettings_usersValuesWinAndNewKeysArrive_data();
    void mergedSettings_usersValuesWinAndNewKeysArrive();
    void carried_isWhatTheReleaseDoesNotShip();
    void journal_damagedRecordIsNotBelieved_data();
    void journal_damagedRecordIsNotBelieved();
    void route_packageManagedInstallIsNeverSwapped_data();
    void route_packageManagedInstallIsNeverSwapped();
};

void TestInstallRules::mergedSettings_usersValuesWinAndNewKeysArrive_data()
{
    QTest::addColumn<QByteArray>("user");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value"); // empty: the merge keeps the release's file as it is
    const QByteArray release = "[Skin]\ncurrentSkinIndex=1\nskinFName1=blue.gif\n[New]\nshown=1\n";
    QTest::newRow("user's choice wins") << QByteArray("[Skin]\ncurrentSkinIndex=7\n") << "Skin/currentSkinIndex"
                                        << "7";
    QTest::newRow("new group arrives") << QByteArray("[Skin]\ncurrentSkinIndex=7\n") << "New/shown"
                                       << "1";
    QTest::newRow("release's other keys stay") << QByteArray("[Skin]\ncurrentSkinIndex=7\n") << "Skin/skinFName1"
                                               << "blue.gif";
    QTest::newRow("user's own key stays") << QByteArray("[Mine]\nnote=x\n") << "Mine/note"
                                          << "x";
    QTest::newRow("empty user file") << QByteArray() << ""
                                     << "";
}

void TestInstallRules::mergedSettings_usersValuesWinAndNewKeysArrive()
{
    QFETCH(QByteArray, user);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QByteArray merged =
        UsersFiles::mergedSettings(user, "[Skin]\ncurrentSkinIndex=1\nskinFName1=blue.gif\n[New]\nshown=1\n");
    if (value.isEmpty()) {
        QVERIFY(merged.isEmpty());
        return;
    }
    QTemporaryFile file;
    QVERIFY(file.open() && file.write(merged) == merged.size() && file.flush());
    QCOMPARE(QSettings(file.fileName(), QSettings::IniFormat).value(key).toString(), value);
}

void TestInstallRules::carried_isWhatTheReleaseDoesNotShip()
{
    const QStringList live = {"ORVN",       "Renovo",        "html",
                              "config.ini", "profile",       "ServerConfig.ini",
                              "p.tar.gz",   "p.tar.gz.part", "p.tar.gz.part.state",
                              "notes.txt"};
    const QStringList release = {"ORVN", "Renovo", "html", "skin", "config.ini"};
    QCOMPARE(UsersFiles::carried(live, release, QStringLiteral("p.tar.gz")), QStringList({"profile", "notes.txt"}));
}

void TestInstallRules::journal_damagedRecordIsNotBelieved_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("believed");
    Journal journal;
    journal.state = Journal::State::Confirmed;
    journal.version = QStringLiteral("2.0");
    journal.newDevice = 5;
    journal.newInode = 77;
    journal.carried = QStringList{QStringLiteral("profile")};
    const QByteArray good = journal.toText();
    QTest::newRow("as written") << good << true;
    QTest::newRow("cut short") << good.left(good.size() - 4) << false;
    QTest::newRow("unknown state") << QByteArray(good).replace("confirmed", "finished") << false;
    QTest::newRow("no folder identity") << QByteArray(good).replace("new=5:77\n", "") << false;
    QTest::newRow("carried path") << QByteArray(good).replace("carried=profile", "carried=../x") << false;
    QTest::newRow("someone else's") << QByteArray("hello\nend\n") << false;
}

void TestInstallRules::journal_damagedRecordIsNotBelieved()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, believed);
    const std::optional<Journal> read = Journal::fromText(text);
    QCOMPARE(read.has_value(), believed);
    if (read) {
        QCOMPARE(read->state, Journal::State::Confirmed);
        QCOMPARE(read->newInode, ino_t(77));
        QCOMPARE(read->carried, QStringList{QStringLiteral("profile")});
    }
}

void TestInstallRules::route_packageManagedInstallIsNeverSwapped_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("packageManaged");
    QTest::addColumn<UpdateRoute::Route>("route");
    QTest::newRow("tarball") << "orvane-1.2.0.21131-Linux.tar.gz" << false << UpdateRoute::Route::ProgramFolder;
    QTest::newRow("tarball, package-managed")
        << "orvane-1.2.0.21131-Linux.tar.gz" << true << UpdateRoute::Route::PackageManager;
    QTest::newRow("script") << "orvane-update.sh" << false << UpdateRoute::Route::RunPackage;
}

void TestInstallRules::route_packageManagedInstallIsNeverSwapped()
{
    QFETCH(QString, file);
    QFETCH(bool, packageManaged);
    QTEST(UpdateRoute::choose(file, packageManaged), "route");
}

QTEST_GUILESS_MAIN(TestInstallRules)
#include "tst_installrules.moc"
