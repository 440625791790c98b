// The client's web engine flags: views of one site share a renderer unless a process model is chosen,
// and pages' garbage can be collected.
#include "engineflags.h"

#include <QTest>

class TestEngineFlags : public QObject
{
    Q_OBJECT

private slots:
    void sharedRenderers_data();
    void sharedRenderers();
    void collectableGarbage_data();
    void collectableGarbage();
};

void TestEngineFlags::sharedRenderers_data()
{
    QTest::addColumn<QByteArray>("given");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("none") << QByteArray() << QByteArray("--process-per-site");
    QTest::newRow("others kept") << QByteArray("--disable-gpu") << QByteArray("--disable-gpu --process-per-site");
    QTest::newRow("already per site") << QByteArray("--process-per-site") << QByteArray("--process-per-site");
    QTest::newRow("the user's own model wins")
        << QByteArray("--log-level=3 --single-process") << QByteArray("--log-level=3 --single-process");
    QTest::newRow("strict site isolation kept") << QByteArray("--site-per-process") << QByteArray("--site-per-process");
}

void TestEngineFlags::sharedRenderers()
{
    QFETCH(QByteArray, given);
    QFETCH(QByteArray, expected);
    QCOMPARE(EngineFlags::withSharedRenderers(given), expected);
}

void TestEngineFlags::collectableGarbage_data()
{
    QTest::addColumn<QByteArray>("given");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("none") << QByteArray() << QByteArray("--js-flags=--expose-gc");
    QTest::newRow("others kept") << QByteArray("--process-per-site")
                                 << QByteArray("--process-per-site --js-flags=--expose-gc");
    // Only one --js-flags counts, so the user's own stay as they are.
    QTest::newRow("the user's script flags win")
        << QByteArray("--js-flags=--max-old-space-size=64") << QByteArray("--js-flags=--max-old-space-size=64");
}

void TestEngineFlags::collectableGarbage()
{
    QFETCH(QByteArray, given);
    QFETCH(QByteArray, expected);
    QCOMPARE(EngineFlags::withCollectableGarbage(given), expected);
}

QTEST_GUILESS_MAIN(TestEngineFlags)
#include "tst_engineflags.moc"
