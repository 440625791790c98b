#pragma once

#include <QPoint>

class QMouseEvent;
class QWidget;
class QWindow;

// Moves a frameless window by its background with the left button. Where the window system can move
// the window itself (Wayland compositors, X11 window managers) the drag is handed over to it, but only
// once the pointer has moved past the platform's drag distance while pressed: handed over at the press,
// a quick click leaves the window stuck to the pointer on X11. Otherwise the offset of the mouse from
// the window's frame corner, taken at the press, is kept for every move until the release.
class WindowDrag final
{
public:
    void press(QWidget *window, QMouseEvent *event);
    void move(QWidget *window, QMouseEvent *event);
    void release(QMouseEvent *event);

    // Asks the window system to take over a move; false where it cannot. Tests replace it.
    static inline bool (*systemMove)(QWindow *window) = nullptr;

private:
    // (-1, -1) while no drag is under way.
    QPoint offset{0, 0};
    QPoint pressedAt;
    // Pressed, but not yet moved past the drag distance.
    bool pending = false;
};
