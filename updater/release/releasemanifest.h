#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

class QFile;
struct ServerInfo;

// What the operator signs about one release, in the exact text forms the configuration carries.
struct SignedRelease
{
    QString version;        // dotted decimal, e.g. "1.2.0.21131"
    QString fileName;       // the name the updater saves the package under
    QString size;           // bytes, decimal
    QString sha256;         // 64 lower-case hex digits
    QString expires;        // UTC, "yyyy-MM-ddTHH:mm:ssZ"
    QString allowDowngrade; // "0" or "1"
    QString keyId;          // which key signed it
    QString signature;      // base64 of the 64-byte Ed25519 signature
};

// The release the configuration announces, for a package saved as `fileName`.
SignedRelease signedRelease(const ServerInfo &info, const QString &fileName);

// A release key pair; the secret half only ever exists on the operator's machine.
struct ReleaseKey
{
    QByteArray secretKey; // 64 bytes: seed followed by the public key
    QByteArray publicKey; // 32 bytes
};

namespace Release {

// Why a release is not offered or not run. None: everything holds.
enum class Refusal {
    None,
    NoTrustedKey,
    SignatureMissing,
    SignatureMalformed,
    ManifestMalformed,
    UnknownKey,
    BadSignature,
    VersionMismatch,
    Expired,
    ExpiryTooFar,
    Downgrade,
    SizeMismatch,
    HashMismatch,
};

// What the user is told, short enough for the updater's status line.
QString message(Refusal refusal);
// The same for operators and logs.
QString reason(Refusal refusal);

// Dotted decimal numbers only; each part compares as a number of any length.
bool isVersion(const QString &version);
// <0, 0, >0 as `a` is lower, equal or higher; missing trailing parts count as 0 ("1.2" == "1.2.0").
int compareVersions(const QString &a, const QString &b);

// The one text both signing and checking use; empty when a field would make it ambiguous.
QByteArray canonicalText(const SignedRelease &release);
// Whether every signed field is in its one accepted form (the signature fields are not looked at).
bool isWellFormed(const SignedRelease &release);
// The expiry field's form for a moment.
QString expiryText(const QDateTime &moment);
// The moment an expiry field names; invalid unless the text is exactly expiryText() of a real moment.
QDateTime expiryMoment(const QString &text);
// A release signed to stay valid longer than this is refused: a key may leak or be rotated long before.
inline constexpr int MaxExpiryDays = 3650;

// Base64 of 32 bytes; empty when `text` is anything else.
QByteArray parsePublicKey(const QString &text);
// The keys of a ';'-separated list; nothing at all when any entry is malformed.
QList<QByteArray> parsePublicKeys(const QString &list);
QString publicKeyText(const QByteArray &publicKey);
// 16 hex digits derived from the public key, so a configuration can name its key.
QString keyId(const QByteArray &publicKey);

ReleaseKey generateKey();
// The same key every time for the same 32-byte seed (for tests); an empty key for a bad seed.
ReleaseKey keyFromSeed(const QByteArray &seed);
// The secret key file's contents and their reading back; a file whose halves disagree is refused.
QByteArray secretKeyFileText(const ReleaseKey &key);
bool readSecretKeyFile(const QByteArray &text, ReleaseKey *key);

// Fills keyId and signature of `release` with `key`'s; false when the release is not well formed.
bool sign(SignedRelease *release, const ReleaseKey &key);

// Whether a release may be offered: signed by one of `trustedKeys`, announced as the version it was
// signed for, not expired at `now`, and not older than `runningVersion` unless the downgrade was
// signed (no downgrade check when `runningVersion` is empty).
Refusal check(const SignedRelease &release, const QString &announcedVersion, const QString &runningVersion,
              const QList<QByteArray> &trustedKeys, const QDateTime &now);
// Hex SHA-256 of the rest of an open file; empty when it cannot be read.
QString fileSha256(QFile *file);
// Whether the file at `path` is exactly the signed package.
Refusal checkPackage(const SignedRelease &release, const QString &path);

} // namespace Release
