#pragma once

#include <QPoint>

class QMouseEvent;
class QWidget;

// Moves a frameless window by its background with the left button: the offset of the mouse from the
// window's frame corner, taken at the press, is kept for every move until the release.
class WindowDrag final
{
public:
    void press(QWidget *window, QMouseEvent *event);
    void move(QWidget *window, QMouseEvent *event);
    void release(QMouseEvent *event);

private:
    // (-1, -1) while no drag is under way.
    QPoint offset{0, 0};
};
