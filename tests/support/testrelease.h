#pragma once

#include "packagefile.h"
#include "releasemanifest.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QUrl>

// Release keys of the tests' own and updater configurations signed with them. Fields can be changed
// after signing to forge a configuration.
struct TestRelease
{
    // Keys made from fixed seeds, so every run signs alike.
    static ReleaseKey key(char seed = 'a')
    {
        return Release::keyFromSeed(QByteArray(32, seed));
    }

    // A release of `package` at `packUrl`, signed with `signer`, expiring in a day.
    static TestRelease of(const QByteArray &package, const QByteArray &version = "1.2.0.21131",
                          const QByteArray &packUrl = "/soft/orvane-update.sh", const ReleaseKey &signer = key())
    {
        TestRelease release;
        release.appVersion = version;
        release.packUrl = packUrl;
        release.manifest.version = QString::fromLatin1(version);
        release.manifest.fileName = PackageFile::outputName(
            QUrl(QStringLiteral("http://127.0.0.1/soft/config.ini")).resolved(QUrl(QString::fromUtf8(packUrl))),
            QString());
        release.manifest.size = QString::number(package.size());
        release.manifest.sha256 =
            QString::fromLatin1(QCryptographicHash::hash(package, QCryptographicHash::Sha256).toHex());
        release.manifest.expires = Release::expiryText(QDateTime::currentDateTimeUtc().addDays(1));
        release.manifest.allowDowngrade = QStringLiteral("0");
        Release::sign(&release.manifest, signer);
        return release;
    }

    TestRelease &resign(const ReleaseKey &signer = key())
    {
        Release::sign(&manifest, signer);
        return *this;
    }

    QByteArray ini(const QByteArray &notes = "\"new things\"") const
    {
        const auto line = [](const char *name, const QString &value) {
            return QByteArray(name) + '=' + value.toUtf8() + '\n';
        };
        return "AppVersion=" + appVersion + "\n[Update]\nupdatePackUrl=" + packUrl + "\nnewVersionInfo=" + notes +
               '\n' + line("updateVersion", manifest.version) + line("updatePackSize", manifest.size) +
               line("updatePackSha256", manifest.sha256) + line("updateExpires", manifest.expires) +
               line("updateAllowDowngrade", manifest.allowDowngrade) + line("updateKeyId", manifest.keyId) +
               line("updateSignature", manifest.signature);
    }

    QByteArray appVersion;
    QByteArray packUrl;
    SignedRelease manifest;
};
