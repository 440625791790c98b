#include "clientconfig.h"
#include "deployment.h"
#include "productversion.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {
const QStringList SkinKeys = {
    QStringLiteral("skinPicFolder"), QStringLiteral("skinFName1"),      QStringLiteral("skinFName2"),
    QStringLiteral("skinFName3"),    QStringLiteral("skinFName4"),      QStringLiteral("skinFName5"),
    QStringLiteral("skinFName6"),    QStringLiteral("skinFName7"),      QStringLiteral("skinFName8"),
    QStringLiteral("skinFName9"),    QStringLiteral("currentSkinIndex")};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
} // namespace

class TestClientConfig : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Defaults and deployment
    void construct_hasBuiltInDefaults();
    void construct_addressesFollowTheEnvironment();
    void resolveServerUrl_data();
    void resolveServerUrl();

    // Loading
    void loadMissingFile_emptiesSkinFieldsAndKeepsTheRest();
    void loadEmptyPath_readsConfigIniInTheCurrentFolder();
    void loadFileMissingOneKey_leavesOnlyThatOneEmpty();
    void loadGarbledFile_neverCrashesAndYieldsEmptyValues();
    void loadOutOfRangeIndex_keepsItUnchanged();

    // Saving
    void save_writesAllElevenKeysToTheLoadedPath();
    void save_nonAsciiNamesRoundTripAsUtf8();
    void save_unwritableLocationFailsQuietly();

private:
    QTemporaryDir dir;
    QString previousCurrent;
};

void TestClientConfig::init()
{
    previousCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    QFile::remove(dir.filePath(QStringLiteral("config.ini")));
}

void TestClientConfig::cleanup()
{
    QDir::setCurrent(previousCurrent);
}

void TestClientConfig::construct_hasBuiltInDefaults()
{
    ClientConfig config;
    QCOMPARE(config.productName, QStringLiteral("Orvane网络电视"));
    QCOMPARE(config.appVersion, QStringLiteral(ORVANE_PRODUCT_VERSION));
    QCOMPARE(config.configPath, QDir::currentPath() + QStringLiteral("/config.ini"));
    QCOMPARE(config.bannerADUrl, QDir::currentPath() + QStringLiteral("/html/errorb.html"));
    QCOMPARE(config.skinPicFolder, QStringLiteral("skin/"));
    QCOMPARE(config.skinFName1, QStringLiteral("blue.gif"));
    QCOMPARE(config.skinFName9, QStringLiteral("love.gif"));
    QCOMPARE(config.currentSkinIndex, 1);
    QCOMPARE(config.textADSpeed, 5);
    QVERIFY(config.textADStr.isEmpty());
    QVERIFY(!config.serverInfoReady);
    QCOMPARE(config.popDelayTime, 180);
    QCOMPARE(config.popstayTime, 60);
    QCOMPARE(config.popPeriod, 0);
    QVERIFY(config.popUrl.isEmpty());
    QVERIFY2(QDir(dir.path()).entryList(QDir::Files).isEmpty(), "the constructor must not touch the disk");
}

void TestClientConfig::construct_addressesFollowTheEnvironment()
{
    qputenv("ORVANE_SERVER_URL", "http://127.0.0.1:4321/");
    ClientConfig config;
    qunsetenv("ORVANE_SERVER_URL");
    QCOMPARE(config.serverConfigUrl, QStringLiteral("http://127.0.0.1:4321/soft/config.ini"));
    QCOMPARE(config.pageUrl1, QStringLiteral("http://127.0.0.1:4321/soft/iflive.html"));
    QCOMPARE(config.pageUrl2, QStringLiteral("http://127.0.0.1:4321/soft/ifback.html"));
    QCOMPARE(config.pageUrl3, QStringLiteral("http://127.0.0.1:4321/vods/ifbdhd.html"));
    QCOMPARE(config.pageUrl4, QStringLiteral("http://127.0.0.1:4321/soft/ifapps.html"));
}

void TestClientConfig::resolveServerUrl_data()
{
    QTest::addColumn<QByteArray>("environment");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unset uses the build's address") << QByteArray() << QStringLiteral("http://build.invalid");
    QTest::newRow("blank uses the build's address") << QByteArray("   ") << QStringLiteral("http://build.invalid");
    QTest::newRow("set wins") << QByteArray("http://127.0.0.1:1") << QStringLiteral("http://127.0.0.1:1");
    QTest::newRow("trailing slashes go") << QByteArray("http://127.0.0.1:1//") << QStringLiteral("http://127.0.0.1:1");
}

void TestClientConfig::resolveServerUrl()
{
    QFETCH(QByteArray, environment);
    QFETCH(QString, expected);
    if (environment.isNull())
        qunsetenv("ORVANE_TEST_URL");
    else
        qputenv("ORVANE_TEST_URL", environment);
    QCOMPARE(Deployment::resolveServerUrl("ORVANE_TEST_URL", QStringLiteral("http://build.invalid/")), expected);
    qunsetenv("ORVANE_TEST_URL");
}

void TestClientConfig::loadMissingFile_emptiesSkinFieldsAndKeepsTheRest()
{
    ClientConfig config;
    const QString path = dir.filePath(QStringLiteral("absent/config.ini"));
    QVERIFY(config.load(path));
    QCOMPARE(config.configPath, path);
    QVERIFY(config.skinPicFolder.isEmpty());
    QVERIFY(config.skinFName1.isEmpty());
    QVERIFY(config.skinFName9.isEmpty());
    QCOMPARE(config.currentSkinIndex, 0);
    QCOMPARE(config.popDelayTime, 180);
    QCOMPARE(config.textADSpeed, 5);
    QVERIFY(!QFile::exists(path));
}

void TestClientConfig::loadEmptyPath_readsConfigIniInTheCurrentFolder()
{
    writeFile(dir.filePath(QStringLiteral("config.ini")), "[Skin]\ncurrentSkinIndex=7\nskinFName7=x.gif\n");
    ClientConfig config;
    QVERIFY(config.load(QString()));
    QCOMPARE(config.configPath, QDir::currentPath() + QStringLiteral("/config.ini"));
    QCOMPARE(config.currentSkinIndex, 7);
    QCOMPARE(config.skinFName7, QStringLiteral("x.gif"));
}

void TestClientConfig::loadFileMissingOneKey_leavesOnlyThatOneEmpty()
{
    QByteArray text = "[Skin]\nskinPicFolder=skins/\n";
    for (int i = 1; i <= 9; ++i) {
        if (i != 5)
            text += "skinFName" + QByteArray::number(i) + "=s" + QByteArray::number(i) + ".gif\n";
    }
    text += "currentSkinIndex=4\n";
    const QString path = dir.filePath(QStringLiteral("one-missing.ini"));
    writeFile(path, text);

    ClientConfig config;
    QVERIFY(config.load(path));
    QCOMPARE(config.skinPicFolder, QStringLiteral("skins/"));
    QCOMPARE(config.skinFName4, QStringLiteral("s4.gif"));
    QVERIFY(config.skinFName5.isEmpty());
    QCOMPARE(config.skinFName6, QStringLiteral("s6.gif"));
    QCOMPARE(config.currentSkinIndex, 4);
}

void TestClientConfig::loadGarbledFile_neverCrashesAndYieldsEmptyValues()
{
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += char((i * 7919 + 13) % 256);
    const QString path = dir.filePath(QStringLiteral("garbled.ini"));
    writeFile(path, garbage + "\n[Skin\ncurrentSkinIndex=\xff\xfe\n=\n");

    ClientConfig config;
    QVERIFY(config.load(path));
    QCOMPARE(config.currentSkinIndex, 0);
    QVERIFY(config.skinFName1.isEmpty());
}

void TestClientConfig::loadOutOfRangeIndex_keepsItUnchanged()
{
    const QString path = dir.filePath(QStringLiteral("range.ini"));
    writeFile(path, "[Skin]\ncurrentSkinIndex=-3\n");
    ClientConfig config;
    QVERIFY(config.load(path));
    QCOMPARE(config.currentSkinIndex, -3);
}

void TestClientConfig::save_writesAllElevenKeysToTheLoadedPath()
{
    const QString path = dir.filePath(QStringLiteral("explicit.ini"));
    ClientConfig config;
    QVERIFY(config.load(path)); // missing: every skin text is now empty
    config.currentSkinIndex = 3;
    QVERIFY(config.save());
    QVERIFY2(!QFile::exists(dir.filePath(QStringLiteral("config.ini"))), "save must follow the loaded path");

    QSettings written(path, QSettings::IniFormat);
    QCOMPARE(written.childGroups(), QStringList{QStringLiteral("Skin")});
    written.beginGroup(QStringLiteral("Skin"));
    QStringList keys = written.childKeys();
    keys.sort();
    QStringList expected = SkinKeys;
    expected.sort();
    QCOMPARE(keys, expected);
    QCOMPARE(written.value(QStringLiteral("currentSkinIndex")).toInt(), 3);

    ClientConfig next;
    QVERIFY(next.load(path));
    QCOMPARE(next.currentSkinIndex, 3);
}

void TestClientConfig::save_nonAsciiNamesRoundTripAsUtf8()
{
    const QString path = dir.filePath(QStringLiteral("utf8.ini"));
    ClientConfig config;
    config.configPath = path;
    config.skinPicFolder = QStringLiteral("皮肤/");
    config.skinFName2 = QStringLiteral("红色 ✓.gif");
    config.currentSkinIndex = 2;
    QVERIFY(config.save());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY2(bytes.contains(QStringLiteral("皮肤/").toUtf8()), bytes.constData());

    ClientConfig loaded;
    QVERIFY(loaded.load(path));
    QCOMPARE(loaded.skinPicFolder, QStringLiteral("皮肤/"));
    QCOMPARE(loaded.skinFName2, QStringLiteral("红色 ✓.gif"));
    QCOMPARE(loaded.skinFName1, QStringLiteral("blue.gif"));
    QCOMPARE(loaded.currentSkinIndex, 2);
}

void TestClientConfig::save_unwritableLocationFailsQuietly()
{
    // A folder that is a file cannot hold config.ini, even for root.
    const QString notAFolder = dir.filePath(QStringLiteral("plain-file"));
    writeFile(notAFolder, "x");
    ClientConfig config;
    config.configPath = notAFolder + QStringLiteral("/config.ini");
    config.currentSkinIndex = 6;
    QVERIFY(!config.save());
    QCOMPARE(config.currentSkinIndex, 6);

    if (::geteuid() == 0)
        return; // root writes into read-only folders
    QTemporaryDir readOnly;
    QFile::setPermissions(readOnly.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    config.configPath = readOnly.filePath(QStringLiteral("config.ini"));
    QVERIFY(!config.save());
    QVERIFY(!QFile::exists(config.configPath));
    QFile::setPermissions(readOnly.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QTEST_GUILESS_MAIN(TestClientConfig)
#include "tst_clientconfig.moc"
