#pragma once

#include <QString>

class ClientConfig;

namespace Skins {

// Number of skins offered by the chooser; indexes run from 1 to Count.
constexpr int Count = 9;

// Image path of skin `index` as configured: the folder followed directly by the file name. Empty for
// an index outside 1..Count, which is what a missing or damaged config.ini leaves behind.
QString imagePath(const ClientConfig &config, int index);

// Style sheet of a chooser button showing the skin at `imagePath`. A picture made for the button
// (thumbs/<name>.png beside the skin) is preferred; otherwise the whole skin is drawn with 50-pixel
// slices, which shows little more than its corners.
QString pictureStyleSheet(const QString &imagePath);

// The main window's style sheet for `path`: the image when a file exists there, else the built-in skin.
QString windowStyleSheet(const QString &path);

} // namespace Skins
