#include "producticon.h"

namespace ProductIcon {

QIcon forWindows()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/img/img/ico-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace ProductIcon
