#include "programfolder.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace ProgramFolder {

bool isWritable(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".orvane-write-check-XXXXXX")));
    return probe.open(); // removed again when `probe` goes
}

QString writableFolder(const QString &programFolder, const QString &userFolder)
{
    if (isWritable(programFolder))
        return programFolder;
    if (!userFolder.isEmpty() && QDir().mkpath(userFolder) && isWritable(userFolder))
        return userFolder;
    return QString();
}

QString userConfigFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/orvane");
}

QString userCacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/orvane");
}

} // namespace ProgramFolder
