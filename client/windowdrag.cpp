#include "windowdrag.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace {
const QPoint NoDrag(-1, -1);

bool startSystemMove(QWindow *window)
{
    return window->startSystemMove();
}
} // namespace

void WindowDrag::press(QWidget *window, QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    event->accept();
    pressedAt = event->globalPosition().toPoint();
    offset = pressedAt - window->frameGeometry().topLeft();
    pending = true;
}

void WindowDrag::move(QWidget *window, QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    event->accept();
    if (offset == NoDrag)
        return;
    const QPoint at = event->globalPosition().toPoint();
    if (pending) {
        if ((at - pressedAt).manhattanLength() < QApplication::startDragDistance())
            return;
        pending = false;
        QWindow *native = window->windowHandle();
        if (native && (systemMove ? systemMove : startSystemMove)(native)) {
            offset = NoDrag;
            return;
        }
    }
    window->move(at - offset);
}

void WindowDrag::release(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        offset = NoDrag;
        pending = false;
        event->accept();
    }
}
