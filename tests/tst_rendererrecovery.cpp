// When a web view whose renderer ended is loaded again.
#include "rendererrecovery.h"

#include <QTest>

class TestRendererRecovery : public QObject
{
    Q_OBJECT

private slots:
    void rendererRecovery_reloadsAtOnceThenWithPausesThenGivesUp_data();
    void rendererRecovery_reloadsAtOnceThenWithPausesThenGivesUp();
};

void TestRendererRecovery::rendererRecovery_reloadsAtOnceThenWithPausesThenGivesUp_data()
{
    QTest::addColumn<QList<qint64>>("endings");
    QTest::addColumn<QList<qint64>>("delays");
    const qint64 window = RendererRecovery::WindowMs;
    QTest::newRow("at once, then pauses, then no more")
        << QList<qint64>{0, 10, 20, 30} << QList<qint64>{0, 2000, 8000, -1};
    QTest::newRow("a try counts for five minutes")
        << QList<qint64>{0, 10, 20, window + 5} << QList<qint64>{0, 2000, 8000, 8000};
    QTest::newRow("after five quiet minutes, at once again")
        << QList<qint64>{0, 10, 20, window + 20} << QList<qint64>{0, 2000, 8000, 0};
    QTest::newRow("refusals use up no try")
        << QList<qint64>{0, 1, 2, 3, 4, window + 1} << QList<qint64>{0, 2000, 8000, -1, -1, 2000};
}

void TestRendererRecovery::rendererRecovery_reloadsAtOnceThenWithPausesThenGivesUp()
{
    QFETCH(QList<qint64>, endings);
    RendererRecovery recovery(2000);
    QList<qint64> delays;
    for (qint64 at : endings)
        delays << recovery.nextDelay(at);
    QTEST(delays, "delays");
}

QTEST_APPLESS_MAIN(TestRendererRecovery)
#include "tst_rendererrecovery.moc"
