#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

// An install that the system's package manager owns (the .deb under /opt): the updater cannot and must
// not replace its files, so it asks PackageKit to upgrade the package from the operator's apt
// repository. These are the decisions of that path, without a bus or a window.
namespace SystemPackage {
Q_NAMESPACE

// Beside the programs, shipped only by the .deb; it holds the package's name.
inline constexpr char MarkerFile[] = "system-package";
// The apt source that the maintainer scripts of `package` write.
inline QString sourceFile(const QString &package)
{
    return QStringLiteral("/etc/apt/sources.list.d/%1.sources").arg(package);
}

// The package that owns `programFolder`, or empty where no package manager does.
QString packageName(const QString &programFolder);

// The repository addresses of a deb822 source file's "URIs:" lines; empty when it cannot be read.
QStringList sourceUris(const QString &sourceFile);

// What a user types where PackageKit is missing: the same refresh and upgrade, one command a line.
QString aptCommands(const QString &package);

// A PackageKit package id, "name;version;arch;data".
struct PackageId
{
    QString name;
    QString version;
    QString arch;
    QString data;
};
// Empty fields when `id` is not of that form.
PackageId parsePackageId(const QString &id);

// Whether the Debian version `debianVersion` ([epoch:]upstream[-revision]) is the release `offered`.
bool isRelease(const QString &debianVersion, const QString &offered);

// One Package signal of a resolve: PackageKit's info value and the package id.
struct Listed
{
    uint info = 0;
    QString id;
};
// Of what a resolve listed, the package id of `name` at release `version` that can be installed;
// empty when the repository does not have it (yet).
QString updateTarget(const QList<Listed> &listed, const QString &name, const QString &version);

// The conversation's steps: refresh the lists, find the package, update it.
enum class Step { Refresh, Resolve, Update };
Q_ENUM_NS(Step)

enum class Outcome {
    Continue,              // the step succeeded and the next one follows
    Upgraded,              // the package is at the new version
    NoPackageKit,          // no PackageKit on this system: the user is shown the apt commands
    NotAuthorized,         // the administrator's consent was refused
    Cancelled,             // the user or PackageKit stopped it
    NotInRepository,       // the repository does not have the offered version yet
    RepositoryUntrusted,   // the repository's signature did not verify
    RepositoryUnreachable, // the repository could not be fetched
    Busy,                  // another package manager holds the lock
    Failed,                // anything else; the details say what
};
Q_ENUM_NS(Outcome)

// How a transaction of `step` that ended with PackageKit's `exitCode`, after the error `errorCode`
// with `details` (0 and empty when none came), ends the upgrade. A failed refresh counts only when it
// concerns one of `ourUris`: another source's trouble is not the user's reason to stay behind. With no
// known address of ours, every failed refresh counts.
Outcome outcomeOf(Step step, uint exitCode, uint errorCode, const QString &details, const QStringList &ourUris);

// What the window says, briefly, for each outcome; `version` is the offered release.
QString message(Outcome outcome, const QString &version);

// The window's note while PackageKit reports `status` during `step`.
QString statusText(Step step, uint status);

// The whole upgrade's progress from one step's percentage; -1 while PackageKit cannot tell.
int overallPercent(Step step, uint percentage);

} // namespace SystemPackage
