#pragma once

#include <QLabel>
#include <QStringList>

// The one-line text advertisement: each text slides up into place, rests, and gives way to the next;
// a click opens the link of the text on show. The label keeps its right edge and grows to the left.
class ScrollLabel final : public QLabel
{
    Q_OBJECT

public:
    explicit ScrollLabel(QWidget *parent = nullptr);
    ~ScrollLabel() override;

    Q_DISABLE_COPY_MOVE(ScrollLabel)

    // Appends the ";"-separated texts and their links, in the same order, and starts scrolling.
    void setADText(QString texts, QString links);

    // One 20 ms step of the animation; the label's timer calls it, tests may call it directly.
    void advance();

    static constexpr int TickMs = 20;
    static constexpr int FrameTicks = 2;

    bool isResting() const
    {
        return resting;
    }
    bool hasStarted() const
    {
        return !notStarted;
    }
    int ticksLeft() const
    {
        return countdown;
    }

protected:
    void timerEvent(QTimerEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void showText(const QString &text);
    void schedule();

    QStringList textList;
    QStringList linkList;
    bool hovered = false;
    bool resting = false;
    bool notStarted = true;
    int currentIndex = 0;
    int countdown = 0;
    int timerId = 0;
    // The running timer waits out a whole still phase instead of ticking.
    bool waiting = false;
    // The part of the text that can show, and its width.
    QString shownText;
    int shownWidth = 0;
};
