// Dragging a frameless window: the window system takes over only once the pointer has really moved.
#include "windowdrag.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace {

class DragWindow : public QWidget
{
public:
    WindowDrag drag;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        drag.press(this, event);
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        drag.move(this, event);
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        drag.release(event);
    }
};

int systemMoves = 0;

} // namespace

class TestWindowDrag : public QObject
{
    Q_OBJECT

private slots:
    void systemMove_startsOnlyPastTheDragDistance_data();
    void systemMove_startsOnlyPastTheDragDistance();

private:
    static void send(QWidget *target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
                     const QPoint &global);
};

void TestWindowDrag::send(QWidget *target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
                          const QPoint &global)
{
    QMouseEvent event(type, target->mapFromGlobal(global), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void TestWindowDrag::systemMove_startsOnlyPastTheDragDistance_data()
{
    // Moves in units of the platform's drag distance, as (x, y) steps from the press.
    QTest::addColumn<QList<QPointF>>("moves");
    QTest::addColumn<int>("expectedSystemMoves");
    QTest::newRow("a click") << QList<QPointF>{} << 0;
    QTest::newRow("a tremble within the distance") << QList<QPointF>{{0.4, 0}, {0, -0.4}, {0.3, 0.3}} << 0;
    QTest::newRow("moved past it") << QList<QPointF>{{0.5, 0}, {1.0, 0.5}} << 1;
    QTest::newRow("moved on after the hand-over") << QList<QPointF>{{2, 0}, {3, 1}, {4, 2}} << 1;
}

void TestWindowDrag::systemMove_startsOnlyPastTheDragDistance()
{
    QFETCH(QList<QPointF>, moves);
    QFETCH(int, expectedSystemMoves);
    DragWindow window;
    window.resize(200, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    systemMoves = 0;
    WindowDrag::systemMove = [](QWindow *) {
        ++systemMoves;
        return true;
    };
    const int distance = QApplication::startDragDistance();
    const QPoint start = window.mapToGlobal(QPoint(50, 50));
    send(&window, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, start);
    for (const QPointF &step : moves)
        send(&window, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, start + (step * distance).toPoint());
    send(&window, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, start);
    // After the release no move of a button held elsewhere may start one either.
    send(&window, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, start + QPoint(5, 5) * distance);
    WindowDrag::systemMove = nullptr;
    QCOMPARE(systemMoves, expectedSystemMoves);
}

QTEST_MAIN(TestWindowDrag)
#include "tst_windowdrag.moc"
