// The operator's release tool: makes the release key, signs each release's updater configuration and
// checks a configuration the way the updater will.
#include "packagefile.h"
#include "releasemanifest.h"
#include "serverinfo.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdio>

namespace {

const char Usage[] = R"(Usage:
  orvane-release keygen SECRET_KEY_FILE
      Makes a release key pair. Writes the secret key (mode 0600; never overwrites a file) and prints
      the public key, base64, for the build's ORVANE_UPDATE_PUBLIC_KEYS.
  orvane-release sign --key SECRET_KEY_FILE --version V --package FILE --url URL
                      [--notes NOTES_FILE] [--expires-days N] [--allow-downgrade]
      Prints the updater's signed config.ini for one release. URL may be relative to the update
      server ("/soft/package.run"); the release expires after N days (30).
  orvane-release verify --public-key BASE64 --config CONFIG_INI [--package FILE]
      Checks a configuration (and the package) as the updater would; prints OK or the reason.
)";

// Where a relative package address is resolved, as the updater resolves it against its own server.
const QUrl ConfigUrl(QStringLiteral("http://update.invalid/soft/config.ini"));

int fail(const QString &message)
{
    std::fprintf(stderr, "orvane-release: %s\n", qPrintable(message));
    return 1;
}

int usage(const QString &message)
{
    std::fprintf(stderr, "orvane-release: %s\n\n%s", qPrintable(message), Usage);
    return 2;
}

void print(const QByteArray &text)
{
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
}

// The options of one command; a missing mandatory option is a usage error.
bool parse(QCommandLineParser &parser, const QStringList &arguments, const QStringList &required, QString *error)
{
    parser.addHelpOption();
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    for (const QString &name : required) {
        if (parser.value(name).isEmpty()) {
            *error = QStringLiteral("--%1 is required").arg(name);
            return false;
        }
    }
    return true;
}

QString fileName(const QString &packUrl)
{
    return PackageFile::outputName(ConfigUrl.resolved(QUrl(packUrl)), QString());
}

int keygen(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("SECRET_KEY_FILE"), QStringLiteral("where the secret key goes"));
    QString error;
    if (!parse(parser, arguments, {}, &error))
        return usage(error);
    if (parser.isSet(QStringLiteral("help")))
        return print(Usage), 0;
    if (parser.positionalArguments().size() != 1)
        return usage(QStringLiteral("keygen takes one SECRET_KEY_FILE"));

    const QString path = parser.positionalArguments().constFirst();
    const ReleaseKey key = Release::generateKey();
    if (key.secretKey.isEmpty())
        return fail(QStringLiteral("no random source for a key"));
    QFile file(path);
    // Created only if absent, and never readable by anyone else, not even for a moment.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return fail(QStringLiteral("cannot create %1: %2")
                        .arg(path, file.exists() ? QStringLiteral("it already exists") : file.errorString()));
    const QByteArray text = Release::secretKeyFileText(key);
    if (file.write(text) != text.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.remove();
        return fail(QStringLiteral("cannot write %1: %2").arg(path, reason));
    }
    file.close();
    print(Release::publicKeyText(key.publicKey).toLatin1() + '\n');
    std::fprintf(stderr, "key id %s; keep %s secret\n", qPrintable(Release::keyId(key.publicKey)), qPrintable(path));
    return 0;
}

bool readFile(const QString &path, QByteArray *contents, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    *contents = file.readAll();
    return true;
}

int sign(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions(
        {{QStringLiteral("key"), QStringLiteral("secret key file"), QStringLiteral("FILE")},
         {QStringLiteral("version"), QStringLiteral("the release's version"), QStringLiteral("V")},
         {QStringLiteral("package"), QStringLiteral("the package file"), QStringLiteral("FILE")},
         {QStringLiteral("url"), QStringLiteral("the package's address"), QStringLiteral("URL")},
         {QStringLiteral("notes"), QStringLiteral("notes shown to users (HTML or text)"), QStringLiteral("FILE")},
         {QStringLiteral("expires-days"), QStringLiteral("days until the release expires"), QStringLiteral("N"),
          QStringLiteral("30")},
         {QStringLiteral("allow-downgrade"), QStringLiteral("may replace a newer version")}});
    QString error;
    const QStringList required = {QStringLiteral("key"), QStringLiteral("version"), QStringLiteral("package"),
                                  QStringLiteral("url")};
    if (!parse(parser, arguments, required, &error))
        return parser.isSet(QStringLiteral("help")) ? (print(Usage), 0) : usage(error);
    if (!parser.positionalArguments().isEmpty())
        return usage(QStringLiteral("sign takes no file names without an option"));

    QByteArray keyText;
    if (!readFile(parser.value(QStringLiteral("key")), &keyText, &error))
        return fail(error);
    ReleaseKey key;
    if (!Release::readSecretKeyFile(keyText, &key))
        return fail(QStringLiteral("%1 is not a secret key made by orvane-release keygen")
                        .arg(parser.value(QStringLiteral("key"))));
    const QString version = parser.value(QStringLiteral("version"));
    if (!Release::isVersion(version))
        return fail(QStringLiteral("version %1 is not dotted decimal numbers").arg(version));
    bool daysOk = false;
    const int days = parser.value(QStringLiteral("expires-days")).toInt(&daysOk);
    if (!daysOk || days < 1 || days > 3650)
        return fail(QStringLiteral("--expires-days takes a number of days from 1 to 3650"));
    const QString url = parser.value(QStringLiteral("url"));
    if (!PackageFile::isFetchableUrl(ConfigUrl.resolved(QUrl(url))))
        return fail(
            QStringLiteral("%1 is not an http or https address, nor one relative to the update server").arg(url));
    QByteArray notes;
    if (parser.isSet(QStringLiteral("notes")) && !readFile(parser.value(QStringLiteral("notes")), &notes, &error))
        return fail(error);

    const QString packagePath = parser.value(QStringLiteral("package"));
    QFile package(packagePath);
    const QString sha256 = package.open(QIODevice::ReadOnly) ? Release::fileSha256(&package) : QString();
    if (sha256.isEmpty())
        return fail(QStringLiteral("cannot read %1: %2").arg(packagePath, package.errorString()));

    SignedRelease release;
    release.version = version;
    release.fileName = fileName(url);
    release.size = QString::number(package.size());
    release.sha256 = sha256;
    release.expires = Release::expiryText(QDateTime::currentDateTimeUtc().addDays(days));
    release.allowDowngrade =
        parser.isSet(QStringLiteral("allow-downgrade")) ? QStringLiteral("1") : QStringLiteral("0");
    if (!Release::sign(&release, key))
        return fail(QStringLiteral("%1 cannot be signed (an empty package?)").arg(packagePath));

    // Written by the updater's own INI format, so the updater reads back exactly these values.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config.ini"));
    {
        QSettings config(path, QSettings::IniFormat);
        config.setValue(QStringLiteral("AppVersion"), version);
        config.beginGroup(QStringLiteral("Update"));
        config.setValue(QStringLiteral("updatePackUrl"), url);
        config.setValue(QStringLiteral("newVersionInfo"), QString::fromUtf8(notes).trimmed());
        config.setValue(QStringLiteral("updateVersion"), release.version);
        config.setValue(QStringLiteral("updatePackSize"), release.size);
        config.setValue(QStringLiteral("updatePackSha256"), release.sha256);
        config.setValue(QStringLiteral("updateExpires"), release.expires);
        config.setValue(QStringLiteral("updateAllowDowngrade"), release.allowDowngrade);
        config.setValue(QStringLiteral("updateKeyId"), release.keyId);
        config.setValue(QStringLiteral("updateSignature"), release.signature);
        config.endGroup();
        config.sync();
        if (config.status() != QSettings::NoError)
            return fail(QStringLiteral("cannot write the configuration"));
    }
    QByteArray ini;
    if (!readFile(path, &ini, &error))
        return fail(error);
    print("; Signed by orvane-release for " + release.fileName.toUtf8() +
          ". Only newVersionInfo may be edited; any other change makes the updater refuse the release.\n" + ini);
    return 0;
}

int verify(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOptions(
        {{QStringLiteral("public-key"), QStringLiteral("trusted public key, base64"), QStringLiteral("BASE64")},
         {QStringLiteral("config"), QStringLiteral("the updater's config.ini"), QStringLiteral("FILE")},
         {QStringLiteral("package"), QStringLiteral("the package file"), QStringLiteral("FILE")}});
    QString error;
    if (!parse(parser, arguments, {QStringLiteral("public-key"), QStringLiteral("config")}, &error))
        return parser.isSet(QStringLiteral("help")) ? (print(Usage), 0) : usage(error);
    const QList<QByteArray> keys = Release::parsePublicKeys(parser.value(QStringLiteral("public-key")));
    if (keys.isEmpty())
        return fail(QStringLiteral("--public-key is not a base64 public key"));
    const QString configPath = parser.value(QStringLiteral("config"));
    QByteArray unused;
    if (!readFile(configPath, &unused, &error))
        return fail(error);

    const ServerInfo info = ServerInfoFile::read(configPath);
    const SignedRelease release = signedRelease(info, fileName(info.updatePackUrl));
    Release::Refusal refusal =
        Release::check(release, info.appVersion, QString(), keys, QDateTime::currentDateTimeUtc());
    if (refusal == Release::Refusal::None && parser.isSet(QStringLiteral("package"))) {
        const QString package = parser.value(QStringLiteral("package"));
        if (!QFileInfo(package).isFile())
            return fail(QStringLiteral("cannot read %1").arg(package));
        refusal = Release::checkPackage(release, package);
    }
    if (refusal != Release::Refusal::None)
        return fail(QStringLiteral("%1 (%2)").arg(Release::reason(refusal), Release::message(refusal)));
    print("OK\n");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments();
    const QString command = arguments.value(1);
    // Each command parses its own options, with the command word standing in for the program name.
    arguments.removeFirst();
    if (command == QLatin1String("keygen"))
        return keygen(arguments);
    if (command == QLatin1String("sign"))
        return sign(arguments);
    if (command == QLatin1String("verify"))
        return verify(arguments);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help"))
        return print(Usage), 0;
    return usage(command.isEmpty() ? QStringLiteral("no command given")
                                   : QStringLiteral("unknown command %1").arg(command));
}
