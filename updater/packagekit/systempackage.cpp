#include "systempackage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace SystemPackage {

namespace {

// PackageKit's own numbers for what it reports (its enumerations are part of its D-Bus interface).
namespace Exit {
constexpr uint Success = 1;
constexpr uint Cancelled = 3;
constexpr uint KeyRequired = 4;
constexpr uint Killed = 6;
constexpr uint NeedUntrusted = 8;
constexpr uint CancelledPriority = 9;
} // namespace Exit

namespace Error {
constexpr uint NoNetwork = 2;
constexpr uint GpgFailure = 5;
constexpr uint PackageNotFound = 8;
constexpr uint PackageDownloadFailed = 10;
constexpr uint TransactionCancelled = 17;
constexpr uint CannotGetLock = 26;
constexpr uint NoPackagesToUpdate = 27;
constexpr uint BadGpgSignature = 30;
constexpr uint MissingGpgSignature = 31;
constexpr uint RepoNotAvailable = 37;
constexpr uint NotAuthorized = 48;
constexpr uint UpdateNotFound = 49;
constexpr uint CannotInstallRepoUnsigned = 50;
constexpr uint CannotUpdateRepoUnsigned = 51;
constexpr uint CannotFetchSources = 64;
constexpr uint CancelledPriority = 65;
constexpr uint LockRequired = 67;
} // namespace Error

namespace Info {
constexpr uint Installed = 1;
constexpr uint Available = 2;
// Low, enhancement, normal, bug fix, important, security: kinds of update, all installable.
constexpr uint FirstUpdateKind = 3;
constexpr uint LastUpdateKind = 8;
} // namespace Info

namespace Status {
constexpr uint Download = 8;
constexpr uint Install = 9;
constexpr uint Update = 10;
constexpr uint Cleanup = 11;
constexpr uint Commit = 16;
constexpr uint Cancel = 19;
constexpr uint WaitingForLock = 30;
constexpr uint WaitingForAuth = 31;
} // namespace Status

QString tr(const char *text)
{
    return QCoreApplication::translate("SystemPackage", text);
}

QString withoutTrailingSlash(QString uri)
{
    while (uri.endsWith(QLatin1Char('/')))
        uri.chop(1);
    return uri;
}

// What apt says when a repository's Release file does not verify against its Signed-By keyring.
bool mentionsSignature(const QString &details)
{
    static const QRegularExpression words(
        QStringLiteral("NO_PUBKEY|EXPKEYSIG|REVKEYSIG|BADSIG|KEYEXPIRED|signature|not signed"),
        QRegularExpression::CaseInsensitiveOption);
    return words.match(details).hasMatch();
}

} // namespace

QString packageName(const QString &programFolder)
{
    QFile marker(QDir(programFolder).filePath(QLatin1String(MarkerFile)));
    if (!marker.open(QIODevice::ReadOnly))
        return QString();
    const QString name = QString::fromUtf8(marker.readLine(256)).trimmed();
    // Debian's rule for package names; anything else cannot have come from the package.
    static const QRegularExpression valid(QStringLiteral("^[a-z0-9][a-z0-9+.-]+$"));
    return valid.match(name).hasMatch() ? name : QString();
}

QStringList sourceUris(const QString &sourceFile)
{
    QFile file(sourceFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList uris;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (!line.startsWith(QLatin1String("URIs:"), Qt::CaseInsensitive))
            continue;
        const QStringList values = line.mid(5).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString &uri : values)
            uris.append(withoutTrailingSlash(uri));
    }
    return uris;
}

QString aptCommands(const QString &package)
{
    return QStringLiteral("sudo apt-get update\nsudo apt-get install --only-upgrade %1").arg(package);
}

PackageId parsePackageId(const QString &id)
{
    const QStringList parts = id.split(QLatin1Char(';'));
    if (parts.size() != 4 || parts.at(0).isEmpty() || parts.at(1).isEmpty())
        return {};
    return {parts.at(0), parts.at(1), parts.at(2), parts.at(3)};
}

bool isRelease(const QString &debianVersion, const QString &offered)
{
    static const QRegularExpression form(QStringLiteral("^(?:[0-9]+:)?(.+?)(?:-[A-Za-z0-9+.~]+)?$"));
    const QRegularExpressionMatch match = form.match(debianVersion);
    return !offered.isEmpty() && match.hasMatch() && match.captured(1) == offered;
}

QString updateTarget(const QList<Listed> &listed, const QString &name, const QString &version)
{
    for (const Listed &entry : listed) {
        const bool installable = entry.info == Info::Available ||
                                 (entry.info >= Info::FirstUpdateKind && entry.info <= Info::LastUpdateKind);
        const PackageId id = parsePackageId(entry.id);
        if (installable && id.name == name && isRelease(id.version, version))
            return entry.id;
    }
    return QString();
}

Outcome outcomeOf(Step step, uint exitCode, uint errorCode, const QString &details, const QStringList &ourUris)
{
    if (exitCode == Exit::Success)
        return step == Step::Update ? Outcome::Upgraded : Outcome::Continue;
    if (errorCode == Error::NotAuthorized)
        return Outcome::NotAuthorized;
    if (exitCode == Exit::Cancelled || exitCode == Exit::CancelledPriority || exitCode == Exit::Killed ||
        errorCode == Error::TransactionCancelled || errorCode == Error::CancelledPriority)
        return Outcome::Cancelled;
    if (errorCode == Error::CannotGetLock || errorCode == Error::LockRequired)
        return Outcome::Busy;
    if (exitCode == Exit::KeyRequired || exitCode == Exit::NeedUntrusted || errorCode == Error::GpgFailure ||
        errorCode == Error::BadGpgSignature || errorCode == Error::MissingGpgSignature ||
        errorCode == Error::CannotInstallRepoUnsigned || errorCode == Error::CannotUpdateRepoUnsigned)
        return Outcome::RepositoryUntrusted;

    if (step == Step::Refresh) {
        // apt names each source that failed; lists of ours that did update are good to go on with.
        const bool ours = details.isEmpty() || ourUris.isEmpty() ||
                          std::any_of(ourUris.cbegin(), ourUris.cend(), [&details](const QString &uri) {
                              return details.contains(withoutTrailingSlash(uri));
                          });
        if (!ours)
            return Outcome::Continue;
        return mentionsSignature(details) ? Outcome::RepositoryUntrusted : Outcome::RepositoryUnreachable;
    }
    if (errorCode == Error::PackageNotFound || errorCode == Error::UpdateNotFound ||
        errorCode == Error::NoPackagesToUpdate)
        return Outcome::NotInRepository;
    if (errorCode == Error::PackageDownloadFailed || errorCode == Error::NoNetwork ||
        errorCode == Error::RepoNotAvailable || errorCode == Error::CannotFetchSources)
        return Outcome::RepositoryUnreachable;
    return Outcome::Failed;
}

QString message(Outcome outcome, const QString &version)
{
    switch (outcome) {
    case Outcome::Continue:
        break;
    case Outcome::Upgraded:
        return tr("升级完成，正在启动新版本…");
    case Outcome::NoPackageKit:
        return tr("系统没有软件更新服务，请用命令升级");
    case Outcome::NotAuthorized:
        return tr("未获得管理员授权，没有升级。");
    case Outcome::Cancelled:
        return tr("升级已取消。");
    case Outcome::NotInRepository:
        return tr("软件源中还没有版本 %1，请稍后再试。").arg(version);
    case Outcome::RepositoryUntrusted:
        return tr("软件源的签名无法验证，没有升级。");
    case Outcome::RepositoryUnreachable:
        return tr("无法连接软件源，没有升级。");
    case Outcome::Busy:
        return tr("系统正在安装其他软件，请稍后再试。");
    case Outcome::Failed:
        return tr("升级失败。");
    }
    return QString();
}

QString statusText(Step step, uint status)
{
    switch (step) {
    case Step::Refresh:
        return tr("正在刷新软件源…");
    case Step::Resolve:
        return tr("正在查找新版本…");
    case Step::Update:
        break;
    }
    switch (status) {
    case Status::WaitingForAuth:
        return tr("正在等待管理员授权…");
    case Status::WaitingForLock:
        return tr("正在等待其他软件安装结束…");
    case Status::Download:
        return tr("正在下载新版本…");
    case Status::Install:
    case Status::Update:
    case Status::Commit:
    case Status::Cleanup:
        return tr("正在安装新版本…");
    case Status::Cancel:
        return tr("正在取消…");
    default:
        return tr("正在准备升级…");
    }
}

int overallPercent(Step step, uint percentage)
{
    if (percentage > 100)
        return -1;
    const int p = int(percentage);
    switch (step) {
    case Step::Refresh:
        return p * 30 / 100;
    case Step::Resolve:
        return 30 + p * 5 / 100;
    case Step::Update:
        return 35 + p * 65 / 100;
    }
    return -1;
}

} // namespace SystemPackage
