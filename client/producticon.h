#pragma once

#include <QIcon>

namespace ProductIcon {

// The product's icon for windows, in the sizes window managers ask for. The 256 and 512 pixel
// drawings are left out: with them, _NET_WM_ICON grows past what one X11 request may carry, and the
// window ends up with no icon at all.
QIcon forWindows();

} // namespace ProductIcon
