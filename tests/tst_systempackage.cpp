// The decisions of an upgrade through PackageKit: which install it applies to, which package it asks
// for, and how PackageKit's reports end it.
#include "systempackage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using SystemPackage::Listed;
using SystemPackage::Outcome;
using SystemPackage::Step;

namespace {
// PackageKit's numbers, as its daemon sends them.
constexpr uint Success = 1, Failed = 2, Cancelled = 3;
constexpr uint Installed = 1, Available = 2, NormalUpdate = 5;
constexpr uint NoError = 0, PackageNotFound = 8, DownloadFailed = 10, TransactionCancelled = 17, CannotGetLock = 26,
               MissingGpgSignature = 31, NoSpace = 46, NotAuthorized = 48, CannotFetchSources = 64;

const QString Ours = QStringLiteral("http://127.0.0.1:18086/apt");
const QString Offered = QStringLiteral("1.2.0.21131");
} // namespace

Q_DECLARE_METATYPE(SystemPackage::Listed)

class TestSystemPackage : public QObject
{
    Q_OBJECT

private slots:
    void outcome_followsWhatPackageKitReported_data();
    void outcome_followsWhatPackageKitReported();
    void updateTarget_isTheOfferedReleaseOnly_data();
    void updateTarget_isTheOfferedReleaseOnly();
    void packageName_comesOnlyFromAWellFormedMarker_data();
    void packageName_comesOnlyFromAWellFormedMarker();
    void sourceUris_readsEveryAddressOfTheSource();
};

void TestSystemPackage::outcome_followsWhatPackageKitReported_data()
{
    QTest::addColumn<Step>("step");
    QTest::addColumn<uint>("exitCode");
    QTest::addColumn<uint>("error");
    QTest::addColumn<QString>("details");
    QTest::addColumn<Outcome>("outcome");
    const QString noKey = QStringLiteral("W: GPG error: %1 stable InRelease: The following signatures couldn't be "
                                         "verified because the public key is not available: NO_PUBKEY 3E8E69367E82E755")
                              .arg(Ours);
    const QString unreachable =
        QStringLiteral("W: Failed to fetch %1/dists/stable/InRelease  Could not connect to 127.0.0.1:18086").arg(Ours);
    const QString elsewhere = QStringLiteral(
        "W: Failed to fetch http://deb.example/debian/dists/bookworm/InRelease  Temporary failure resolving");

    QTest::newRow("refreshed") << Step::Refresh << Success << NoError << QString() << Outcome::Continue;
    QTest::newRow("updated") << Step::Update << Success << NoError << QString() << Outcome::Upgraded;
    QTest::newRow("consent refused") << Step::Refresh << Failed << NotAuthorized << QString() << Outcome::NotAuthorized;
    QTest::newRow("cancelled") << Step::Update << Cancelled << NoError << QString() << Outcome::Cancelled;
    QTest::newRow("cancelled while waiting")
        << Step::Update << Failed << TransactionCancelled << QString() << Outcome::Cancelled;
    QTest::newRow("another package manager") << Step::Update << Failed << CannotGetLock << QString() << Outcome::Busy;
    QTest::newRow("our repository, another key")
        << Step::Refresh << Failed << CannotFetchSources << noKey << Outcome::RepositoryUntrusted;
    QTest::newRow("our repository unreachable")
        << Step::Refresh << Failed << CannotFetchSources << unreachable << Outcome::RepositoryUnreachable;
    QTest::newRow("another source failed")
        << Step::Refresh << Failed << CannotFetchSources << elsewhere << Outcome::Continue;
    QTest::newRow("failed refresh, nothing said")
        << Step::Refresh << Failed << NoError << QString() << Outcome::RepositoryUnreachable;
    QTest::newRow("unsigned package") << Step::Update << Failed << MissingGpgSignature << QString()
                                      << Outcome::RepositoryUntrusted;
    QTest::newRow("version withdrawn") << Step::Update << Failed << PackageNotFound << QString()
                                       << Outcome::NotInRepository;
    QTest::newRow("download failed") << Step::Update << Failed << DownloadFailed << QString()
                                     << Outcome::RepositoryUnreachable;
    QTest::newRow("disk full") << Step::Update << Failed << NoSpace << QString() << Outcome::Failed;
}

void TestSystemPackage::outcome_followsWhatPackageKitReported()
{
    QFETCH(Step, step);
    QFETCH(uint, exitCode);
    QFETCH(uint, error);
    QFETCH(QString, details);
    QFETCH(Outcome, outcome);
    QCOMPARE(SystemPackage::outcomeOf(step, exitCode, error, details, {Ours + QLatin1Char('/')}), outcome);
}

void TestSystemPackage::updateTarget_isTheOfferedReleaseOnly_data()
{
    QTest::addColumn<QList<Listed>>("listed");
    QTest::addColumn<QString>("target");
    const Listed installedA{Installed, QStringLiteral("orvane;1.2.0.21128;amd64;manual:orvane-stable-main")};
    const Listed availableB{Available, QStringLiteral("orvane;1.2.0.21131;amd64;orvane-stable-main")};
    QTest::newRow("installed A, available B") << QList<Listed>{installedA, availableB} << availableB.id;
    QTest::newRow("only A") << QList<Listed>{installedA} << QString();
    QTest::newRow("a newer, unsigned version")
        << QList<Listed>{installedA, {Available, QStringLiteral("orvane;1.2.0.21132;amd64;orvane-stable-main")}}
        << QString();
    QTest::newRow("a version that only starts alike")
        << QList<Listed>{{Available, QStringLiteral("orvane;1.2.0.211310;amd64;orvane-stable-main")}} << QString();
    QTest::newRow("B with epoch and revision")
        << QList<Listed>{{Available, QStringLiteral("orvane;1:1.2.0.21131-2;amd64;orvane-stable-main")}}
        << QStringLiteral("orvane;1:1.2.0.21131-2;amd64;orvane-stable-main");
    QTest::newRow("B as an update") << QList<Listed>{{NormalUpdate, availableB.id}} << availableB.id;
    QTest::newRow("B already installed") << QList<Listed>{{Installed, availableB.id}} << QString();
    QTest::newRow("another package at B")
        << QList<Listed>{{Available, QStringLiteral("orvane-data;1.2.0.21131;all;orvane-stable-main")}} << QString();
}

void TestSystemPackage::updateTarget_isTheOfferedReleaseOnly()
{
    QFETCH(QList<Listed>, listed);
    QFETCH(QString, target);
    QCOMPARE(SystemPackage::updateTarget(listed, QStringLiteral("orvane"), Offered), target);
}

void TestSystemPackage::packageName_comesOnlyFromAWellFormedMarker_data()
{
    QTest::addColumn<QByteArray>("marker"); // empty: no marker file
    QTest::addColumn<QString>("name");
    QTest::newRow("no marker: not package-managed") << QByteArray() << QString();
    QTest::newRow("the .deb's marker") << QByteArray("orvane\n") << QStringLiteral("orvane");
    QTest::newRow("not a package name") << QByteArray("../../etc/passwd\n") << QString();
}

void TestSystemPackage::packageName_comesOnlyFromAWellFormedMarker()
{
    QFETCH(QByteArray, marker);
    QFETCH(QString, name);
    QTemporaryDir folder;
    if (!marker.isEmpty()) {
        QFile file(folder.filePath(QLatin1String(SystemPackage::MarkerFile)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(marker);
    }
    QCOMPARE(SystemPackage::packageName(folder.path()), name);
}

void TestSystemPackage::sourceUris_readsEveryAddressOfTheSource()
{
    QTemporaryDir folder;
    QFile source(folder.filePath(QStringLiteral("orvane.sources")));
    QVERIFY(source.open(QIODevice::WriteOnly));
    source.write("# URIs: http://commented.example\nTypes: deb\nURIs: http://a.example/apt/  https://b.example\n"
                 "Suites: stable\n");
    source.close();
    QCOMPARE(SystemPackage::sourceUris(source.fileName()),
             (QStringList{QStringLiteral("http://a.example/apt"), QStringLiteral("https://b.example")}));
    QVERIFY(SystemPackage::sourceUris(folder.filePath(QStringLiteral("missing"))).isEmpty());
}

QTEST_GUILESS_MAIN(TestSystemPackage)
#include "tst_systempackage.moc"
