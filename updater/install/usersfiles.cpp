#include "usersfiles.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace UsersFiles {

QStringList carried(const QStringList &liveNames, const QStringList &releaseNames, const QString &packageName)
{
    const QStringList passing = {
        Settings,    QStringLiteral("ServerConfig.ini"),    QStringLiteral("SConfig.ini"),
        packageName, packageName + QStringLiteral(".part"), packageName + QStringLiteral(".part.state")};
    QStringList names;
    for (const QString &name : liveNames) {
        if (!releaseNames.contains(name) && !passing.contains(name) &&
            !name.startsWith(QLatin1String(".orvane-write-check")))
            names.append(name);
    }
    return names;
}

QByteArray mergedSettings(const QByteArray &user, const QByteArray &release)
{
    QTemporaryDir dir;
    const QString userPath = dir.filePath(QStringLiteral("user.ini"));
    const QString mergedPath = dir.filePath(QStringLiteral("merged.ini"));
    QFile userFile(userPath), mergedFile(mergedPath);
    if (!dir.isValid() || !userFile.open(QIODevice::WriteOnly) || userFile.write(user) != user.size() ||
        !mergedFile.open(QIODevice::WriteOnly) || mergedFile.write(release) != release.size())
        return QByteArray();
    userFile.close();
    mergedFile.close();

    const QSettings users(userPath, QSettings::IniFormat);
    const QStringList keys = users.allKeys();
    if (keys.isEmpty())
        return QByteArray();
    {
        QSettings merged(mergedPath, QSettings::IniFormat);
        for (const QString &key : keys)
            merged.setValue(key, users.value(key));
        merged.sync();
        if (merged.status() != QSettings::NoError)
            return QByteArray();
    }
    QFile result(mergedPath);
    return result.open(QIODevice::ReadOnly) ? result.readAll() : QByteArray();
}

} // namespace UsersFiles
