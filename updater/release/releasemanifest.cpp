#include "releasemanifest.h"

#include "serverinfo.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QTimeZone>

#include <openssl/evp.h>
#include <sodium.h>

#include <memory>

SignedRelease signedRelease(const ServerInfo &info, const QString &fileName)
{
    return {info.updateVersion,  fileName,
            info.updatePackSize, info.updatePackSha256.trimmed().toLower(),
            info.updateExpires,  info.updateAllowDowngrade,
            info.updateKeyId,    info.updateSignature};
}

namespace Release {

namespace {

// Identifies what the text is and in which layout, so no signature over one kind of text can be
// replayed as another.
constexpr char Tag[] = "orvane-release-manifest 1";
constexpr char SecretKeyTag[] = "orvane-release-secret-key 1";
constexpr int KeyIdBytes = 8;

bool sodiumReady()
{
    // Safe to call again and from several threads; fails only without a random source.
    static const bool ready = sodium_init() >= 0;
    return ready;
}

bool matches(const QString &text, const char *pattern)
{
    return QRegularExpression(QString::fromLatin1(pattern)).match(text).hasMatch();
}

QByteArray strictBase64(const QString &text, int bytes)
{
    if (text.size() != (bytes + 2) / 3 * 4 || !matches(text, "^[A-Za-z0-9+/]+={0,2}$"))
        return QByteArray();
    const auto decoded = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    return decoded && decoded.decoded.size() == bytes ? decoded.decoded : QByteArray();
}

// A number's digits without leading zeros, so that longer means larger.
QString significant(const QString &part)
{
    int start = 0;
    while (start < part.size() - 1 && part.at(start) == QLatin1Char('0'))
        ++start;
    return part.mid(start);
}

} // namespace

QString message(Refusal refusal)
{
    switch (refusal) {
    case Refusal::None:
        return QString();
    case Refusal::NoTrustedKey:
        return QCoreApplication::translate("Release", "未内置更新密钥，不能升级");
    case Refusal::SignatureMissing:
        return QCoreApplication::translate("Release", "更新信息未签名，已拒绝");
    case Refusal::SignatureMalformed:
        return QCoreApplication::translate("Release", "更新签名格式错误，已拒绝");
    case Refusal::ManifestMalformed:
        return QCoreApplication::translate("Release", "更新信息格式错误，已拒绝");
    case Refusal::UnknownKey:
        return QCoreApplication::translate("Release", "更新签名密钥未知，已拒绝");
    case Refusal::BadSignature:
        return QCoreApplication::translate("Release", "更新签名不符，已拒绝");
    case Refusal::VersionMismatch:
        return QCoreApplication::translate("Release", "版本号与签名不符，已拒绝");
    case Refusal::Expired:
        return QCoreApplication::translate("Release", "更新信息已过期，已拒绝");
    case Refusal::ExpiryTooFar:
        return QCoreApplication::translate("Release", "更新信息有效期过长，已拒绝");
    case Refusal::Downgrade:
        return QCoreApplication::translate("Release", "不允许降级到旧版本");
    case Refusal::SizeMismatch:
        return QCoreApplication::translate("Release", "更新包大小不符，已删除");
    case Refusal::HashMismatch:
        return QCoreApplication::translate("Release", "更新包校验失败，已删除");
    }
    return QString();
}

QString reason(Refusal refusal)
{
    switch (refusal) {
    case Refusal::None:
        return QStringLiteral("OK");
    case Refusal::NoTrustedKey:
        return QStringLiteral("no release key is trusted");
    case Refusal::SignatureMissing:
        return QStringLiteral("the release is not signed");
    case Refusal::SignatureMalformed:
        return QStringLiteral("the key id or signature is malformed");
    case Refusal::ManifestMalformed:
        return QStringLiteral("a signed field is missing or malformed");
    case Refusal::UnknownKey:
        return QStringLiteral("signed with a key that is not trusted");
    case Refusal::BadSignature:
        return QStringLiteral("the signature does not match");
    case Refusal::VersionMismatch:
        return QStringLiteral("AppVersion is not the signed version");
    case Refusal::Expired:
        return QStringLiteral("the release has expired");
    case Refusal::ExpiryTooFar:
        return QStringLiteral("the release expires more than %1 days from now").arg(MaxExpiryDays);
    case Refusal::Downgrade:
        return QStringLiteral("older than the running version and no downgrade was signed");
    case Refusal::SizeMismatch:
        return QStringLiteral("the package's size is not the signed size");
    case Refusal::HashMismatch:
        return QStringLiteral("the package's SHA-256 is not the signed one");
    }
    return QString();
}

bool isVersion(const QString &version)
{
    return matches(version, "^[0-9]{1,40}(\\.[0-9]{1,40}){0,9}$");
}

int compareVersions(const QString &a, const QString &b)
{
    const QStringList left = a.split(QLatin1Char('.'));
    const QStringList right = b.split(QLatin1Char('.'));
    for (qsizetype i = 0; i < qMax(left.size(), right.size()); ++i) {
        const QString x = significant(i < left.size() ? left.at(i) : QStringLiteral("0"));
        const QString y = significant(i < right.size() ? right.at(i) : QStringLiteral("0"));
        if (x.size() != y.size())
            return x.size() < y.size() ? -1 : 1;
        if (const int order = x.compare(y))
            return order < 0 ? -1 : 1;
    }
    return 0;
}

bool isWellFormed(const SignedRelease &release)
{
    bool sizeOk = false;
    const qint64 size = release.size.toLongLong(&sizeOk);
    return isVersion(release.version) && !release.fileName.isEmpty() &&
           !release.fileName.contains(QRegularExpression(QStringLiteral("[\\x00-\\x1f]"))) && sizeOk && size > 0 &&
           matches(release.size, "^[1-9][0-9]*$") && matches(release.sha256, "^[0-9a-f]{64}$") &&
           expiryMoment(release.expires).isValid() &&
           (release.allowDowngrade == QLatin1String("0") || release.allowDowngrade == QLatin1String("1"));
}

QByteArray canonicalText(const SignedRelease &release)
{
    if (!isWellFormed(release))
        return QByteArray();
    // One field per line in a fixed order; no field can hold a line break, so no two releases share a text.
    return QByteArray(Tag) + '\n' + "version=" + release.version.toUtf8() + '\n' + "file=" + release.fileName.toUtf8() +
           '\n' + "size=" + release.size.toUtf8() + '\n' + "sha256=" + release.sha256.toUtf8() + '\n' +
           "expires=" + release.expires.toUtf8() + '\n' + "allow-downgrade=" + release.allowDowngrade.toUtf8() + '\n';
}

QString expiryText(const QDateTime &moment)
{
    return moment.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss'Z'"));
}

QDateTime expiryMoment(const QString &text)
{
    // ISO dates also read "24:00" (the next day's midnight) and fractions or offsets; the signed text
    // has exactly one spelling of each moment, so any other is malformed.
    if (!matches(text, "^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z$"))
        return QDateTime();
    const QDateTime moment(QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd")),
                           QTime::fromString(text.mid(11, 8), QStringLiteral("HH:mm:ss")), Qt::UTC);
    return moment.isValid() && expiryText(moment) == text ? moment : QDateTime();
}

QByteArray parsePublicKey(const QString &text)
{
    return strictBase64(text.trimmed(), crypto_sign_PUBLICKEYBYTES);
}

QList<QByteArray> parsePublicKeys(const QString &list)
{
    QList<QByteArray> keys;
    for (const QString &entry : list.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QByteArray key = parsePublicKey(entry);
        if (key.isEmpty())
            return {};
        keys.append(key);
    }
    return keys;
}

QString publicKeyText(const QByteArray &publicKey)
{
    return QString::fromLatin1(publicKey.toBase64());
}

QString keyId(const QByteArray &publicKey)
{
    const QByteArray digest = QCryptographicHash::hash(publicKey, QCryptographicHash::Sha256);
    return QString::fromLatin1(digest.left(KeyIdBytes).toHex());
}

ReleaseKey generateKey()
{
    ReleaseKey key;
    if (!sodiumReady())
        return key;
    key.secretKey.resize(crypto_sign_SECRETKEYBYTES);
    key.publicKey.resize(crypto_sign_PUBLICKEYBYTES);
    crypto_sign_keypair(reinterpret_cast<unsigned char *>(key.publicKey.data()),
                        reinterpret_cast<unsigned char *>(key.secretKey.data()));
    return key;
}

ReleaseKey keyFromSeed(const QByteArray &seed)
{
    ReleaseKey key;
    if (!sodiumReady() || seed.size() != crypto_sign_SEEDBYTES)
        return key;
    key.secretKey.resize(crypto_sign_SECRETKEYBYTES);
    key.publicKey.resize(crypto_sign_PUBLICKEYBYTES);
    crypto_sign_seed_keypair(reinterpret_cast<unsigned char *>(key.publicKey.data()),
                             reinterpret_cast<unsigned char *>(key.secretKey.data()),
                             reinterpret_cast<const unsigned char *>(seed.constData()));
    return key;
}

QByteArray secretKeyFileText(const ReleaseKey &key)
{
    return QByteArray(SecretKeyTag) + '\n' + key.secretKey.toBase64() + '\n';
}

bool readSecretKeyFile(const QByteArray &text, ReleaseKey *key)
{
    const QList<QByteArray> lines = text.trimmed().split('\n');
    if (lines.size() != 2 || lines.at(0).trimmed() != SecretKeyTag)
        return false;
    const QByteArray secret = strictBase64(QString::fromLatin1(lines.at(1).trimmed()), int(crypto_sign_SECRETKEYBYTES));
    if (secret.isEmpty())
        return false;
    // The public half is stored beside the seed; a damaged file would sign with a key nobody trusts.
    const ReleaseKey derived = keyFromSeed(secret.left(crypto_sign_SEEDBYTES));
    if (derived.secretKey != secret)
        return false;
    *key = derived;
    return true;
}

bool sign(SignedRelease *release, const ReleaseKey &key)
{
    const QByteArray text = canonicalText(*release);
    if (text.isEmpty() || !sodiumReady() || key.secretKey.size() != crypto_sign_SECRETKEYBYTES)
        return false;
    QByteArray signature(crypto_sign_BYTES, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char *>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char *>(text.constData()), quint64(text.size()),
                         reinterpret_cast<const unsigned char *>(key.secretKey.constData()));
    release->keyId = keyId(key.publicKey);
    release->signature = QString::fromLatin1(signature.toBase64());
    return true;
}

Refusal check(const SignedRelease &release, const QString &announcedVersion, const QString &runningVersion,
              const QList<QByteArray> &trustedKeys, const QDateTime &now)
{
    if (trustedKeys.isEmpty())
        return Refusal::NoTrustedKey;
    if (release.signature.isEmpty() || release.keyId.isEmpty())
        return Refusal::SignatureMissing;
    const QByteArray signature = strictBase64(release.signature, crypto_sign_BYTES);
    if (signature.isEmpty() || !matches(release.keyId, "^[0-9a-f]{16}$"))
        return Refusal::SignatureMalformed;
    const auto key = std::find_if(trustedKeys.cbegin(), trustedKeys.cend(), [&](const QByteArray &candidate) {
        return keyId(candidate) == release.keyId;
    });
    if (key == trustedKeys.cend())
        return Refusal::UnknownKey;
    const QByteArray text = canonicalText(release);
    if (text.isEmpty())
        return Refusal::ManifestMalformed;
    if (!sodiumReady() || key->size() != crypto_sign_PUBLICKEYBYTES ||
        crypto_sign_verify_detached(reinterpret_cast<const unsigned char *>(signature.constData()),
                                    reinterpret_cast<const unsigned char *>(text.constData()), quint64(text.size()),
                                    reinterpret_cast<const unsigned char *>(key->constData())) != 0)
        return Refusal::BadSignature;
    if (announcedVersion != release.version)
        return Refusal::VersionMismatch;
    const QDateTime expires = expiryMoment(release.expires);
    if (now >= expires)
        return Refusal::Expired;
    if (expires > now.addDays(MaxExpiryDays))
        return Refusal::ExpiryTooFar;
    if (!runningVersion.isEmpty() && release.allowDowngrade != QLatin1String("1") &&
        compareVersions(release.version, runningVersion) < 0)
        return Refusal::Downgrade;
    return Refusal::None;
}

QString fileSha256(QFile *file)
{
    // The package check runs between the download and the hand-over; OpenSSL's SHA-256 uses the CPU's
    // hash instructions and keeps it well under the download's own time.
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1)
        return QString();
    QByteArray block(1 << 20, Qt::Uninitialized);
    qint64 read = 0;
    while ((read = file->read(block.data(), block.size())) > 0) {
        if (EVP_DigestUpdate(context.get(), block.constData(), size_t(read)) != 1)
            return QString();
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (read < 0 || EVP_DigestFinal_ex(context.get(), digest, &length) != 1)
        return QString();
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(digest), int(length)).toHex());
}

Refusal checkPackage(const SignedRelease &release, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Refusal::HashMismatch;
    if (QString::number(file.size()) != release.size)
        return Refusal::SizeMismatch;
    const QString sha256 = fileSha256(&file);
    return !sha256.isEmpty() && sha256 == release.sha256 ? Refusal::None : Refusal::HashMismatch;
}

} // namespace Release
