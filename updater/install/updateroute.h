#pragma once

#include <QString>

// Which way a verified package goes when the user has asked to update.
namespace UpdateRoute {

enum class Route {
    ProgramFolder,  // an Orvane program-folder archive: installed over this program folder by the updater
    PackageManager, // this install belongs to the system's package manager: the upgrade is its job
    RunPackage,     // anything else (an installer, a script): started as it is
};

// An install that a package manager owns is never changed behind its back, whatever was downloaded.
Route choose(const QString &packageFileName, bool packageManagedInstall);

} // namespace UpdateRoute
