#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

// Where the main window and the windows opened over it appear. Plain geometry, so that every case
// (several screens, panels, a scale factor that makes the window larger than the screen) is reachable
// without a display.
namespace WindowPlacement {

struct Screen
{
    QRect geometry;
    QRect available;
};

// Frame corner of a window of `window` size centred on an available area of `available` size, lifted by
// 30 pixels. The area's origin is deliberately not added.
QPoint startPosition(const QSize &available, const QSize &window);

// Moves a window of `frame` size at `pos` the least needed to lie inside `available`. A window larger
// than the area keeps its top edge and its right end (the title bar's own buttons) on it, since its
// title bar is where it is dragged and closed from.
QPoint clamped(const QRect &available, const QSize &frame, const QPoint &pos);

// Where the main window opens: at `remembered` when that point still lies on one of `screens`,
// otherwise at `formula` (computed for the first screen, the primary); either way clamped to the
// available area of the screen it lands on.
QPoint opening(const QList<Screen> &screens, const std::optional<QPoint> &remembered, const QPoint &formula,
               const QSize &frame);

// A window of `size` centred over `over`, clamped to `available`.
QPoint centredOver(const QRect &over, const QSize &size, const QRect &available);

// The user's own record of the main window's last position: "window.ini" in the user's config folder.
QString defaultFile();
std::optional<QPoint> remembered(const QString &file);
bool remember(const QString &file, const QPoint &pos);

} // namespace WindowPlacement
