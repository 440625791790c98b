// The .deb as Debian and software centres see it: lintian finds no errors or warnings, the AppStream
// metadata validates, and the package holds what a user looks for beside the program folder.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestPackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void lintian_findsNoErrorsOrWarnings();
    void metainfo_validates();
    void contents_data();
    void contents();
    void changelogAndMetainfo_nameThePackagesVersion();

private:
    // Runs `program` with `arguments`; returns its exit code and leaves its output in `output`.
    int run(const QString &program, const QStringList &arguments, QString *output = nullptr,
            const QString &folder = QString());

    QTemporaryDir work;
    QString deb;
    QString tree;
    QString version;
};

int TestPackage::run(const QString &program, const QStringList &arguments, QString *output, const QString &folder)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (!folder.isEmpty())
        process.setWorkingDirectory(folder);
    process.start(program, arguments);
    if (!process.waitForFinished(240000))
        return -1;
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void TestPackage::initTestCase()
{
    // Checked by the real tools, which scripts/test installs: never skipped.
    for (const char *tool : {"cpack", "dpkg-deb", "lintian", "appstreamcli"})
        QVERIFY2(!QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(), tool);
    QString output;
    QCOMPARE(run(QStringLiteral("cpack"),
                 {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), work.path()}, &output,
                 QStringLiteral(BUILD_DIR)),
             0);
    const QStringList debs = QDir(work.path()).entryList({QStringLiteral("*.deb")});
    QVERIFY2(debs.size() == 1, qPrintable(output));
    deb = work.filePath(debs.first());
    tree = work.filePath(QStringLiteral("tree"));
    QCOMPARE(run(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), deb, tree}), 0);
    QCOMPARE(run(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), deb, QStringLiteral("Version")}, &version), 0);
    version = version.trimmed();
}

void TestPackage::lintian_findsNoErrorsOrWarnings()
{
    QString output;
    const int code =
        run(QStringLiteral("lintian"), {QStringLiteral("--fail-on"), QStringLiteral("error,warning"), deb}, &output);
    QVERIFY2(code == 0, qPrintable(output));
}

void TestPackage::metainfo_validates()
{
    QString output;
    const int code = run(QStringLiteral("appstreamcli"),
                         {QStringLiteral("validate"), QStringLiteral("--no-net"),
                          tree + QStringLiteral("/usr/share/metainfo/net.orvane.ORVN.metainfo.xml")},
                         &output);
    QVERIFY2(code == 0, qPrintable(output));
}

void TestPackage::contents_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("linkTarget");
    QTest::newRow("the command") << QStringLiteral("/usr/bin/orvane") << QStringLiteral("/opt/orvane/ORVN");
    QTest::newRow("the client") << QStringLiteral("/opt/orvane/ORVN") << QString();
    QTest::newRow("the updater") << QStringLiteral("/opt/orvane/Renovo") << QString();
    QTest::newRow("the manual page") << QStringLiteral("/usr/share/man/man1/orvane.1.gz") << QString();
    QTest::newRow("the copyright") << QStringLiteral("/usr/share/doc/orvane/copyright") << QString();
    QTest::newRow("the changelog") << QStringLiteral("/usr/share/doc/orvane/changelog.gz") << QString();
    QTest::newRow("the desktop entry") << QStringLiteral("/usr/share/applications/net.orvane.ORVN.desktop")
                                       << QString();
    QTest::newRow("the icon") << QStringLiteral("/usr/share/icons/hicolor/48x48/apps/net.orvane.ORVN.png") << QString();
}

void TestPackage::contents()
{
    QFETCH(QString, path);
    QFETCH(QString, linkTarget);
    const QFileInfo file(tree + path);
    if (!linkTarget.isEmpty()) {
        QVERIFY2(file.isSymLink(), qPrintable(path));
        QCOMPARE(file.symLinkTarget(), linkTarget);
        return;
    }
    QVERIFY2(file.isFile() && file.size() > 0, qPrintable(path));
}

void TestPackage::changelogAndMetainfo_nameThePackagesVersion()
{
    QString changelog;
    QCOMPARE(run(QStringLiteral("sh"),
                 {QStringLiteral("-c"), QStringLiteral("zcat '%1/usr/share/doc/orvane/changelog.gz'").arg(tree)},
                 &changelog),
             0);
    QVERIFY2(changelog.startsWith(QStringLiteral("orvane (%1) ").arg(version)), qPrintable(changelog.left(80)));
    QFile metainfo(tree + QStringLiteral("/usr/share/metainfo/net.orvane.ORVN.metainfo.xml"));
    QVERIFY(metainfo.open(QIODevice::ReadOnly));
    const QRegularExpression newest(QStringLiteral("<release version=\"([^\"]+)\""));
    QCOMPARE(newest.match(QString::fromUtf8(metainfo.readAll())).captured(1), version);
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
