#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What in a program folder is the user's rather than the release's, and how it crosses to the new
// version.
namespace UsersFiles {

// The settings file that both sides have: merged, not carried.
inline const QString Settings = QStringLiteral("config.ini");

// The entries of the live folder that move into the new one: everything the new release does not
// ship (a web profile, files the user put there), except the settings file, which is merged, and
// what only lived for one update (the fetched configurations, the downloaded package and its parts).
QStringList carried(const QStringList &liveNames, const QStringList &releaseNames, const QString &packageName);

// The new release's settings with every key the user's file sets: the user's values win, keys new in
// the release are added. Empty when `user` holds no key.
QByteArray mergedSettings(const QByteArray &user, const QByteArray &release);

} // namespace UsersFiles
