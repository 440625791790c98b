// What checking a release costs the updater, against the time the download itself takes:
//   release_verify_bench [MiB...] (256 1024 unless given)
// For each size: writes a package into a temporary folder, signs it, then times the manifest check
// (signature) and the package check (exact size and SHA-256) as the updater runs them.
#include "releasemanifest.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

constexpr double DownloadMiBPerSecond = 50;
constexpr qint64 MiB = 1024 * 1024;

bool writePackage(const QString &path, qint64 mib, QByteArray *sha256)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(MiB, '\0');
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (qint64 i = 0; i < mib; ++i) {
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(block.data()), MiB / 4);
        hash.addData(block);
        if (file.write(block) != block.size())
            return false;
    }
    *sha256 = hash.result().toHex();
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList sizes = app.arguments().mid(1);
    if (sizes.isEmpty())
        sizes = {QStringLiteral("256"), QStringLiteral("1024")};
    QTextStream out(stdout);
    QTemporaryDir dir;
    const ReleaseKey key = Release::generateKey();
    out << "   size   signature   package check   download at 50 MiB/s   overhead" << Qt::endl;
    for (const QString &size : std::as_const(sizes)) {
        const qint64 mib = size.toLongLong();
        const QString path = dir.filePath(QStringLiteral("package.bin"));
        QByteArray sha256;
        if (mib <= 0 || !writePackage(path, mib, &sha256)) {
            out << "cannot write a package of " << size << " MiB" << Qt::endl;
            return 1;
        }
        SignedRelease release{QStringLiteral("1.2.0.21131"),
                              QStringLiteral("package.bin"),
                              QString::number(mib * MiB),
                              QString::fromLatin1(sha256),
                              Release::expiryText(QDateTime::currentDateTimeUtc().addDays(1)),
                              QStringLiteral("0"),
                              {},
                              {}};
        Release::sign(&release, key);

        QElapsedTimer timer;
        timer.start();
        const Release::Refusal manifest = Release::check(release, release.version, QStringLiteral("1.2.0.21130"),
                                                         {key.publicKey}, QDateTime::currentDateTimeUtc());
        const double signatureSeconds = timer.nsecsElapsed() / 1e9;
        timer.restart();
        // As in the updater: the file was just written, so it is read from the page cache.
        const Release::Refusal package = Release::checkPackage(release, path);
        const double packageSeconds = timer.nsecsElapsed() / 1e9;
        if (manifest != Release::Refusal::None || package != Release::Refusal::None) {
            out << "the check refused its own release: " << Release::reason(manifest) << ", "
                << Release::reason(package) << Qt::endl;
            return 1;
        }
        const double downloadSeconds = mib / DownloadMiBPerSecond;
        out << qSetFieldWidth(7) << mib << qSetFieldWidth(0) << " MiB " << qSetFieldWidth(8)
            << QString::number(signatureSeconds * 1000, 'f', 2) << qSetFieldWidth(0) << " ms " << qSetFieldWidth(12)
            << QString::number(packageSeconds, 'f', 2) << qSetFieldWidth(0) << " s " << qSetFieldWidth(19)
            << QString::number(downloadSeconds, 'f', 2) << qSetFieldWidth(0) << " s " << qSetFieldWidth(9)
            << QString::number(100 * (signatureSeconds + packageSeconds) / downloadSeconds, 'f', 1) << qSetFieldWidth(0)
            << " %" << Qt::endl;
        QFile::remove(path);
    }
    return 0;
}
