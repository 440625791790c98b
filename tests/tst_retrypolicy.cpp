// The download's decisions that need no network: when to ask again, after how long, what a 200 to a
// range means, whether a saved state may continue, and how speed and time left are told.
#include "resumestate.h"
#include "retrypolicy.h"
#include "transferrate.h"

#include <QTemporaryDir>
#include <QTest>

using RetryPolicy::Fault;

Q_DECLARE_METATYPE(Fault)

namespace {
const QDateTime Now = QDateTime(QDate(2026, 12, 7), QTime(12, 0), Qt::UTC);
} // namespace

class TestRetryPolicy : public QObject
{
    Q_OBJECT

private slots:
    void backoff_doublesUpToItsCapWithJitterBelowIt_data();
    void backoff_doublesUpToItsCapWithJitterBelowIt();
    void retryAfter_isHonouredUpToOneMinute_data();
    void retryAfter_isHonouredUpToOneMinute();
    void fullAnswerToARange_meansWholePackageChangedOrNoRanges_data();
    void fullAnswerToARange_meansWholePackageChangedOrNoRanges();
    void savedState_continuesOnlyTheSamePackage_data();
    void savedState_continuesOnlyTheSamePackage();
    void savedState_survivesAWriteAndReadBack();
    void speedAndTimeLeft_followTheLastSeconds();
};

void TestRetryPolicy::backoff_doublesUpToItsCapWithJitterBelowIt_data()
{
    QTest::addColumn<int>("retry");
    QTest::addColumn<int>("full"); // the wait before jitter
    QTest::newRow("first") << 1 << 500;
    QTest::newRow("second") << 2 << 1000;
    QTest::newRow("fifth") << 5 << 8000;
    QTest::newRow("capped") << 7 << 16000;
    QTest::newRow("far beyond, no overflow") << 200 << 16000;
}

void TestRetryPolicy::backoff_doublesUpToItsCapWithJitterBelowIt()
{
    QFETCH(int, retry);
    QFETCH(int, full);
    const RetryPolicy::Schedule schedule;
    QCOMPARE(RetryPolicy::backoffMs(schedule, retry, 1.0), full);
    QCOMPARE(RetryPolicy::backoffMs(schedule, retry, 0.0), full / 2);
    const int middle = RetryPolicy::backoffMs(schedule, retry, 0.5);
    QVERIFY(middle > full / 2 && middle < full);
}

void TestRetryPolicy::retryAfter_isHonouredUpToOneMinute_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QByteArray>("retryAfter");
    QTest::addColumn<int>("delay");
    QTest::newRow("503, seconds") << Fault::Busy << QByteArray("3") << 3000;
    QTest::newRow("503, HTTP date") << Fault::Busy << QByteArray("Mon, 07 Dec 2026 12:00:20 GMT") << 20000;
    QTest::newRow("503, date past") << Fault::Busy << QByteArray("Mon, 07 Dec 2026 11:00:00 GMT") << 0;
    QTest::newRow("503, an hour: capped") << Fault::Busy << QByteArray("3600") << 60000;
    QTest::newRow("503, seconds whose milliseconds wrap negative: capped")
        << Fault::Busy << QByteArray("9223372036854776") << 60000;
    QTest::newRow("503, unreadable: backoff") << Fault::Busy << QByteArray("soon") << 500;
    QTest::newRow("503, none: backoff") << Fault::Busy << QByteArray() << 500;
    QTest::newRow("reset ignores it") << Fault::Broken << QByteArray("30") << 500;
}

void TestRetryPolicy::retryAfter_isHonouredUpToOneMinute()
{
    QFETCH(Fault, fault);
    QFETCH(QByteArray, retryAfter);
    QFETCH(int, delay);
    QCOMPARE(RetryPolicy::delayMs(RetryPolicy::Schedule(), fault, 1, 1.0, retryAfter, Now), delay);
}

void TestRetryPolicy::fullAnswerToARange_meansWholePackageChangedOrNoRanges_data()
{
    QTest::addColumn<QByteArray>("sentIfRange");
    QTest::addColumn<QByteArray>("etag");
    QTest::addColumn<bool>("fromStart");
    QTest::addColumn<qint64>("length");
    QTest::addColumn<Fault>("fault");
    QTest::newRow("first part, whole package") << QByteArray() << QByteArray() << true << qint64(999) << Fault::None;
    QTest::newRow("first part, other length") << QByteArray() << QByteArray() << true << qint64(998) << Fault::NoRanges;
    QTest::newRow("later part") << QByteArray() << QByteArray() << false << qint64(999) << Fault::NoRanges;
    QTest::newRow("If-Range, same version")
        << QByteArray("\"a\"") << QByteArray("\"a\"") << false << qint64(999) << Fault::NoRanges;
    QTest::newRow("If-Range, other version")
        << QByteArray("\"a\"") << QByteArray("\"b\"") << true << qint64(999) << Fault::Changed;
}

void TestRetryPolicy::fullAnswerToARange_meansWholePackageChangedOrNoRanges()
{
    QFETCH(QByteArray, sentIfRange);
    QFETCH(QByteArray, etag);
    QFETCH(bool, fromStart);
    QFETCH(qint64, length);
    QFETCH(Fault, fault);
    QCOMPARE(RetryPolicy::faultOfFullAnswer(sentIfRange, etag, QByteArray(), fromStart, length, 999), fault);
}

void TestRetryPolicy::savedState_continuesOnlyTheSamePackage_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QByteArray>("etag");
    QTest::addColumn<int>("ageDays");
    QTest::addColumn<qint64>("partFileSize");
    QTest::addColumn<bool>("continues");
    const QString url = QStringLiteral("http://h/p.exe");
    QTest::newRow("same package") << url << qint64(1000) << QByteArray("\"v1\"") << 1 << qint64(1000) << true;
    QTest::newRow("other address") << "http://h/q.exe" << qint64(1000) << QByteArray("\"v1\"") << 1 << qint64(1000)
                                   << false;
    QTest::newRow("other size") << url << qint64(1001) << QByteArray("\"v1\"") << 1 << qint64(1000) << false;
    QTest::newRow("other version") << url << qint64(1000) << QByteArray("\"v2\"") << 1 << qint64(1000) << false;
    QTest::newRow("7 days old") << url << qint64(1000) << QByteArray("\"v1\"") << 7 << qint64(1000) << false;
    QTest::newRow("saved in the future") << url << qint64(1000) << QByteArray("\"v1\"") << -1 << qint64(1000) << false;
    QTest::newRow("part file shorter than claimed")
        << url << qint64(1000) << QByteArray("\"v1\"") << 1 << qint64(700) << false;
}

void TestRetryPolicy::savedState_continuesOnlyTheSamePackage()
{
    QFETCH(QString, url);
    QFETCH(qint64, size);
    QFETCH(QByteArray, etag);
    QFETCH(int, ageDays);
    QFETCH(qint64, partFileSize);
    QFETCH(bool, continues);
    ResumeState state;
    state.url = QStringLiteral("http://h/p.exe");
    state.size = 1000;
    state.etag = "\"v1\"";
    state.saved = Now.addDays(-ageDays);
    state.parts = {{{0, 499}, 500}, {{500, 999}, 250}}; // the second part reached byte 749
    const QString why = ResumeStateFile::rejectResume(state, url, size, etag, QByteArray(), partFileSize, Now);
    QVERIFY2(why.isEmpty() == continues, qPrintable(why));
}

void TestRetryPolicy::savedState_survivesAWriteAndReadBack()
{
    QTemporaryDir dir;
    ResumeState state;
    state.url = QStringLiteral("http://h/p.exe");
    state.size = (qint64(1) << 53) + 3; // beyond what a JSON number holds exactly
    state.lastModified = "Mon, 07 Dec 2026 11:00:00 GMT";
    state.sha256 = QByteArray(64, 'a');
    state.saved = Now;
    state.parts = {{{0, state.size / 2}, 17}, {{state.size / 2 + 1, state.size - 1}, state.size / 4}};
    const QString path = ResumeStateFile::statePath(dir.filePath(QStringLiteral("p.exe.part")));
    QVERIFY(ResumeStateFile::write(path, state));
    ResumeState back;
    QVERIFY(ResumeStateFile::read(path, &back));
    QVERIFY(
        ResumeStateFile::rejectResume(back, state.url, state.size, QByteArray(), state.lastModified, state.size, Now)
            .isEmpty());
    QCOMPARE(back.doneBytes(), state.doneBytes());
    QCOMPARE(back.sha256, state.sha256);
}

void TestRetryPolicy::speedAndTimeLeft_followTheLastSeconds()
{
    TransferRate rate;
    rate.add(0, 0);
    QCOMPARE(rate.secondsLeft(1000), -1); // nothing to tell yet
    // A slow start, then 1 MiB/s: after the window only the recent speed counts.
    rate.add(1000, 1000);
    for (qint64 ms = 2000; ms <= 10000; ms += 1000)
        rate.add(1000 + (ms - 1000) / 1000 * 1048576, ms);
    QCOMPARE(qRound(rate.bytesPerSecond()), 1048576);
    QCOMPARE(rate.secondsLeft(rate.bytesPerSecond() * 20 + 1000 + 9 * 1048576), 20);
    QCOMPARE(TransferText::speed(rate.bytesPerSecond()), QStringLiteral("1.0 MB/s"));
    QCOMPARE(TransferText::duration(185), QStringLiteral("3 分 05 秒"));
}

QTEST_GUILESS_MAIN(TestRetryPolicy)
#include "tst_retrypolicy.moc"
