// What the programs print while starting: quiet by default, everything with ORVANE_VERBOSE.
#include "startuplogging.h"

#include <QTest>

class TestStartupLogging : public QObject
{
    Q_OBJECT

private slots:
    void verbose_data();
    void verbose();
    void engineFlags_data();
    void engineFlags();
};

void TestStartupLogging::verbose_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("expected");
    QTest::newRow("unset") << QByteArray() << false;
    QTest::newRow("zero") << QByteArray("0") << false;
    QTest::newRow("one") << QByteArray("1") << true;
    QTest::newRow("any other word") << QByteArray("yes") << true;
}

void TestStartupLogging::verbose()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, expected);
    if (value.isNull())
        qunsetenv("ORVANE_VERBOSE");
    else
        qputenv("ORVANE_VERBOSE", value);
    QCOMPARE(StartupLogging::verbose(), expected);
    qunsetenv("ORVANE_VERBOSE");
}

void TestStartupLogging::engineFlags_data()
{
    QTest::addColumn<QByteArray>("given");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("none") << QByteArray() << QByteArray("--log-level=3");
    QTest::newRow("others kept") << QByteArray("--disable-gpu") << QByteArray("--disable-gpu --log-level=3");
    QTest::newRow("a level of the user's own wins") << QByteArray("--log-level=0") << QByteArray("--log-level=0");
    QTest::newRow("logging asked for") << QByteArray("--enable-logging=stderr --v=1")
                                       << QByteArray("--enable-logging=stderr --v=1");
}

void TestStartupLogging::engineFlags()
{
    QFETCH(QByteArray, given);
    QFETCH(QByteArray, expected);
    QCOMPARE(StartupLogging::quietEngineFlags(given), expected);
}

QTEST_GUILESS_MAIN(TestStartupLogging)
#include "tst_startuplogging.moc"
