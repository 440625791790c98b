#include "windowplacement.h"

#include "programfolder.h"

#include <QDir>
#include <QSettings>

#include <algorithm>

namespace WindowPlacement {

namespace {
const QString PositionKey = QStringLiteral("MainWindow/position");
}

QPoint startPosition(const QSize &available, const QSize &window)
{
    return QPoint((available.width() - window.width()) / 2, (available.height() - window.height()) / 2 - 30);
}

QPoint clamped(const QRect &available, const QSize &frame, const QPoint &pos)
{
    int x = pos.x();
    int y = pos.y();
    if (frame.width() <= available.width())
        x = std::clamp(x, available.left(), available.right() + 1 - frame.width());
    else
        x = available.right() + 1 - frame.width();
    if (frame.height() <= available.height())
        y = std::clamp(y, available.top(), available.bottom() + 1 - frame.height());
    else
        y = available.top();
    return QPoint(x, y);
}

QPoint opening(const QList<Screen> &screens, const std::optional<QPoint> &remembered, const QPoint &formula,
               const QSize &frame)
{
    if (screens.isEmpty())
        return remembered.value_or(formula);
    if (remembered) {
        for (const Screen &screen : screens) {
            if (screen.geometry.contains(*remembered))
                return clamped(screen.available, frame, *remembered);
        }
    }
    return clamped(screens.first().available, frame, formula);
}

QPoint centredOver(const QRect &over, const QSize &size, const QRect &available)
{
    const QPoint corner(over.x() + (over.width() - size.width()) / 2, over.y() + (over.height() - size.height()) / 2);
    return available.isValid() ? clamped(available, size, corner) : corner;
}

QString defaultFile()
{
    return ProgramFolder::userConfigFolder() + QStringLiteral("/window.ini");
}

std::optional<QPoint> remembered(const QString &file)
{
    const QVariant value = QSettings(file, QSettings::IniFormat).value(PositionKey);
    if (value.typeId() != QMetaType::QPoint)
        return std::nullopt;
    return value.toPoint();
}

bool remember(const QString &file, const QPoint &pos)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(PositionKey, pos);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace WindowPlacement
