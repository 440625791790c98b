// The message that the program goes on running in the tray is said once per user, not per start.
#include "traynotice.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestTrayNotice : public QObject
{
    Q_OBJECT

private slots:
    void firstHide_only_data();
    void firstHide_only();
};

void TestTrayNotice::firstHide_only_data()
{
    QTest::addColumn<bool>("recordedBefore");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("expectedFirst");
    QTest::newRow("a new user") << false << true << true;
    QTest::newRow("told in an earlier run") << true << true << false;
    QTest::newRow("a config folder that cannot be written") << false << false << true;
}

void TestTrayNotice::firstHide_only()
{
    QFETCH(bool, recordedBefore);
    QFETCH(bool, writable);
    QFETCH(bool, expectedFirst);
    QTemporaryDir dir;
    const QString file = writable ? dir.filePath(QStringLiteral("orvane/notices.ini"))
                                  : QStringLiteral("/proc/orvane-cannot-write/notices.ini");
    if (recordedBefore) {
        QVERIFY(TrayNotice::takeFirstTime(file));
        // A later run: the same file, read afresh.
        QVERIFY(QFile::exists(file));
        QFile(file).copy(dir.filePath(QStringLiteral("earlier.ini")));
        QCOMPARE(TrayNotice::takeFirstTime(dir.filePath(QStringLiteral("earlier.ini"))), expectedFirst);
        return;
    }
    QCOMPARE(TrayNotice::takeFirstTime(file), expectedFirst);
    // Never twice in one run.
    QCOMPARE(TrayNotice::takeFirstTime(file), false);
}

QTEST_GUILESS_MAIN(TestTrayNotice)
#include "tst_traynotice.moc"
