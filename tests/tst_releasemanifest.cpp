// The release decisions without a window: version order, key rotation, expiry and downgrades.
#include "releasemanifest.h"
#include "testrelease.h"

#include <QTest>

Q_DECLARE_METATYPE(Release::Refusal)

class TestReleaseManifest : public QObject
{
    Q_OBJECT

private slots:
    void versions_compareNumericallyPartByPart_data();
    void versions_compareNumericallyPartByPart();
    void check_rotationExpiryAndDowngrade_data();
    void check_rotationExpiryAndDowngrade();
    void expiry_hasOneSpellingOfARealMoment_data();
    void expiry_hasOneSpellingOfARealMoment();
};

void TestReleaseManifest::versions_compareNumericallyPartByPart_data()
{
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("higher");
    QTest::newRow("9 before 10") << "1.2.0.9"
                                 << "1.2.0.10";
    QTest::newRow("last part") << "1.2.0.21130"
                               << "1.2.0.21131";
    QTest::newRow("first part outweighs the rest") << "1.99.99.99"
                                                   << "2";
    QTest::newRow("missing part counts as zero") << "1.2"
                                                 << "1.2.0.1";
    QTest::newRow("longer than 64 bits") << "1.18446744073709551616"
                                         << "1.18446744073709551617";
    QTest::newRow("leading zeros") << "1.09"
                                   << "1.10";
}

void TestReleaseManifest::versions_compareNumericallyPartByPart()
{
    QFETCH(QString, lower);
    QFETCH(QString, higher);
    QVERIFY(Release::isVersion(lower) && Release::isVersion(higher));
    QCOMPARE(Release::compareVersions(lower, higher), -1);
    QCOMPARE(Release::compareVersions(higher, lower), 1);
    QCOMPARE(Release::compareVersions(lower, lower + QStringLiteral(".0")), 0);
    QCOMPARE(Release::compareVersions(QStringLiteral("0") + lower, lower), 0);
}

void TestReleaseManifest::check_rotationExpiryAndDowngrade_data()
{
    QTest::addColumn<char>("signer");
    QTest::addColumn<QString>("pinned"); // key seeds; 'o' is the old key, 'n' the new one
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("allowDowngrade");
    QTest::addColumn<int>("secondsToExpiry");
    QTest::addColumn<Release::Refusal>("refusal");
    using R = Release::Refusal;
    const QString newer = QStringLiteral("1.2.0.21131");
    QTest::newRow("rotation: old key, old pinned") << 'o' << "o" << newer << false << 60 << R::None;
    QTest::newRow("rotation: old key, both pinned") << 'o' << "on" << newer << false << 60 << R::None;
    QTest::newRow("rotation: new key, both pinned") << 'n' << "on" << newer << false << 60 << R::None;
    QTest::newRow("rotation: old key removed") << 'o' << "n" << newer << false << 60 << R::UnknownKey;
    QTest::newRow("rotation: nothing pinned") << 'o' << "" << newer << false << 60 << R::NoTrustedKey;
    QTest::newRow("expiry: a second left") << 'o' << "o" << newer << false << 1 << R::None;
    QTest::newRow("expiry: expiring now") << 'o' << "o" << newer << false << 0 << R::Expired;
    QTest::newRow("expiry: a day ago") << 'o' << "o" << newer << false << -86400 << R::Expired;
    const int tenYears = Release::MaxExpiryDays * 86400;
    QTest::newRow("expiry: ten years ahead") << 'o' << "o" << newer << false << tenYears << R::None;
    QTest::newRow("expiry: a second beyond ten years")
        << 'o' << "o" << newer << false << tenYears + 1 << R::ExpiryTooFar;
    QTest::newRow("downgrade: same version") << 'o' << "o"
                                             << "1.2.0.21130" << false << 60 << R::None;
    QTest::newRow("downgrade: older, numerically") << 'o' << "o"
                                                   << "1.2.0.9999" << false << 60 << R::Downgrade;
    QTest::newRow("downgrade: signed") << 'o' << "o"
                                       << "1.2.0.9999" << true << 60 << R::None;
    QTest::newRow("downgrade: signed but expired") << 'o' << "o"
                                                   << "1.2.0.9999" << true << -60 << R::Expired;
    QTest::newRow("not a version") << 'o' << "o"
                                   << "1.2.0.x" << false << 60 << R::ManifestMalformed;
}

void TestReleaseManifest::check_rotationExpiryAndDowngrade()
{
    QFETCH(char, signer);
    QFETCH(QString, pinned);
    QFETCH(QString, version);
    QFETCH(bool, allowDowngrade);
    QFETCH(int, secondsToExpiry);
    QFETCH(Release::Refusal, refusal);
    // Pinned as the build pins them: base64 keys separated by ';'.
    QStringList texts;
    for (const QChar seed : pinned)
        texts.append(Release::publicKeyText(TestRelease::key(seed.toLatin1()).publicKey));
    const QList<QByteArray> keys = Release::parsePublicKeys(texts.join(QLatin1Char(';')));
    QCOMPARE(keys.size(), texts.size());

    const QDateTime now = QDateTime::fromString(QStringLiteral("2026-06-01T12:00:00Z"), Qt::ISODate);
    TestRelease release = TestRelease::of("package", "1.2.0.21131", "/p.sh", TestRelease::key(signer));
    release.manifest.version = version;
    release.manifest.allowDowngrade = allowDowngrade ? QStringLiteral("1") : QStringLiteral("0");
    release.manifest.expires = Release::expiryText(now.addSecs(secondsToExpiry));
    release.resign(TestRelease::key(signer));
    QCOMPARE(Release::check(release.manifest, version, QStringLiteral("1.2.0.21130"), keys, now), refusal);
}

void TestReleaseManifest::expiry_hasOneSpellingOfARealMoment_data()
{
    QTest::addColumn<QString>("expires");
    QTest::addColumn<Release::Refusal>("refusal");
    using R = Release::Refusal;
    QTest::newRow("next year") << "2027-06-01T12:00:00Z" << R::None;
    QTest::newRow("year 9999") << "9999-12-31T23:59:59Z" << R::ExpiryTooFar;
    QTest::newRow("hour 24") << "2027-01-01T24:00:00Z" << R::ManifestMalformed;
    QTest::newRow("minute 60") << "2027-01-01T12:60:00Z" << R::ManifestMalformed;
    QTest::newRow("February 30") << "2027-02-30T12:00:00Z" << R::ManifestMalformed;
    QTest::newRow("offset instead of Z") << "2027-01-01T12:00:00+00:00" << R::ManifestMalformed;
}

void TestReleaseManifest::expiry_hasOneSpellingOfARealMoment()
{
    QFETCH(QString, expires);
    QFETCH(Release::Refusal, refusal);
    const QDateTime now = QDateTime::fromString(QStringLiteral("2026-06-01T12:00:00Z"), Qt::ISODate);
    TestRelease release = TestRelease::of("package");
    release.manifest.expires = expires;
    // Signed where it has a canonical text at all; a malformed date keeps the signature of the release
    // before, and must be refused before any signature is looked at.
    release.resign();
    QCOMPARE(Release::check(release.manifest, release.manifest.version, QString(), {TestRelease::key().publicKey}, now),
             refusal);
}

QTEST_GUILESS_MAIN(TestReleaseManifest)
#include "tst_releasemanifest.moc"
