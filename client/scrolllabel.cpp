#include "scrolllabel.h"

#include "clientconfig.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>
#include <QUrl>

#include <algorithm>

ScrollLabel::ScrollLabel(QWidget *parent) : QLabel(parent), countdown(height())
{
    setAttribute(Qt::WA_MouseTracking);
}

ScrollLabel::~ScrollLabel()
{
    if (timerId != 0)
        killTimer(timerId);
}

void ScrollLabel::setADText(QString texts, QString links)
{
    textList += texts.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    linkList += links.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    // Empty entries keep their place so that texts and links stay paired, but are never shown; with
    // nothing to show the label stays blank.
    const bool anyText = std::any_of(textList.cbegin(), textList.cend(), [](const QString &t) {
        return !t.isEmpty();
    });
    if (texts.isEmpty() || !anyText || timerId != 0)
        return;
    showText(textList.value(currentIndex));
    schedule();
}

void ScrollLabel::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != timerId) {
        QLabel::timerEvent(event);
        return;
    }
    // One wake-up stands for the whole still phase.
    if (waiting) {
        countdown = 1;
        advance();
        return;
    }
    // Each frame of the slide covers FrameTicks steps: the window is composed anew for every frame,
    // and half the frames look the same at this speed.
    for (int tick = 0; tick < FrameTicks && !waiting && timerId != 0; ++tick)
        advance();
}

void ScrollLabel::schedule()
{
    // Only a text that slides in needs a tick; a still phase, visible or not, is waited out with a
    // single timer, so a resting label costs nothing.
    const bool moving = !notStarted && !resting;
    if (moving && timerId != 0 && !waiting)
        return;
    if (timerId != 0)
        killTimer(timerId);
    waiting = !moving;
    timerId = startTimer((moving ? FrameTicks : std::max(1, countdown)) * TickMs);
}

void ScrollLabel::advance()
{
    if (--countdown <= 0) {
        resting = !resting;
        const int h = height();
        if (resting) {
            countdown = int(clientConfig->textADSpeed * 2.5 * h);
        } else {
            countdown = h;
            notStarted = false;
            const int count = int(textList.size());
            for (int step = 0; step < count; ++step) {
                currentIndex = (currentIndex + 1) % count;
                if (!textList.at(currentIndex).isEmpty())
                    break;
            }
            showText(textList.value(currentIndex));
        }
    }
    if (!notStarted)
        update();
    if (timerId != 0)
        schedule();
}

void ScrollLabel::showText(const QString &text)
{
    setText(text);
    const int right = x() + this->width();
    // Right-aligned, the label never shows more than reaches its parent's left edge: only that end of
    // a long text is measured and drawn, so the cost of a frame does not grow with the text.
    const int room = parentWidget() ? std::max(1, right) : QWIDGETSIZE_MAX;
    const QFontMetrics metrics = fontMetrics();
    qsizetype tail = 64;
    while (tail < text.size() && metrics.horizontalAdvance(text.right(tail)) < room)
        tail *= 2;
    shownText = text.right(tail);
    shownWidth = std::min(room, metrics.horizontalAdvance(shownText));
    // Grow or shrink to the left: the right edge stays where the window put it.
    const int width = std::max(1, shownWidth);
    setGeometry(right - width, y(), width, height());
}

void ScrollLabel::paintEvent(QPaintEvent *)
{
    if (notStarted)
        return;
    QPainter painter(this);
    painter.setPen(Qt::white);
    const int w = width();
    const int h = height();
    if (hovered && resting)
        painter.drawLine(w - shownWidth, h - 4, w + shownWidth, h - 4);
    const int offset = resting ? 0 : countdown;
    painter.drawText(QRect(0, offset, w, h), Qt::AlignRight | Qt::AlignVCenter, shownText);
}

void ScrollLabel::enterEvent(QEnterEvent *)
{
    hovered = true;
    update();
}

void ScrollLabel::leaveEvent(QEvent *)
{
    hovered = false;
    update();
}

void ScrollLabel::mouseMoveEvent(QMouseEvent *)
{
    if (!notStarted)
        setCursor(Qt::PointingHandCursor);
}

void ScrollLabel::mousePressEvent(QMouseEvent *)
{
    if (notStarted)
        return;
    setCursor(Qt::PointingHandCursor);
    // The links come from the server: only web addresses are handed to the desktop.
    const QUrl link(linkList.value(currentIndex));
    const QString scheme = link.scheme();
    if (link.isValid() && !link.host().isEmpty() &&
        (scheme == QLatin1String("http") || scheme == QLatin1String("https")))
        QDesktopServices::openUrl(link);
}
