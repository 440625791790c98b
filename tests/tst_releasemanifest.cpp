// The release decisions without a window: version order, key rotation, expiry and downgrades.
#include "releasemanifest.h"
#include "testrelease.h"

#include <QTest>

Q_DECLARE_METATYPE(Release::Refusal)

namespace {
const QString Running = QStringLiteral("1.2.0.21130");
}

class TestReleaseManifest : public QObject
{
    Q_OBJECT

private slots:
    void versions_compareNumericallyPartByPart_data();
    void versions_compareNumericallyPartByPart();
    void rotation_acceptsEveryPinnedKeyAndNoOther_data();
    void rotation_acceptsEveryPinnedKeyAndNoOther();
    void expiryAndDowngrade_data();
    void expiryAndDowngrade();
    void secretKeyFile_roundTripsAndRefusesDamage();
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

void TestReleaseManifest::rotation_acceptsEveryPinnedKeyAndNoOther_data()
{
    QTest::addColumn<char>("signer");
    QTest::addColumn<QString>("pinned");
    QTest::addColumn<Release::Refusal>("refusal");
    // 'o' is the old key, 'n' the new one.
    QTest::newRow("before: old key") << 'o' << "o" << Release::Refusal::None;
    QTest::newRow("during: old key") << 'o' << "o;n" << Release::Refusal::None;
    QTest::newRow("during: new key") << 'n' << "o;n" << Release::Refusal::None;
    QTest::newRow("after: new key") << 'n' << "n" << Release::Refusal::None;
    QTest::newRow("after: old key removed") << 'o' << "n" << Release::Refusal::UnknownKey;
    QTest::newRow("no key pinned") << 'o' << "" << Release::Refusal::NoTrustedKey;
}

void TestReleaseManifest::rotation_acceptsEveryPinnedKeyAndNoOther()
{
    QFETCH(char, signer);
    QFETCH(QString, pinned);
    QFETCH(Release::Refusal, refusal);
    // Pinned as the build pins them: base64 keys separated by ';'.
    QStringList texts;
    for (const QChar seed : pinned.remove(QLatin1Char(';')))
        texts.append(Release::publicKeyText(TestRelease::key(seed.toLatin1()).publicKey));
    const QList<QByteArray> keys = Release::parsePublicKeys(texts.join(QLatin1Char(';')));
    QCOMPARE(keys.size(), texts.size());
    const TestRelease release = TestRelease::of("package", "1.2.0.21131", "/p.sh", TestRelease::key(signer));
    QCOMPARE(
        Release::check(release.manifest, QStringLiteral("1.2.0.21131"), Running, keys, QDateTime::currentDateTimeUtc()),
        refusal);
}

void TestReleaseManifest::expiryAndDowngrade_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("allowDowngrade");
    QTest::addColumn<int>("secondsToExpiry");
    QTest::addColumn<Release::Refusal>("refusal");
    QTest::newRow("newer, a second left") << "1.2.0.21131" << false << 1 << Release::Refusal::None;
    QTest::newRow("newer, expiring now") << "1.2.0.21131" << false << 0 << Release::Refusal::Expired;
    QTest::newRow("newer, expired") << "1.2.0.21131" << false << -86400 << Release::Refusal::Expired;
    QTest::newRow("same version") << "1.2.0.21130" << false << 60 << Release::Refusal::None;
    QTest::newRow("older, numerically") << "1.2.0.9999" << false << 60 << Release::Refusal::Downgrade;
    QTest::newRow("older, downgrade signed") << "1.2.0.9999" << true << 60 << Release::Refusal::None;
    QTest::newRow("older and expired") << "1.2.0.9999" << true << -60 << Release::Refusal::Expired;
    QTest::newRow("not a version") << "1.2.0.x" << false << 60 << Release::Refusal::ManifestMalformed;
}

void TestReleaseManifest::expiryAndDowngrade()
{
    QFETCH(QString, version);
    QFETCH(bool, allowDowngrade);
    QFETCH(int, secondsToExpiry);
    QFETCH(Release::Refusal, refusal);
    const QDateTime now = QDateTime::fromString(QStringLiteral("2026-06-01T12:00:00Z"), Qt::ISODate);
    TestRelease release = TestRelease::of("package");
    release.manifest.version = version;
    release.manifest.allowDowngrade = allowDowngrade ? QStringLiteral("1") : QStringLiteral("0");
    release.manifest.expires = Release::expiryText(now.addSecs(secondsToExpiry));
    release.resign();
    QCOMPARE(Release::check(release.manifest, version, Running, {TestRelease::key().publicKey}, now), refusal);
}

void TestReleaseManifest::secretKeyFile_roundTripsAndRefusesDamage()
{
    const ReleaseKey key = Release::generateKey();
    QCOMPARE(key.publicKey.size(), 32);
    const QByteArray text = Release::secretKeyFileText(key);
    ReleaseKey read;
    QVERIFY(Release::readSecretKeyFile(text, &read));
    QCOMPARE(read.publicKey, key.publicKey);
    QVERIFY(Release::generateKey().publicKey != key.publicKey);

    // The stored public half no longer belongs to the seed.
    QByteArray damaged = text;
    damaged[damaged.size() - 8] = damaged.at(damaged.size() - 8) == 'A' ? 'B' : 'A';
    QVERIFY(!Release::readSecretKeyFile(damaged, &read));
    QVERIFY(!Release::readSecretKeyFile(Release::publicKeyText(key.publicKey).toLatin1(), &read));
}

QTEST_GUILESS_MAIN(TestReleaseManifest)
#include "tst_releasemanifest.moc"
