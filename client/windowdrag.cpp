#include "windowdrag.h"

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
    QWindow *native = window->windowHandle();
    if (native && (systemMove ? systemMove : startSystemMove)(native)) {
        offset = NoDrag;
        return;
    }
    offset = event->globalPosition().toPoint() - window->frameGeometry().topLeft();
}

void WindowDrag::move(QWidget *window, QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton) {
        if (offset != NoDrag)
            window->move(event->globalPosition().toPoint() - offset);
        event->accept();
    }
}

void WindowDrag::release(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        offset = NoDrag;
        event->accept();
    }
}
