#include "windowdrag.h"

#include <QMouseEvent>
#include <QWidget>

namespace {
const QPoint NoDrag(-1, -1);
}

void WindowDrag::press(QWidget *window, QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        offset = event->globalPosition().toPoint() - window->frameGeometry().topLeft();
        event->accept();
    }
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
