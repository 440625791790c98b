#pragma once

#include <QString>

class ClientConfig;

// Which page the main window's page area loads: the four channel pages from the configuration, and
// the local pages delivered beside the program that stand in while they load or when they fail.
namespace ChannelPages {

constexpr int Count = 4;
// Loads of a local page that may fail in a row before the area gives up on it.
constexpr int MaxErrorRounds = 3;

// Address of channel page `page` (1 to Count) as configured; empty for any other number.
QString address(const ClientConfig &config, int page);
// The delivered local page `name`, in html/ of the program's folder (the current folder); its English
// twin in html/en/ where the interface is English.
QString localPage(const QString &name);
// The local page that stands in for channel page `page` when it fails.
QString errorPage(int page);

} // namespace ChannelPages
