#include "updateroute.h"

namespace UpdateRoute {

Route choose(const QString &packageFileName, bool packageManagedInstall)
{
    if (packageManagedInstall)
        return Route::PackageManager;
    // What CPack's tarball is called; the installer itself then checks that it holds a program folder.
    if (packageFileName.endsWith(QLatin1String(".tar.gz")) || packageFileName.endsWith(QLatin1String(".tgz")))
        return Route::ProgramFolder;
    return Route::RunPackage;
}

} // namespace UpdateRoute
