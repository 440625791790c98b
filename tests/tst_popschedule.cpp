#include "popschedule.h"

#include <QTest>

class TestPopSchedule : public QObject
{
    Q_OBJECT

private slots:
    void dueTicks_data();
    void dueTicks();
    void waitsForTheServerConfiguration();
};

// Runs a schedule for `ticks` seconds after the fetch ended and lists the ticks (1-based) with a pop-up.
static QList<int> dueTicks(int delay, int period, int ticks)
{
    PopSchedule schedule;
    QList<int> due;
    for (int tick = 1; tick <= ticks; ++tick) {
        if (schedule.tick(true, delay, period))
            due << tick;
    }
    return due;
}

void TestPopSchedule::dueTicks_data()
{
    QTest::addColumn<int>("delay");
    QTest::addColumn<int>("period");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("defaults give one pop-up") << 180 << 0 << 2000 << QList<int>{180};
    QTest::newRow("30 then every 600") << 30 << 600 << 1900 << QList<int>{30, 630, 1230, 1830};
    QTest::newRow("delay of one, period below a minute") << 1 << 1 << 130 << QList<int>{1, 61, 121};
    QTest::newRow("period of a minute") << 2 << 60 << 130 << QList<int>{2, 62, 122};
    QTest::newRow("no delay, no pop-ups") << 0 << 600 << 2000 << QList<int>{};
    QTest::newRow("negative delay, no pop-ups") << -5 << 10 << 100 << QList<int>{};
}

void TestPopSchedule::dueTicks()
{
    QFETCH(int, delay);
    QFETCH(int, period);
    QFETCH(int, ticks);
    QFETCH(QList<int>, expected);
    QCOMPARE(::dueTicks(delay, period, ticks), expected);
}

void TestPopSchedule::waitsForTheServerConfiguration()
{
    PopSchedule schedule;
    for (int i = 0; i < 500; ++i)
        QVERIFY(!schedule.tick(false, 3, 0));
    // The countdown only starts with the first tick after the fetch has ended.
    QVERIFY(!schedule.tick(true, 3, 0));
    QVERIFY(!schedule.tick(true, 3, 0));
    QVERIFY(schedule.tick(true, 3, 0));
    for (int i = 0; i < 500; ++i)
        QVERIFY(!schedule.tick(true, 3, 0));
}

QTEST_APPLESS_MAIN(TestPopSchedule)
#include "tst_popschedule.moc"
