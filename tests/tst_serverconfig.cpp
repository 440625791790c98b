// The rules by which the server's configuration replaces the advertisement settings, and when a failed
// fetch of it is tried again: no network needed.
#include "clientconfig.h"
#include "retryschedule.h"
#include "serverconfig.h"

#include <QTemporaryDir>
#include <QTest>

class TestServerConfig : public QObject
{
    Q_OBJECT

private slots:
    void applyServerFile_takesOnlyUsableValues_data();
    void applyServerFile_takesOnlyUsableValues();
    void retryDelay_doublesFrom30sUpTo30min_data();
    void retryDelay_doublesFrom30sUpTo30min();
    void retrySchedule_isDueOnceAfterItsDelayInTicks();

private:
    QTemporaryDir dir;
};

void TestServerConfig::applyServerFile_takesOnlyUsableValues_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("positive delay taken") << QByteArray("popDelayTime=30") << "popDelayTime" << QVariant(30);
    QTest::newRow("zero delay ignored") << QByteArray("popDelayTime=0") << "popDelayTime" << QVariant(180);
    QTest::newRow("negative speed ignored") << QByteArray("textADSpeed=-2") << "textADSpeed" << QVariant(5);
    QTest::newRow("huge speed capped") << QByteArray("textADSpeed=99999999") << "textADSpeed" << QVariant(3600);
    QTest::newRow("non-number ignored") << QByteArray("popstayTime=soon") << "popstayTime" << QVariant(60);
    QTest::newRow("period taken") << QByteArray("popPeriod=600") << "popPeriod" << QVariant(600);
    QTest::newRow("quoted texts taken") << QByteArray("textADStr=\"甲;乙\"") << "textADStr"
                                        << QVariant(QStringLiteral("甲;乙"));
    QTest::newRow("unquoted comma kept whole")
        << QByteArray("textADStr=欢迎, 收看") << "textADStr" << QVariant(QStringLiteral("欢迎, 收看"));
    QTest::newRow("unquoted comma without space kept exactly")
        << QByteArray("textADStr=a,b") << "textADStr" << QVariant(QStringLiteral("a,b"));
    QTest::newRow("unquoted commas in an address kept exactly")
        << QByteArray("popUrl=http://127.0.0.1/p?ids=1,2,,3") << "popUrl"
        << QVariant(QStringLiteral("http://127.0.0.1/p?ids=1,2,,3"));
    QTest::newRow("only the general part counts") << QByteArray("[Other]\ntextADStr=u,v\n[General]\ntextADStr=x,y")
                                                  << "textADStr" << QVariant(QStringLiteral("x,y"));
    QTest::newRow("empty banner keeps the local page")
        << QByteArray("bannerADUrl=") << "bannerADUrl" << QVariant(QStringLiteral("<local>"));
    QTest::newRow("web banner taken") << QByteArray("bannerADUrl=http://127.0.0.1/b.html") << "bannerADUrl"
                                      << QVariant(QStringLiteral("http://127.0.0.1/b.html"));
    QTest::newRow("upper-case scheme is still the web") << QByteArray("popUrl=HTTP://127.0.0.1/p.html") << "popUrl"
                                                        << QVariant(QStringLiteral("HTTP://127.0.0.1/p.html"));
    QTest::newRow("script banner ignored")
        << QByteArray("bannerADUrl=javascript:alert(1)") << "bannerADUrl" << QVariant(QStringLiteral("<local>"));
    QTest::newRow("file pop-up ignored") << QByteArray("popUrl=file:///etc/passwd") << "popUrl" << QVariant(QString());
    QTest::newRow("ftp pop-up ignored") << QByteArray("popUrl=ftp://127.0.0.1/x") << "popUrl" << QVariant(QString());
    QTest::newRow("relative pop-up ignored") << QByteArray("popUrl=pop.html") << "popUrl" << QVariant(QString());
}

void TestServerConfig::applyServerFile_takesOnlyUsableValues()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, field);
    QFETCH(QVariant, expected);
    const QString path = dir.filePath(QStringLiteral("keys.ini"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("[General]\n" + file + "\nAppVersion=9.9\n");
    out.close();
    ClientConfig c;
    const QString localBanner = c.bannerADUrl;

    QCOMPARE(ServerConfig::apply(path, c), QStringLiteral("9.9"));
    const QHash<QString, QVariant> fields{
        {QStringLiteral("popDelayTime"), c.popDelayTime},
        {QStringLiteral("popstayTime"), c.popstayTime},
        {QStringLiteral("popPeriod"), c.popPeriod},
        {QStringLiteral("textADSpeed"), c.textADSpeed},
        {QStringLiteral("textADStr"), c.textADStr},
        {QStringLiteral("popUrl"), c.popUrl},
        {QStringLiteral("bannerADUrl"), c.bannerADUrl == localBanner ? QStringLiteral("<local>") : c.bannerADUrl}};
    QCOMPARE(fields.value(field), expected);
}

void TestServerConfig::retryDelay_doublesFrom30sUpTo30min_data()
{
    QTest::addColumn<int>("failures");
    QTest::addColumn<int>("seconds");
    QTest::newRow("first failure") << 1 << 30;
    QTest::newRow("second") << 2 << 60;
    QTest::newRow("third") << 3 << 120;
    QTest::newRow("sixth") << 6 << 960;
    QTest::newRow("seventh reaches the cap") << 7 << 1800;
    QTest::newRow("long after: still the cap") << 200 << 1800;
}

void TestServerConfig::retryDelay_doublesFrom30sUpTo30min()
{
    QFETCH(int, failures);
    QFETCH(int, seconds);
    QCOMPARE(RetrySchedule::delaySeconds(failures), seconds);
}

void TestServerConfig::retrySchedule_isDueOnceAfterItsDelayInTicks()
{
    RetrySchedule schedule;
    QVERIFY(!schedule.tick()); // nothing failed yet
    for (int failure = 1; failure <= 3; ++failure) {
        schedule.failed();
        const int delay = RetrySchedule::delaySeconds(failure);
        for (int second = 1; second < delay; ++second)
            QVERIFY2(!schedule.tick(), qPrintable(QString::number(second)));
        QVERIFY(schedule.tick());
        QVERIFY(!schedule.isWaiting());
        QVERIFY(!schedule.tick());
    }
}

QTEST_GUILESS_MAIN(TestServerConfig)
#include "tst_serverconfig.moc"
