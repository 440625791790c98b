// What a user meets when the programs start: a failure said in plain words instead of an abort or
// silence, in the interface's language, and a log of the programs' own work.
#include "processtest.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void failure_isOneClearLine_data();
    void failure_isOneClearLine();
    void log_takesOurInfoWhileStderrStaysAsItWas();

private:
    static QString freeX11Display();
};

QString TestStartup::freeX11Display()
{
    for (int number = 4300; number < 4400; ++number) {
        if (!QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)) &&
            !QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
            return QStringLiteral(":%1").arg(number);
    }
    return QString();
}

void TestStartup::failure_isOneClearLine_data()
{
    QTest::addColumn<QString>("program");
    // Variables set ("NAME=value") or removed ("NAME") on top of the test environment.
    QTest::addColumn<QStringList>("change");
    QTest::addColumn<bool>("asRoot");
    QTest::addColumn<QStringList>("expected");
    const QStringList noDisplay{QStringLiteral("DISPLAY"), QStringLiteral("WAYLAND_DISPLAY"),
                                QStringLiteral("QT_QPA_PLATFORM")};
    const QString display = freeX11Display();
    const QStringList deadDisplay{QStringLiteral("QT_QPA_PLATFORM=xcb"), QStringLiteral("DISPLAY=") + display};
    QTest::newRow("client without a display")
        << QStringLiteral(ORVN_PATH) << noDisplay << false << QStringList{QStringLiteral("DISPLAY")};
    QTest::newRow("updater without a display")
        << QStringLiteral(RENOVO_PATH) << noDisplay << false << QStringList{QStringLiteral("DISPLAY")};
    QTest::newRow("client on a display nobody serves")
        << QStringLiteral(ORVN_PATH) << deadDisplay << false << QStringList{display};
    QTest::newRow("updater on a display nobody serves")
        << QStringLiteral(RENOVO_PATH) << deadDisplay << false << QStringList{display};
    const QStringList rootWithSandbox{QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX")};
    QTest::newRow("client as root, English")
        << QStringLiteral(ORVN_PATH) << (rootWithSandbox + QStringList{QStringLiteral("LANG=en_US.UTF-8")}) << true
        << QStringList{QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("Orvane TV")};
    QTest::newRow("client as root, Chinese")
        << QStringLiteral(ORVN_PATH) << (rootWithSandbox + QStringList{QStringLiteral("LANG=zh_CN.UTF-8")}) << true
        << QStringList{QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("Orvane网络电视")};
}

void TestStartup::failure_isOneClearLine()
{
    QFETCH(QString, program);
    QFETCH(QStringList, change);
    QFETCH(bool, asRoot);
    QFETCH(QStringList, expected);
    if (asRoot && ::geteuid() != 0)
        QSKIP("the web engine's refusal concerns root only");
    ProcessTest processes;
    QTemporaryDir state;
    QProcessEnvironment env = processes.environment();
    env.insert(QStringLiteral("XDG_STATE_HOME"), state.path());
    for (const QString &item : change) {
        if (item.contains(QLatin1Char('=')))
            env.insert(item.section(QLatin1Char('='), 0, 0), item.section(QLatin1Char('='), 1));
        else
            env.remove(item);
    }
    // As a user starts it: the locale of the row, no logging rules of the tests.
    env.remove(QStringLiteral("LC_ALL"));
    env.remove(QStringLiteral("LANGUAGE"));
    env.remove(QStringLiteral("QT_LOGGING_RULES"));
    QProcess *process = processes.start(program, {}, env);
    QVERIFY(process->waitForFinished(30000));
    QCOMPARE(process->exitStatus(), QProcess::NormalExit);
    QVERIFY(process->exitCode() != 0);
    const QString printed = QString::fromUtf8(process->readAllStandardError()).trimmed();
    QVERIFY2(!printed.contains(QLatin1Char('\n')), qPrintable(printed));
    for (const QString &text : expected)
        QVERIFY2(printed.contains(text), qPrintable(printed));
}

void TestStartup::log_takesOurInfoWhileStderrStaysAsItWas()
{
    ProcessTest processes;
    QTemporaryDir state;
    QProcessEnvironment env = processes.environment();
    env.insert(QStringLiteral("XDG_STATE_HOME"), state.path());
    env.remove(QStringLiteral("QT_LOGGING_RULES"));
    QProcess *first = processes.start(QStringLiteral(RENOVO_PATH), {}, env);
    QVERIFY(first->waitForStarted());
    const QString log = state.filePath(QStringLiteral("orvane/renovo.log"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(log), 10000); // its failed check is a warning
    // A second start brings the first forward, which the first notes at info level.
    QProcess *second = processes.start(QStringLiteral(RENOVO_PATH), {}, env);
    QVERIFY(second->waitForFinished(10000));
    auto logged = [&log] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    QTRY_VERIFY_WITH_TIMEOUT(logged().contains(QStringLiteral("info orvane.updater: brought forward")), 10000);
    QVERIFY(!ProcessTest::output(first).contains(QStringLiteral("brought forward")));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
