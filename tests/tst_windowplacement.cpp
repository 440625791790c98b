// Where the main window and the windows opened over it appear: plain geometry, without a display.
#include "windowplacement.h"

#include <QTest>

Q_DECLARE_METATYPE(WindowPlacement::Screen)

class TestWindowPlacement : public QObject
{
    Q_OBJECT

private slots:
    void startPosition_data();
    void startPosition();
    void clampedToTheAvailableArea_data();
    void clampedToTheAvailableArea();
    void aboutWindow_centredOverTheMainWindow_data();
    void aboutWindow_centredOverTheMainWindow();
    void opening_data();
    void opening();
};

void TestWindowPlacement::startPosition_data()
{
    QTest::addColumn<QSize>("available");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("900 x 700") << QSize(900, 700) << QPoint(24, 20);
    QTest::newRow("full HD") << QSize(1920, 1040) << QPoint(534, 190);
    QTest::newRow("odd sizes truncate") << QSize(853, 601) << QPoint(0, -30);
    QTest::newRow("smaller screen truncates toward zero") << QSize(799, 500) << QPoint(-26, -80);
}

void TestWindowPlacement::startPosition()
{
    QFETCH(QSize, available);
    QFETCH(QPoint, expected);
    QCOMPARE(WindowPlacement::startPosition(available, QSize(852, 600)), expected);
}

void TestWindowPlacement::clampedToTheAvailableArea_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<QPoint>("expected");
    const QRect full(0, 0, 1280, 800);
    QTest::newRow("inside: unchanged") << full << QPoint(100, 50) << QPoint(100, 50);
    QTest::newRow("above and left: pulled in") << full << QPoint(-30, -40) << QPoint(0, 0);
    QTest::newRow("below and right: pulled in") << full << QPoint(1000, 700) << QPoint(428, 200);
    QTest::newRow("panel on top and left") << QRect(60, 27, 1220, 773) << QPoint(10, 10) << QPoint(60, 27);
    QTest::newRow("second screen on the right") << QRect(1280, 0, 1920, 1080) << QPoint(1000, 100) << QPoint(1280, 100);
    // Scale 2 on 1280 x 800: the window is larger than the screen both ways.
    QTest::newRow("larger than the screen: top and buttons on it")
        << QRect(0, 0, 640, 400) << QPoint(-106, -130) << QPoint(640 - 852, 0);
}

void TestWindowPlacement::clampedToTheAvailableArea()
{
    QFETCH(QRect, available);
    QFETCH(QPoint, pos);
    QFETCH(QPoint, expected);
    QCOMPARE(WindowPlacement::clamped(available, QSize(852, 600), pos), expected);
}

void TestWindowPlacement::aboutWindow_centredOverTheMainWindow_data()
{
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("centred") << QRect(100, 50, 852, 600) << QPoint(376, 250);
    QTest::newRow("main window half off the left: kept on the screen") << QRect(-700, 50, 852, 600) << QPoint(0, 250);
    QTest::newRow("main window on a second screen") << QRect(1300, 0, 852, 600) << QPoint(1576, 200);
}

void TestWindowPlacement::aboutWindow_centredOverTheMainWindow()
{
    QFETCH(QRect, main);
    QFETCH(QPoint, expected);
    const QRect available = main.left() >= 1280 ? QRect(1280, 0, 1920, 1080) : QRect(0, 0, 1280, 800);
    QCOMPARE(WindowPlacement::centredOver(main, QSize(300, 200), available), expected);
}

void TestWindowPlacement::opening_data()
{
    using Screens = QList<WindowPlacement::Screen>;
    QTest::addColumn<Screens>("screens");
    QTest::addColumn<QPoint>("remembered"); // (-9999, -9999): nothing remembered
    QTest::addColumn<QPoint>("expected");
    const Screens one{{QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1040)}};
    const Screens two = one + Screens{{QRect(1920, 0, 1280, 1024), QRect(1920, 0, 1280, 1024)}};
    const QPoint none(-9999, -9999);
    const QPoint formula(534, 190);
    QTest::newRow("nothing remembered: formula") << one << none << formula;
    QTest::newRow("remembered on the screen") << one << QPoint(40, 60) << QPoint(40, 60);
    QTest::newRow("remembered on the second screen") << two << QPoint(2000, 300) << QPoint(2000, 300);
    QTest::newRow("second screen gone: formula") << one << QPoint(2000, 300) << formula;
    QTest::newRow("remembered near the edge: clamped") << two << QPoint(3000, 900) << QPoint(3200 - 852, 1024 - 600);
}

void TestWindowPlacement::opening()
{
    QFETCH(QList<WindowPlacement::Screen>, screens);
    QFETCH(QPoint, remembered);
    QFETCH(QPoint, expected);
    const std::optional<QPoint> saved =
        remembered == QPoint(-9999, -9999) ? std::nullopt : std::optional<QPoint>(remembered);
    const QPoint formula = WindowPlacement::startPosition(screens.first().available.size(), QSize(852, 600));
    QCOMPARE(WindowPlacement::opening(screens, saved, formula, QSize(852, 600)), expected);
}

QTEST_APPLESS_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
