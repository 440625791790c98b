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
    timerId = startTimer(20);
}

void ScrollLabel::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != timerId) {
        QLabel::timerEvent(event);
        return;
    }
    advance();
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
    repaint();
}

void ScrollLabel::showText(const QString &text)
{
    setText(text);
    // Grow or shrink to the left: the right edge stays where the window put it.
    const int width = std::max(1, fontMetrics().horizontalAdvance(text));
    const int right = x() + this->width();
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
    if (hovered && resting) {
        const int tw = fontMetrics().horizontalAdvance(text());
        painter.drawLine(w - tw, h - 4, w + tw, h - 4);
    }
    const int offset = resting ? 0 : countdown;
    painter.drawText(QRect(0, offset, w, h), Qt::AlignRight | Qt::AlignVCenter, text());
}

void ScrollLabel::enterEvent(QEnterEvent *)
{
    hovered = true;
    repaint();
}

void ScrollLabel::leaveEvent(QEvent *)
{
    hovered = false;
    repaint();
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
