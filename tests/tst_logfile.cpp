// The programs' log: where it lives, what goes in, and that it never grows past its cap.
#include "logfile.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestLogFile : public QObject
{
    Q_OBJECT

private slots:
    void folder_followsTheStateHome_data();
    void folder_followsTheStateHome();
    void wanted_data();
    void wanted();
    void append_rotatesAtTheCapKeepingOneOlderLog();
};

void TestLogFile::folder_followsTheStateHome_data()
{
    QTest::addColumn<QString>("stateHome");
    QTest::addColumn<QString>("expected");
    QTest::newRow("set") << QStringLiteral("/var/tmp/state") << QStringLiteral("/var/tmp/state/orvane");
    QTest::newRow("unset") << QString() << QStringLiteral("/home/viewer/.local/state/orvane");
    QTest::newRow("relative, which the rules ignore")
        << QStringLiteral("state") << QStringLiteral("/home/viewer/.local/state/orvane");
}

void TestLogFile::folder_followsTheStateHome()
{
    QFETCH(QString, stateHome);
    QFETCH(QString, expected);
    QCOMPARE(LogFile::folderFor(stateHome, QStringLiteral("/home/viewer")), expected);
}

void TestLogFile::wanted_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("category");
    QTest::addColumn<bool>("expected");
    QTest::newRow("our info") << int(QtInfoMsg) << QByteArray("orvane.fetch") << true;
    QTest::newRow("our debug, once the rules let it through") << int(QtDebugMsg) << QByteArray("orvane.web") << true;
    QTest::newRow("a library's info") << int(QtInfoMsg) << QByteArray("qt.webenginecontext") << false;
    QTest::newRow("a library's debug") << int(QtDebugMsg) << QByteArray("default") << false;
    QTest::newRow("a library's warning") << int(QtWarningMsg) << QByteArray("qt.qpa.xcb") << true;
    QTest::newRow("a name that only starts alike") << int(QtInfoMsg) << QByteArray("orvanefake") << false;
}

void TestLogFile::wanted()
{
    QFETCH(int, type);
    QFETCH(QByteArray, category);
    QFETCH(bool, expected);
    QCOMPARE(LogFile::wanted(QtMsgType(type), category.constData()), expected);
}

void TestLogFile::append_rotatesAtTheCapKeepingOneOlderLog()
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("orvn.log"));
    const QByteArray line(99, 'x');
    const qint64 cap = 1000;
    for (int i = 0; i < 35; ++i)
        QVERIFY(LogFile::append(log, line + '\n', cap));
    // 3500 bytes written through a 1000-byte cap: the newest lines and one older log, nothing more.
    QVERIFY(QFileInfo(log).size() <= cap);
    QVERIFY(QFileInfo(log).size() > 0);
    QCOMPARE(QFileInfo(log + QStringLiteral(".1")).size(), cap);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

QTEST_GUILESS_MAIN(TestLogFile)
#include "tst_logfile.moc"
