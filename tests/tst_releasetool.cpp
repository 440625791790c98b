// The operator's release tool as a program: key, signed configuration, verification, bad input.
#include "releasemanifest.h"
#include "serverinfo.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

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

bool writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

} // namespace

class TestReleaseTool : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void keygen_writesAPrivateKeyAndPrintsItsPublicHalf();
    void signedConfig_verifiesAndIsWhatTheUpdaterAccepts();
    void badInput_failsWithAReasonAndLeavesNoKeyFile_data();
    void badInput_failsWithAReasonAndLeavesNoKeyFile();

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
    QVERIFY(writeFile(path("package.run"), "#!/bin/sh\necho 1.2.0.21131\n"));
    QVERIFY(writeFile(path("notes.html"), "<h3>新版本</h3><p>更快, \"更稳\"; 100% = 好</p>\n"));
}

void TestReleaseTool::keygen_writesAPrivateKeyAndPrintsItsPublicHalf()
{
    const QFileDevice::Permissions everyone = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                              QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                                              QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    QCOMPARE(QFile::permissions(path("release.key")) & everyone, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QFile file(path("release.key"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    ReleaseKey key;
    QVERIFY(Release::readSecretKeyFile(file.readAll(), &key));
    QCOMPARE(Release::publicKeyText(key.publicKey), publicKey);
}

void TestReleaseTool::signedConfig_verifiesAndIsWhatTheUpdaterAccepts()
{
    const Run signing =
        tool({QStringLiteral("sign"), QStringLiteral("--key"), path("release.key"), QStringLiteral("--version"),
              QStringLiteral("1.2.0.21131"), QStringLiteral("--package"), path("package.run"), QStringLiteral("--url"),
              QStringLiteral("/soft/package.run"), QStringLiteral("--notes"), path("notes.html"),
              QStringLiteral("--expires-days"), QStringLiteral("2")});
    QCOMPARE(signing.exitCode, 0);
    QVERIFY(writeFile(path("config.ini"), signing.out));
    const QStringList verify = {
        QStringLiteral("verify"), QStringLiteral("--public-key"), publicKey,          QStringLiteral("--config"),
        path("config.ini"),       QStringLiteral("--package"),    path("package.run")};
    const Run verified = tool(verify);
    QCOMPARE(verified.exitCode, 0);
    QCOMPARE(verified.out, QByteArray("OK\n"));

    // What the updater reads from it: the notes intact, the release valid for two days and no more.
    const ServerInfo info = ServerInfoFile::read(path("config.ini"));
    QCOMPARE(info.newVersionInfo, QStringLiteral("<h3>新版本</h3><p>更快, \"更稳\"; 100% = 好</p>"));
    const SignedRelease release = signedRelease(info, QStringLiteral("package.run"));
    const QList<QByteArray> keys = {Release::parsePublicKey(publicKey)};
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QCOMPARE(Release::check(release, info.appVersion, QStringLiteral("1.2.0.21130"), keys, now),
             Release::Refusal::None);
    QCOMPARE(Release::check(release, info.appVersion, QStringLiteral("1.2.0.21130"), keys, now.addSecs(2 * 86400 + 60)),
             Release::Refusal::Expired);

    // The package changed after signing, keeping its size.
    QVERIFY(writeFile(path("package.run"), "#!/bin/sh\necho 6.6.6.66666\n"));
    const Run tampered = tool(verify);
    QVERIFY(tampered.exitCode > 0);
    QVERIFY2(tampered.err.contains("SHA-256"), tampered.err.constData());
    QVERIFY(tampered.out.isEmpty());
}

void TestReleaseTool::badInput_failsWithAReasonAndLeavesNoKeyFile_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("reason");
    // %D is the test's folder, holding release.key (a good secret key) and package.run.
    const auto sign = [](const QString &key, const QString &version, const QString &package, const QString &url) {
        return QStringList{QStringLiteral("sign"),
                           QStringLiteral("--key"),
                           key,
                           QStringLiteral("--version"),
                           version,
                           QStringLiteral("--package"),
                           package,
                           QStringLiteral("--url"),
                           url};
    };
    const QString key = QStringLiteral("%D/release.key");
    const QString package = QStringLiteral("%D/package.run");
    QTest::newRow("keygen over an existing file") << QStringList{"keygen", key} << QByteArray("exists");
    QTest::newRow("keygen into a missing folder")
        << QStringList{"keygen", "%D/no/such/new.key"} << QByteArray("cannot create");
    QTest::newRow("missing secret key") << sign("%D/none.key", "1.2", package, "/p.run") << QByteArray("cannot read");
    QTest::newRow("public key as secret key")
        << sign(package, "1.2", package, "/p.run") << QByteArray("not a secret key");
    QTest::newRow("missing package") << sign(key, "1.2", "%D/none.run", "/p.run") << QByteArray("cannot read");
    QTest::newRow("version with letters") << sign(key, "1.2-beta", package, "/p.run") << QByteArray("version");
    QTest::newRow("address not http") << sign(key, "1.2", package, "file:///bin/sh") << QByteArray("http");
    QTest::newRow("no address") << QStringList{"sign", "--key", key, "--version", "1", "--package", package}
                                << QByteArray("--url");
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
    QFile key(path("release.key"));
    QVERIFY(key.open(QIODevice::ReadOnly));
    const QByteArray keyBefore = key.readAll();
    key.close();

    arguments.replaceInStrings(QStringLiteral("%D"), dir.path());
    const Run run = tool(arguments);
    QVERIFY(run.exitCode > 0);
    QVERIFY2(run.err.contains(reason), run.err.constData());
    QVERIFY(run.out.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    QVERIFY(key.open(QIODevice::ReadOnly));
    QCOMPARE(key.readAll(), keyBefore);
}

QTEST_GUILESS_MAIN(TestReleaseTool)
#include "tst_releasetool.moc"
