// When a download counts as stalled and a part as lagging, judged from bytes and moments alone.
#include "speedwatch.h"

#include <QTest>

class TestSpeedWatch : public QObject
{
    Q_OBJECT

private slots:
    void judgement_data();
    void judgement();
};

void TestSpeedWatch::judgement_data()
{
    QTest::addColumn<QList<int>>("speeds"); // bytes a second of each part, all started at 0
    QTest::addColumn<QList<int>>("endsAt"); // ms at which a part ends, -1: runs on
    QTest::addColumn<int>("judgedAt");      // ms
    QTest::addColumn<bool>("stalled");
    QTest::addColumn<int>("laggard");
    QTest::newRow("above the floor") << QList<int>{600, 600} << QList<int>{-1, -1} << 61000 << false << -1;
    QTest::newRow("below the floor for a window") << QList<int>{400, 400} << QList<int>{-1, -1} << 61000 << true << -1;
    QTest::newRow("below the floor, less than a window") << QList<int>{100} << QList<int>{-1} << 59000 << false << -1;
    QTest::newRow("nothing runs, nothing stalls") << QList<int>{100} << QList<int>{1000} << 61000 << false << -1;
    QTest::newRow("one part far behind") << QList<int>{8000, 8000, 8000, 900} << QList<int>{-1, -1, -1, -1} << 21000
                                         << false << 3;
    QTest::newRow("all alike") << QList<int>{1000, 1000, 1000} << QList<int>{-1, -1, -1} << 21000 << false << -1;
    QTest::newRow("behind by less than the ratio")
        << QList<int>{8000, 8000, 1100} << QList<int>{-1, -1, -1} << 21000 << false << -1;
    QTest::newRow("behind the others that have ended")
        << QList<int>{8000, 8000, 500} << QList<int>{5000, 5000, -1} << 21000 << false << 2;
    QTest::newRow("far behind, less than a window")
        << QList<int>{8000, 500} << QList<int>{-1, -1} << 19000 << false << -1;
}

void TestSpeedWatch::judgement()
{
    QFETCH(QList<int>, speeds);
    QFETCH(QList<int>, endsAt);
    QFETCH(int, judgedAt);
    QFETCH(bool, stalled);
    QFETCH(int, laggard);
    SpeedWatch watch(SpeedRules{60000, 1024, 8, 20000});
    watch.restart(0);
    for (int part = 0; part < speeds.size(); ++part)
        watch.partStarted(part, 0);
    for (int ms = 100; ms <= judgedAt; ms += 100) {
        for (int part = 0; part < speeds.size(); ++part) {
            if (endsAt.at(part) >= 0 && ms > endsAt.at(part))
                continue;
            watch.add(part, speeds.at(part) / 10, ms);
            if (ms == endsAt.at(part))
                watch.partStopped(part, ms);
        }
    }
    QCOMPARE(watch.stalled(judgedAt), stalled);
    QCOMPARE(watch.laggard(judgedAt), laggard);
}

QTEST_APPLESS_MAIN(TestSpeedWatch)
#include "tst_speedwatch.moc"
