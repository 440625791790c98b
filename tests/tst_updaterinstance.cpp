// Two starts of the real updater: the second brings the first forward and ends.
#include "processtest.h"

#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

class TestUpdaterInstance : public QObject
{
    Q_OBJECT

private slots:
    void secondStart_bringsTheFirstForwardAndEnds();
};

void TestUpdaterInstance::secondStart_bringsTheFirstForwardAndEnds()
{
    // A configuration server that accepts and never answers keeps the first updater checking.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
    ProcessTest test;
    QProcessEnvironment env = test.environment();
    env.insert(QStringLiteral("ORVANE_UPDATE_SERVER_URL"),
               QStringLiteral("http://127.0.0.1:%1").arg(silent.serverPort()));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("orvane.updater.info=true"));
    QProcess *first = test.start(QStringLiteral(RENOVO_PATH), {}, env);
    QTRY_VERIFY(silent.hasPendingConnections() || silent.waitForNewConnection(100));

    QProcess *second = test.start(QStringLiteral(RENOVO_PATH), {}, env);
    QVERIFY(second->waitForFinished(5000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QVERIFY2(ProcessTest::waitForOutput(first, QStringLiteral("brought forward")),
             qPrintable(ProcessTest::output(first)));
    QCOMPARE(first->state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TestUpdaterInstance)
#include "tst_updaterinstance.moc"
