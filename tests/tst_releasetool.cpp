// The operator's release tool as a program: key, signed configuration, verification, bad input.
#include "serverinfo.h"
#include "testfiles.h"
#include "testrelease.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using TestFiles::contentOf;
using TestFiles::writeFile;

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run tool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(RELEASE_TOOL_PATH), arguments);
    Run run;
    if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

} // namespace

class TestReleaseTool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void signedConfig_verifiesUntilThePackageChanges();
    void badInput_failsWithAReasonAndLeavesNoKeyFile_data();
    void badInput_failsWithAReasonAndLeavesNoKeyFile();
    void verify_refusesAFarOrImpossibleExpiry_data();
    void verify_refusesAFarOrImpossibleExpiry();

private:
    QString path(const char *name) const
    {
        return dir.filePath(QLatin1String(name));
    }
    QTemporaryDir dir;
    QString publicKey;
};

void TestReleaseTool::initTestCase()
{
    const Run run = tool({QStringLiteral("keygen"), path("release.key")});
    QCOMPARE(run.exitCode, 0);
    publicKey = QString::fromLatin1(run.out.trimmed());
    // Nobody but its owner may read the secret key, whatever the umask.
    QCOMPARE(QFile::permissions(path("release.key")) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
             QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QVERIFY(writeFile(path("package.run"), "#!/bin/sh\necho 1.2.0.21131\n"));
    QVERIFY(writeFile(path("notes.html"), "<h3>新版本</h3><p>更快, \"更稳\"; 100% = 好</p>\n"));
}

void TestReleaseTool::signedConfig_verifiesUntilThePackageChanges()
{
    const Run signing = tool({"sign", "--key", path("release.key"), "--version", "1.2.0.21131", "--package",
                              path("package.run"), "--url", "/soft/package.run", "--notes", path("notes.html")});
    QCOMPARE(signing.exitCode, 0);
    QVERIFY(writeFile(path("config.ini"), signing.out));
    QCOMPARE(ServerInfoFile::read(path("config.ini")).newVersionInfo,
             QStringLiteral("<h3>新版本</h3><p>更快, \"更稳\"; 100% = 好</p>"));

    const QStringList verify = {"verify",           "--public-key", publicKey,          "--config",
                                path("config.ini"), "--package",    path("package.run")};
    const Run verified = tool(verify);
    QCOMPARE(verified.exitCode, 0);
    QCOMPARE(verified.out, QByteArray("OK\n"));

    // The same size, other bytes.
    QVERIFY(writeFile(path("package.run"), "#!/bin/sh\necho 6.6.6.66666\n"));
    const Run tampered = tool(verify);
    QVERIFY(tampered.exitCode > 0);
    QVERIFY2(tampered.err.contains("SHA-256"), tampered.err.constData());
    QVERIFY(tampered.out.isEmpty());
}

void TestReleaseTool::badInput_failsWithAReasonAndLeavesNoKeyFile_data()
{
    QTest::addColumn<QStringList>("arguments"); // %D: the test's folder
    QTest::addColumn<QByteArray>("reason");
    const QString key = QStringLiteral("%D/release.key");
    const QString package = QStringLiteral("%D/package.run");
    const auto sign = [](const QString &k, const QString &version, const QString &p, const QString &url) {
        return QStringList{"sign", "--key", k, "--version", version, "--package", p, "--url", url};
    };
    QTest::newRow("keygen over a key") << QStringList{"keygen", key} << QByteArray("exists");
    QTest::newRow("keygen into no folder") << QStringList{"keygen", "%D/no/new.key"} << QByteArray("cannot create");
    QTest::newRow("missing secret key") << sign("%D/none.key", "1.2", package, "/p") << QByteArray("cannot read");
    QTest::newRow("not a secret key") << sign(package, "1.2", package, "/p") << QByteArray("not a secret key");
    QTest::newRow("missing package") << sign(key, "1.2", "%D/none", "/p") << QByteArray("cannot read");
    QTest::newRow("version with letters") << sign(key, "1.2-beta", package, "/p") << QByteArray("version");
    QTest::newRow("address not http") << sign(key, "1.2", package, "file:///bin/sh") << QByteArray("http");
    QTest::newRow("no address") << sign(key, "1.2", package, "").mid(0, 7) << QByteArray("--url");
    QTest::newRow("malformed public key")
        << QStringList{"verify", "--public-key", "abc", "--config", package} << QByteArray("public key");
    QTest::newRow("missing configuration")
        << QStringList{"verify", "--public-key", "Yu8cWl0+eW59DoskQnbvUDCM2SL6zQpqfRpbn4BetdU=", "--config", "%D/none"}
        << QByteArray("cannot read");
    QTest::newRow("unknown command") << QStringList{"publish"} << QByteArray("unknown command");
}

void TestReleaseTool::badInput_failsWithAReasonAndLeavesNoKeyFile()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, reason);
    const QStringList before = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const QByteArray keyBefore = contentOf(path("release.key"));

    const Run run = tool(arguments.replaceInStrings(QStringLiteral("%D"), dir.path()));
    QVERIFY(run.exitCode > 0);
    QVERIFY2(run.err.contains(reason), run.err.constData());
    QVERIFY(run.out.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QCOMPARE(contentOf(path("release.key")), keyBefore);
}

void TestReleaseTool::verify_refusesAFarOrImpossibleExpiry_data()
{
    QTest::addColumn<QString>("expires");
    QTest::addColumn<QByteArray>("reason");
    QTest::newRow("year 9999") << "9999-12-31T23:59:59Z" << QByteArray("3650 days");
    QTest::newRow("hour 24") << "2030-01-01T24:00:00Z" << QByteArray("malformed");
}

void TestReleaseTool::verify_refusesAFarOrImpossibleExpiry()
{
    QFETCH(QString, expires);
    QFETCH(QByteArray, reason);
    TestRelease release = TestRelease::of("#!/bin/sh\n");
    release.manifest.expires = expires;
    release.resign();
    QVERIFY(writeFile(path("forged.ini"), release.ini()));
    const Run run = tool({"verify", "--public-key", Release::publicKeyText(TestRelease::key().publicKey), "--config",
                          path("forged.ini")});
    QVERIFY(run.exitCode > 0);
    QVERIFY2(run.err.contains(reason), run.err.constData());
}

QTEST_GUILESS_MAIN(TestReleaseTool)
#include "tst_releasetool.moc"
