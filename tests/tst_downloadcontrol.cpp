// The five-part download against an honest nginx and against a server that misbehaves on purpose.
#include "download.h"
#include "downloadcontrol.h"
#include "downloadplan.h"
#include "faultserver.h"
#include "fixture.h"
#include "nginxserver.h"
#include "resumestate.h"
#include "testfiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

using TestFiles::contentOf;

QByteArray package(qint64 size, quint32 seed = 7)
{
    QList<quint32> words((size + 3) / 4);
    QRandomGenerator(seed).fillRange(words.data(), words.size());
    return QByteArray(reinterpret_cast<const char *>(words.constData()), size);
}

QByteArray sha256(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

HttpAnswer withStatus(int status)
{
    HttpAnswer answer;
    answer.status = status;
    return answer;
}

// The same schedule as the program's, with short waits.
const RetryPolicy::Schedule FastRetries{5, 20, 200, 60000};
// For faults that recur however often they are retried.
const RetryPolicy::Schedule OneRetry{1, 20, 200, 60000};
// Long enough that no answer of the test's own server is taken for a stall on a loaded machine, where
// a size request that stalls would fail the download before it begins.
constexpr int SureStallMs = 1000;

enum class Fault {
    IgnoresRange,
    WrongContentRange,
    OtherPackageSize,
    CutShort,
    ResetMidPart,
    StallMidPart,
    StallBeforeAnswer,
    LongBody,
    NotFound,
    ServerError,
    Compressed,
    ServerErrorOnce,
    BusyOnce,
    ResetEveryAnswer,
};

// Runs `control` on `url` until half of `size` bytes have arrived, where the tests then drop it as a
// closed, killed or crashed updater ends.
bool runUntilHalfWay(DownloadControl &control, const QString &url, qint64 size)
{
    QSignalSpy progress(&control, &DownloadControl::FileDownloadProgress);
    control.FetchFile(url, 5, QString());
    return QTest::qWaitFor([&] {
        return !progress.isEmpty() && progress.last().at(0).toLongLong() >= size / 2 - 5;
    });
}

} // namespace

using Failure = DownloadControl::Failure;
using Ranges = FaultServer::Ranges;

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Failure)
Q_DECLARE_METATYPE(Ranges)

class TestDownloadControl : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Good downloads
    void nginx_fivePartsGiveTheSameBytesAndFullProgress();
    void requests_askExactRangesWithoutCompression();
    void ifRange_neverNamesAWeakETag_data();
    void ifRange_neverNamesAWeakETag();
    void smallChunks_landAtTheirOffsets();
    void worker_writesOnlyItsOwnRange();
    void partsEndingInAnyOrder_finishOnceAfterTheLast_data();
    void partsEndingInAnyOrder_finishOnceAfterTheLast();
    void existingFile_isReplacedOnlyByAGoodDownload_data();
    void existingFile_isReplacedOnlyByAGoodDownload();
    void twoDownloadsOfOnePackage_doNotSpoilEachOther();
    void headWithoutLength_fetchesOnePlainStreamedGet_data();
    void headWithoutLength_fetchesOnePlainStreamedGet();
    void matchingSha256_isAccepted();
    void failedDownload_canBeRetried();

    // Faults: a reported failure, no file left, never a wrong file
    void faultyPart_failsAndLeavesNoFile_data();
    void faultyPart_failsAndLeavesNoFile();
    void plainGetFaults_failAndLeaveNoFile_data();
    void plainGetFaults_failAndLeaveNoFile();
    void unreachableServer_fails();
    void packageOfAnotherSize_isRefusedWithoutFetchingMore_data();
    void packageOfAnotherSize_isRefusedWithoutFetchingMore();
    void wrongSha256_failsAndRemovesTheFile();
    void badInput_failsWithoutTouchingAnything_data();
    void badInput_failsWithoutTouchingAnything();
    void destroyedWhileRunning_keepsThePartOnlyWhenItCanContinue_data();
    void destroyedWhileRunning_keepsThePartOnlyWhenItCanContinue();

    // Broken connections, servers without ranges, restarts, mirrors
    void brokenPart_isAskedAgainFromTheByteItReached_data();
    void brokenPart_isAskedAgainFromTheByteItReached();
    void brokenPart_usesUpItsRetriesUnlessARequestBrought256KiB_data();
    void brokenPart_usesUpItsRetriesUnlessARequestBrought256KiB();
    void brokenPlainGet_pausesOrContinuesWithRanges_data();
    void brokenPlainGet_pausesOrContinuesWithRanges();
    void serverWithoutRanges_getsOneStreamedGet_data();
    void serverWithoutRanges_getsOneStreamedGet();
    void restart_continuesOnlyTheSamePackage_data();
    void restart_continuesOnlyTheSamePackage();
    void mirrors_shareThePartsAndStandInForOneThatFails_data();
    void mirrors_shareThePartsAndStandInForOneThatFails();
    void diskFullDuringAResumedPart_failsAndKeepsWhatArrived();

    // Slow servers
    void slowServer_getsFreshConnectionsOnceThenFails_data();
    void slowServer_getsFreshConnectionsOnceThenFails();

private:
    // Runs one download to its end; false when FileDownloadFinished() did not come exactly once.
    bool run(DownloadControl &control, const QString &url, QSignalSpy *progress = nullptr,
             const RetryPolicy::Schedule &schedule = FastRetries);
    // run() on the package the test's server serves.
    bool fetch(DownloadControl &control, const FaultServer &server, QSignalSpy *progress = nullptr,
               const RetryPolicy::Schedule &schedule = FastRetries)
    {
        return run(control, server.url(QStringLiteral("/p.bin")), progress, schedule);
    }
    static HttpAnswer faulty(Fault fault, const QByteArray &content, const HttpRequest &request);
    QStringList leftFiles() const;

    std::unique_ptr<QTemporaryDir> dir;
    QString previousDir;
};

void TestDownloadControl::init()
{
    dir = std::make_unique<QTemporaryDir>();
    previousDir = QDir::currentPath();
    QDir::setCurrent(dir->path());
}

void TestDownloadControl::cleanup()
{
    QDir::setCurrent(previousDir);
    dir.reset();
}

bool TestDownloadControl::run(DownloadControl &control, const QString &url, QSignalSpy *progress,
                              const RetryPolicy::Schedule &schedule)
{
    QSignalSpy finished(&control, &DownloadControl::FileDownloadFinished);
    std::unique_ptr<QSignalSpy> ownProgress;
    if (!progress) {
        ownProgress = std::make_unique<QSignalSpy>(&control, &DownloadControl::FileDownloadProgress);
        progress = ownProgress.get();
    }
    control.SetRetrySchedule(schedule);
    control.FetchFile(url, 5, QString());
    if (!finished.wait(20000))
        return false;
    // A second end would be queued by now, or follow an abort that is: a pass or two of the loop shows it.
    QTest::qWait(20);
    return finished.size() == 1;
}

QStringList TestDownloadControl::leftFiles() const
{
    return QDir(dir->path()).entryList(QDir::Files | QDir::Hidden);
}

// Good downloads

void TestDownloadControl::nginx_fivePartsGiveTheSameBytesAndFullProgress()
{
    ORVANE_REQUIRE_FIXTURE(NginxServer::isAvailable(), "nginx");
    QTemporaryDir served;
    const QByteArray content = package(3 * 1024 * 1024 + 7);
    QFile file(served.filePath(QStringLiteral("Setup-1.2.0.21131.exe")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    NginxServer nginx;
    QVERIFY2(nginx.start(served.path()), qPrintable(nginx.errorLog()));

    DownloadControl control;
    QSignalSpy progress(&control, &DownloadControl::FileDownloadProgress);
    QVERIFY(run(control, nginx.url(QStringLiteral("/Setup-1.2.0.21131.exe")), &progress));
    QVERIFY2(control.ErrorString().isEmpty(), qPrintable(control.ErrorString()));
    QCOMPARE(control.OutputFileName(), QStringLiteral("Setup-1.2.0.21131.exe"));
    QCOMPARE(sha256(contentOf(control.OutputFileName())), sha256(content));
    QVERIFY(progress.size() >= 5);
    QCOMPARE(progress.last().at(0).toLongLong(), content.size());
    QCOMPARE(progress.last().at(1).toLongLong(), content.size());
}

void TestDownloadControl::requests_askExactRangesWithoutCompression()
{
    const QByteArray content = package(999);
    FaultServer server;
    QVERIFY(server.startServing(content));
    DownloadControl control;
    QVERIFY(fetch(control, server));
    QVERIFY(control.ErrorString().isEmpty());

    QStringList ranges;
    for (const HttpRequest &request : server.requests()) {
        QCOMPARE(request.header("accept-encoding"), QByteArray("identity"));
        if (request.method == "GET")
            ranges << QString::fromLatin1(request.header("range"));
        else
            QCOMPARE(request.method, QByteArray("HEAD"));
    }
    ranges.sort();
    QCOMPARE(ranges, QStringList({"bytes=0-198", "bytes=199-398", "bytes=399-598", "bytes=599-798", "bytes=799-998"}));
    QCOMPARE(server.requests().first().method, QByteArray("HEAD"));
}

void TestDownloadControl::ifRange_neverNamesAWeakETag_data()
{
    QTest::addColumn<QByteArray>("etag");
    QTest::addColumn<QByteArray>("lastModified");
    QTest::addColumn<QByteArray>("ifRange");
    const QByteArray date = "Mon, 07 Dec 2026 11:00:00 GMT";
    QTest::newRow("strong ETag") << QByteArray("\"v1\"") << date << QByteArray("\"v1\"");
    QTest::newRow("weak ETag and Last-Modified: the date") << QByteArray("W/\"v1\"") << date << date;
    QTest::newRow("weak ETag alone: none") << QByteArray("W/\"v1\"") << QByteArray() << QByteArray();
}

void TestDownloadControl::ifRange_neverNamesAWeakETag()
{
    QFETCH(QByteArray, etag);
    QFETCH(QByteArray, lastModified);
    QFETCH(QByteArray, ifRange);
    const QByteArray content = package(300000);
    FaultServer server;
    QVERIFY(server.start([&](const HttpRequest &request) {
        // As HTTP has it: an If-Range that is neither the strong ETag nor the date gets the whole package.
        const QByteArray asked = request.header("if-range");
        const bool matches = asked.isEmpty() || asked == lastModified || (asked == etag && !etag.startsWith("W/"));
        HttpRequest plain = request;
        plain.headers.removeIf([&](const QPair<QByteArray, QByteArray> &header) {
            return header.first == "if-range" || (!matches && header.first == "range");
        });
        HttpAnswer answer = FaultServer::honest(content, plain, Ranges::Any, etag);
        if (!lastModified.isEmpty())
            answer.headers.append(qMakePair(QByteArray("Last-Modified"), lastModified));
        return answer;
    }));
    DownloadControl control;
    QVERIFY(fetch(control, server));
    QVERIFY2(control.ErrorString().isEmpty(), qPrintable(control.ErrorString()));
    QVERIFY(control.FetchedInRanges());
    QCOMPARE(contentOf(QStringLiteral("p.bin")), content);
    for (const HttpRequest &request : server.requests()) {
        if (!request.header("range").isEmpty())
            QCOMPARE(request.header("if-range"), ifRange);
    }
}

void TestDownloadControl::smallChunks_landAtTheirOffsets()
{
    const QByteArray content = package(9999, 3);
    FaultServer server;
    server.setChunkSize(7);
    QVERIFY(server.startServing(content, [&](const HttpRequest &, HttpAnswer &answer) {
        answer.chunkDelayMs = 1;
    }));
    DownloadControl control;
    QSignalSpy progress(&control, &DownloadControl::FileDownloadProgress);
    QVERIFY(fetch(control, server, &progress));
    QVERIFY2(control.ErrorString().isEmpty(), qPrintable(control.ErrorString()));
    QCOMPARE(contentOf(QStringLiteral("p.bin")), content);
    QCOMPARE(progress.last().at(0).toLongLong(), 9999);
}

void TestDownloadControl::worker_writesOnlyItsOwnRange()
{
    const QByteArray content = package(999);
    FaultServer server;
    server.setChunkSize(13);
    QVERIFY(server.startServing(content, [&](const HttpRequest &, HttpAnswer &answer) {
        answer.chunkDelayMs = 1;
        answer.holdAfter = 100; // so that the part surely arrives in more than one piece
    }));
    QFile file(QStringLiteral("shared.bin"));
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.write(QByteArray(999, 'x'));

    Download worker(2);
    QSignalSpy bytes(&worker, &Download::HaveDoneBytes);
    QSignalSpy finished(&worker, &Download::DownloadFinished);
    worker.FetchRange(QUrl(server.url(QStringLiteral("/p.bin"))), &file, 199, 398, 999);
    QTRY_VERIFY(!bytes.isEmpty());
    server.resumeHeld();
    QVERIFY(finished.wait(10000));
    QVERIFY2(worker.Succeeded(), qPrintable(worker.ErrorString()));
    qint64 sum = 0;
    for (const QList<QVariant> &report : bytes)
        sum += report.at(0).toLongLong();
    QCOMPARE(sum, 200);
    QVERIFY(bytes.size() > 1);
    file.close();

    const QByteArray written = contentOf(QStringLiteral("shared.bin"));
    QCOMPARE(written.left(199), QByteArray(199, 'x'));
    QCOMPARE(written.mid(199, 200), content.mid(199, 200));
    QCOMPARE(written.mid(399), QByteArray(600, 'x'));

    // A late readyRead after the end changes nothing.
    worker.HttpReadyRead();
    QCOMPARE(finished.size(), 1);
}

void TestDownloadControl::partsEndingInAnyOrder_finishOnceAfterTheLast_data()
{
    QTest::addColumn<QList<int>>("delays"); // per part, ms before the answer starts
    QTest::newRow("in order") << QList<int>{0, 40, 80, 120, 160};
    QTest::newRow("reverse") << QList<int>{160, 120, 80, 40, 0};
    QTest::newRow("middle last") << QList<int>{0, 40, 200, 40, 0};
    QTest::newRow("all together") << QList<int>{0, 0, 0, 0, 0};
}

void TestDownloadControl::partsEndingInAnyOrder_finishOnceAfterTheLast()
{
    QFETCH(QList<int>, delays);
    const QByteArray content = package(50000);
    const QList<ByteRange> ranges = DownloadPlan::partition(content.size(), 5);
    FaultServer server;
    server.setChunkSize(1000);
    QVERIFY(server.startServing(content, [&](const HttpRequest &request, HttpAnswer &answer) {
        qint64 first = 0;
        qint64 last = 0;
        if (FaultServer::requestedRange(request, &first, &last)) {
            for (int i = 0; i < ranges.size(); ++i) {
                if (ranges.at(i).first == first)
                    answer.delayMs = delays.at(i);
            }
        }
    }));

    DownloadControl control;
    QStringList events;
    connect(&control, &DownloadControl::FileDownloadFinished, this, [&] {
        // The file is complete and closed by now.
        events << (contentOf(QStringLiteral("p.bin")) == content ? QStringLiteral("all") : QStringLiteral("all-early"));
    });
    QSignalSpy finished(&control, &DownloadControl::FileDownloadFinished);
    control.FetchFile(server.url(QStringLiteral("/p.bin")), 5, QString());
    const QList<Download *> workers = control.findChildren<Download *>();
    QCOMPARE(workers.size(), 5);
    for (Download *worker : workers) {
        connect(worker, &Download::DownloadFinished, this, [&events, worker] {
            events << QStringLiteral("part%1").arg(worker->PartNumber());
        });
    }
    QVERIFY(finished.wait(10000));
    QTest::qWait(20); // as in run(): a second end would show by now
    QCOMPARE(finished.size(), 1);
    QCOMPARE(events.size(), 6);
    QCOMPARE(events.last(), QStringLiteral("all"));
    QCOMPARE(control.OutputFileName(), QStringLiteral("p.bin"));
}

void TestDownloadControl::existingFile_isReplacedOnlyByAGoodDownload_data()
{
    QTest::addColumn<bool>("good");
    QTest::newRow("good download") << true;
    QTest::newRow("failed checksum") << false;
}

void TestDownloadControl::existingFile_isReplacedOnlyByAGoodDownload()
{
    QFETCH(bool, good);
    const QByteArray content = package(999);
    FaultServer server;
    QVERIFY(server.startServing(content));
    const QByteArray previous(5000, 'o');
    QFile old(QStringLiteral("p.bin"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(previous);
    old.close();

    DownloadControl control;
    if (!good)
        control.SetExpectedSha256(QString::fromLatin1(sha256("something else")));
    QVERIFY(fetch(control, server));
    QCOMPARE(control.OutputFileName().isEmpty(), !good);
    QCOMPARE(contentOf(QStringLiteral("p.bin")), good ? content : previous);
    QCOMPARE(leftFiles(), QStringList{QStringLiteral("p.bin")});
}

void TestDownloadControl::twoDownloadsOfOnePackage_doNotSpoilEachOther()
{
    const QByteArray content = package(300000);
    FaultServer server;
    int answered = 0;
    QVERIFY(server.startServing(content, [&](const HttpRequest &, HttpAnswer &answer) {
        answer.chunkSize = 4096;
        // The second download (after the first's HEAD and five parts) is the slower one, so the first
        // ends while the second is still writing.
        answer.chunkDelayMs = ++answered <= 6 ? 10 : 40;
    }));
    DownloadControl first;
    DownloadControl second;
    first.SetExpectedSha256(QString::fromLatin1(sha256(content)));
    second.SetExpectedSha256(QString::fromLatin1(sha256(content)));
    QSignalSpy firstDone(&first, &DownloadControl::FileDownloadFinished);
    QSignalSpy secondDone(&second, &DownloadControl::FileDownloadFinished);
    first.FetchFile(server.url(QStringLiteral("/p.bin")), 5, QString());
    QTRY_COMPARE(server.requests().size(), 6); // the first's HEAD and parts are all the server's first answers
    second.FetchFile(server.url(QStringLiteral("/p.bin")), 5, QString());
    QTRY_VERIFY_WITH_TIMEOUT(firstDone.size() == 1 && secondDone.size() == 1, 20000);
    QVERIFY2(first.ErrorString().isEmpty(), qPrintable(first.ErrorString()));
    QVERIFY2(second.ErrorString().isEmpty(), qPrintable(second.ErrorString()));
    QCOMPARE(sha256(contentOf(QStringLiteral("p.bin"))), sha256(content));
    QCOMPARE(leftFiles(), QStringList{QStringLiteral("p.bin")});
}

void TestDownloadControl::headWithoutLength_fetchesOnePlainStreamedGet_data()
{
    QTest::addColumn<bool>("getHasLength");
    QTest::addColumn<qint64>("announcedSize");
    QTest::addColumn<bool>("succeeds");
    QTest::newRow("GET with Content-Length") << true << qint64(0) << true;
    QTest::newRow("GET ended by closing, size announced") << false << qint64(70000) << true;
    // Nothing proves that such a package is complete.
    QTest::newRow("GET ended by closing, no size anywhere") << false << qint64(0) << false;
    QTest::newRow("GET ended by closing, another size announced") << false << qint64(69999) << false;
}

void TestDownloadControl::headWithoutLength_fetchesOnePlainStreamedGet()
{
    QFETCH(bool, getHasLength);
    QFETCH(qint64, announcedSize);
    QFETCH(bool, succeeds);
    const QByteArray content = package(70000);
    FaultServer server;
    QVERIFY(server.startServing(content, [&](const HttpRequest &request, HttpAnswer &answer) {
        if (request.method == "HEAD" || !getHasLength)
            answer.sendContentLength = false;
        answer.chunkDelayMs = 10;
    }));
    DownloadControl control;
    control.SetExpectedSize(announcedSize);
    QSignalSpy progress(&control, &DownloadControl::FileDownloadProgress);
    QVERIFY(run(control, server.url(QStringLiteral("/soft/")), &progress));
    if (!succeeds) {
        QVERIFY(control.OutputFileName().isEmpty());
        QCOMPARE(control.FailureCause(), Failure::Check);
        QCOMPARE(leftFiles(), QStringList());
        return;
    }
    QVERIFY2(control.ErrorString().isEmpty(), qPrintable(control.ErrorString()));
    QCOMPARE(control.OutputFileName(), QStringLiteral("updatePack.exe"));
    QCOMPARE(contentOf(QStringLiteral("updatePack.exe")), content);
    QCOMPARE(server.requests().size(), 2);
    QCOMPARE(server.requests().at(1).method, QByteArray("GET"));
    QVERIFY(server.requests().at(1).header("range").isEmpty());
    QVERIFY(progress.size() > 1);
    QCOMPARE(progress.last().at(0).toLongLong(), content.size());
    QCOMPARE(progress.last().at(1).toLongLong(), announcedSize); // 0: unknown size, the bar shows busy
}

void TestDownloadControl::matchingSha256_isAccepted()
{
    const QByteArray content = package(999);
    FaultServer server;
    QVERIFY(server.startServing(content));
    DownloadControl control;
    control.SetExpectedSha256(QString::fromLatin1(sha256(content).toUpper()) + QLatin1Char(' '));
    QVERIFY(fetch(control, server));
    QVERIFY2(control.ErrorString().isEmpty(), qPrintable(control.ErrorString()));
    QCOMPARE(contentOf(QStringLiteral("p.bin")), content);
}

void TestDownloadControl::failedDownload_canBeRetried()
{
    const QByteArray content = package(999);
    bool broken = true;
    FaultServer server;
    QVERIFY(server.startServing(content, [&](const HttpRequest &request, HttpAnswer &answer) {
        if (broken && request.method == "GET")
            answer.status = 500;
    }));
    DownloadControl control;
    QVERIFY(fetch(control, server, nullptr, OneRetry));
    QVERIFY(control.OutputFileName().isEmpty());
    broken = false;
    QVERIFY(fetch(control, server));
    QCOMPARE(control.OutputFileName(), QStringLiteral("p.bin"));
    QCOMPARE(contentOf(QStringLiteral("p.bin")), content);
}

// Faults

HttpAnswer TestDownloadControl::faulty(Fault fault, const QByteArray &content, const HttpRequest &request)
{
    HttpAnswer answer = FaultServer::honest(content, request);
    qint64 first = 0;
    qint64 last = 0;
    // Only the third part misbehaves; the others are served well.
    if (!FaultServer::requestedRange(request, &first, &last) ||
        first != DownloadPlan::partition(content.size(), 5)[2].first)
        return answer;
    const QByteArray total = '/' + QByteArray::number(content.size());
    switch (fault) {
    case Fault::IgnoresRange:
        answer = HttpAnswer();
        answer.body = content;
        break;
    case Fault::WrongContentRange:
        answer.headers = {qMakePair(QByteArray("Content-Range"), "bytes " + QByteArray::number(first + 1) + '-' +
                                                                     QByteArray::number(last + 1) + total)};
        answer.body = content.mid(first + 1, last - first + 1);
        break;
    case Fault::OtherPackageSize:
        answer.headers = {qMakePair(QByteArray("Content-Range"), "bytes " + QByteArray::number(first) + '-' +
                                                                     QByteArray::number(last) + "/" +
                                                                     QByteArray::number(content.size() + 1))};
        break;
    case Fault::CutShort:
        answer.cutAfter = answer.body.size() / 2;
        answer.headers.append(qMakePair(QByteArray("Content-Length"), QByteArray::number(answer.body.size())));
        break;
    case Fault::ResetMidPart:
        answer.cutAfter = answer.body.size() / 2;
        answer.end = HttpAnswer::End::Reset;
        break;
    case Fault::StallMidPart:
        answer.cutAfter = answer.body.size() / 2;
        answer.end = HttpAnswer::End::Stall;
        break;
    case Fault::StallBeforeAnswer:
        answer.delayMs = 60000;
        break;
    case Fault::LongBody:
        answer.body += "and then some";
        break;
    case Fault::NotFound:
        answer = HttpAnswer();
        answer.status = 404;
        answer.body = "<html>not found</html>";
        break;
    case Fault::ServerError:
        answer = HttpAnswer();
        answer.status = 500;
        break;
    case Fault::Compressed:
        answer.headers.append(qMakePair(QByteArray("Content-Encoding"), QByteArray("gzip")));
        break;
    case Fault::ServerErrorOnce:
    case Fault::BusyOnce:
    case Fault::ResetEveryAnswer:
        break; // need to know earlier requests: see brokenPart_isAskedAgainFromTheByteItReached
    }
    return answer;
}

void TestDownloadControl::faultyPart_failsAndLeavesNoFile_data()
{
    // Faults that recur on every request for the part; passing ones are asked again (below).
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<Failure>("cause");
    QTest::newRow("Content-Range of other bytes") << Fault::WrongContentRange << Failure::Refused;
    QTest::newRow("Content-Range of another package size") << Fault::OtherPackageSize << Failure::Refused;
    QTest::newRow("stall before every answer") << Fault::StallBeforeAnswer << Failure::Unstable;
    QTest::newRow("longer body than the range") << Fault::LongBody << Failure::Refused;
    QTest::newRow("404 for one part") << Fault::NotFound << Failure::Refused;
    QTest::newRow("500 for one part, every time") << Fault::ServerError << Failure::Refused;
    QTest::newRow("compressed part") << Fault::Compressed << Failure::Refused;
}

void TestDownloadControl::faultyPart_failsAndLeavesNoFile()
{
    QFETCH(Fault, fault);
    QFETCH(Failure, cause);
    const QByteArray content = package(200000);
    FaultServer server;
    server.setChunkSize(4096);
    QVERIFY(server.start([&](const HttpRequest &request) {
        HttpAnswer answer = faulty(fault, content, request);
        answer.chunkDelayMs = 1;
        return answer;
    }));
    DownloadControl control;
    control.SetStallTimeout(SureStallMs);
    QVERIFY(fetch(control, server, nullptr, OneRetry));
    QVERIFY(control.OutputFileName().isEmpty());
    QVERIFY(!control.ErrorString().isEmpty());
    QCOMPARE(control.FailureCause(), cause);
    qInfo() << "reported:" << control.ErrorString();
    QCOMPARE(leftFiles(), QStringList());
}

void TestDownloadControl::plainGetFaults_failAndLeaveNoFile_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<qint64>("cutAfter");
    QTest::addColumn<int>("end");
    QTest::newRow("404") << 404 << qint64(-1) << int(HttpAnswer::End::Close);
    QTest::newRow("206 to a plain GET") << 206 << qint64(-1) << int(HttpAnswer::End::Close);
    QTest::newRow("cut short of its Content-Length") << 200 << qint64(30000) << int(HttpAnswer::End::Close);
    QTest::newRow("reset") << 200 << qint64(30000) << int(HttpAnswer::End::Reset);
    QTest::newRow("stall") << 200 << qint64(30000) << int(HttpAnswer::End::Stall);
}

void TestDownloadControl::plainGetFaults_failAndLeaveNoFile()
{
    QFETCH(int, status);
    QFETCH(qint64, cutAfter);
    QFETCH(int, end);
    const QByteArray content = package(70000);
    FaultServer server;
    QVERIFY(server.start([&](const HttpRequest &request) {
        HttpAnswer answer;
        answer.body = content;
        if (request.method == "HEAD") {
            answer.sendContentLength = false;
            return answer;
        }
        answer.status = status;
        answer.cutAfter = cutAfter;
        answer.end = HttpAnswer::End(end);
        answer.headers.append(qMakePair(QByteArray("Content-Length"), QByteArray::number(content.size())));
        return answer;
    }));
    DownloadControl control;
    // Short: every row fails anyway, so a stall seen too early under load changes nothing.
    control.SetStallTimeout(150);
    QVERIFY(fetch(control, server, nullptr, OneRetry));
    QVERIFY(control.OutputFileName().isEmpty());
    QCOMPARE(leftFiles(), QStringList());
}

void TestDownloadControl::unreachableServer_fails()
{
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();
    DownloadControl control;
    QVERIFY(run(control, QStringLiteral("http://127.0.0.1:%1/p.bin").arg(port)));
    QVERIFY(control.OutputFileName().isEmpty());
    QCOMPARE(leftFiles(), QStringList());
}

void TestDownloadControl::packageOfAnotherSize_isRefusedWithoutFetchingMore_data()
{
    QTest::addColumn<bool>("headTellsSize");
    QTest::addColumn<bool>("getTellsSize");
    QTest::newRow("HEAD tells another size") << true << true;
    QTest::newRow("HEAD refused, GET tells another size") << false << true;
    QTest::newRow("HEAD refused, GET tells no size") << false << false;
}

void TestDownloadControl::packageOfAnotherSize_isRefusedWithoutFetchingMore()
{
    QFETCH(bool, headTellsSize);
    QFETCH(bool, getTellsSize);
    const qint64 signedSize = 60000;
    const QByteArray content = package(5 * signedSize);
    FaultServer server;
    server.setChunkSize(4096);
    QVERIFY(server.startServing(content, [&](const HttpRequest &request, HttpAnswer &answer) {
        if (request.method == "HEAD" && !headTellsSize) {
            answer = withStatus(405);
            return;
        }
        answer.sendContentLength = getTellsSize;
        answer.chunkDelayMs = 1;
    }));
    DownloadControl control;
    control.SetExpectedSize(signedSize);
    QVERIFY(fetch(control, server));
    QVERIFY(control.OutputFileName().isEmpty());
    QCOMPARE(control.FailureCause(), Failure::Check);
    QVERIFY2(control.FetchedBytes() <= signedSize, qPrintable(QString::number(control.FetchedBytes())));
    if (headTellsSize)
        QCOMPARE(server.requests().size(), 1);
    QCOMPARE(leftFiles(), QStringList());
}

void TestDownloadControl::wrongSha256_failsAndRemovesTheFile()
{
    const QByteArray content = package(999);
    FaultServer server;
    QVERIFY(server.startServing(content));
    DownloadControl control;
    control.SetExpectedSha256(QString::fromLatin1(sha256("something else")));
    QVERIFY(fetch(control, server));
    QVERIFY(control.OutputFileName().isEmpty());
    QVERIFY(control.ErrorString().contains(QLatin1String("SHA-256")));
    QCOMPARE(leftFiles(), QStringList());
}

void TestDownloadControl::badInput_failsWithoutTouchingAnything_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("parts");
    QTest::addColumn<QString>("saveName");
    QTest::newRow("empty address") << "" << 5 << "";
    QTest::newRow("file address") << "file:///bin/sh" << 5 << "";
    QTest::newRow("ftp address") << "ftp://127.0.0.1/p.bin" << 5 << "";
    QTest::newRow("no parts") << "SERVER/p.bin" << 0 << "";
    QTest::newRow("output cannot be created") << "SERVER/p.bin" << 5 << "no/such/folder/p.bin";
    QTest::newRow("output is a folder") << "SERVER/p.bin" << 5 << ".";
}

void TestDownloadControl::badInput_failsWithoutTouchingAnything()
{
    QFETCH(QString, url);
    QFETCH(int, parts);
    QFETCH(QString, saveName);
    const QByteArray content = package(999);
    FaultServer server;
    QVERIFY(server.startServing(content));
    url.replace(QLatin1String("SERVER"), server.url());

    DownloadControl control;
    QSignalSpy finished(&control, &DownloadControl::FileDownloadFinished);
    control.FetchFile(url, parts, saveName);
    QCOMPARE(finished.size(), 0); // never from inside FetchFile
    QVERIFY(finished.wait(5000));
    QTest::qWait(20); // as in run(): a second end would show by now
    QCOMPARE(finished.size(), 1);
    QVERIFY(control.OutputFileName().isEmpty());
    QVERIFY(!control.ErrorString().isEmpty());
    QCOMPARE(leftFiles(), QStringList());
    for (const HttpRequest &request : server.requests())
        QCOMPARE(request.method, QByteArray("HEAD"));
}

void TestDownloadControl::destroyedWhileRunning_keepsThePartOnlyWhenItCanContinue_data()
{
    QTest::addColumn<QByteArray>("etag");
    QTest::newRow("server names the package's version") << QByteArray("\"v1\"");
    QTest::newRow("server gives no validator") << QByteArray();
}

void TestDownloadControl::destroyedWhileRunning_keepsThePartOnlyWhenItCanContinue()
{
    QFETCH(QByteArray, etag);
    const QByteArray content = package(200000);
    FaultServer server;
    QVERIFY(server.startServing(
        content,
        [&](const HttpRequest &, HttpAnswer &answer) {
            answer.cutAfter = answer.body.size() / 2;
            answer.end = HttpAnswer::End::Stall;
        },
        Ranges::Any, etag));
    auto control = std::make_unique<DownloadControl>();
    QVERIFY(runUntilHalfWay(*control, server.url(QStringLiteral("/p.bin")), content.size()));
    // The parts go into a file of the download's own, which takes the package's name only when done.
    QVERIFY2(leftFiles().contains(QStringLiteral("p.bin.part")), qPrintable(leftFiles().join(u' ')));
    control.reset();
    if (etag.isEmpty())
        QCOMPARE(leftFiles(), QStringList());
    else
        QCOMPARE(leftFiles(), QStringList({QStringLiteral("p.bin.part"), QStringLiteral("p.bin.part.state")}));
}

// Broken connections, servers without ranges, restarts, mirrors

void TestDownloadControl::brokenPart_isAskedAgainFromTheByteItReached_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::newRow("reset mid-part") << Fault::ResetMidPart;
    QTest::newRow("reset after 30000 bytes, every answer") << Fault::ResetEveryAnswer;
    QTest::newRow("cut short of its Content-Length") << Fault::CutShort;
    QTest::newRow("stall mid-part") << Fault::StallMidPart;
    QTest::newRow("500 once") << Fault::ServerErrorOnce;
    QTest::newRow("503 with Retry-After") << Fault::BusyOnce;
}

void TestDownloadControl::brokenPart_isAskedAgainFromTheByteItReached()
{
    QFETCH(Fault, fault);
    const QByteArray content = package(200000);
    const ByteRange third = DownloadPlan::partition(content.size(), 5).at(2);
    QList<qint64> thirdStarts; // where each request within the third part began
    QElapsedTimer sinceFirst;
    qint64 secondAfterMs = -1;
    FaultServer server;
    server.setChunkSize(4096);
    QVERIFY(server.start([&](const HttpRequest &request) {
        HttpAnswer answer = FaultServer::honest(content, request);
        answer.chunkDelayMs = 1;
        qint64 first = 0;
        qint64 last = 0;
        if (!FaultServer::requestedRange(request, &first, &last))
            return answer;
        if (fault == Fault::ResetEveryAnswer) {
            answer.cutAfter = 30000;
            answer.end = HttpAnswer::End::Reset;
        }
        if (first < third.first || first > third.last)
            return answer;
        thirdStarts << first - third.first;
        if (thirdStarts.size() == 2)
            secondAfterMs = sinceFirst.elapsed();
        if (thirdStarts.size() > 1 || fault == Fault::ResetEveryAnswer)
            return answer;
        sinceFirst.start();
        switch (fault) {
        case Fault::ServerErrorOnce:
            return withStatus(500);
        case Fault::BusyOnce: {
            HttpAnswer busy = withStatus(503);
            busy.headers = {qMakePair(QByteArray("Retry-After"), QByteArray("1"))};
            return busy;
        }
        default:
            return faulty(fault, content, request);
        }
    }));
    DownloadControl control;
    control.SetStallTimeout(SureStallMs);
    QVERIFY(fetch(control, server));
    QVERIFY2(control.ErrorString().isEmpty(), qPrintable(control.ErrorString()));
    QCOMPARE(contentOf(QStringLiteral("p.bin")), content);
    QCOMPARE(leftFiles(), QStringList{QStringLiteral("p.bin")});

    QVERIFY(thirdStarts.size() >= 2);
    QCOMPARE(thirdStarts.first(), 0);
    const bool bytesArrived = fault != Fault::ServerErrorOnce && fault != Fault::BusyOnce;
    // Nothing that arrived is asked for again.
    QCOMPARE(thirdStarts.at(1) > 0, bytesArrived);
    QVERIFY2(server.bodyBytesSent() <= content.size() * 11 / 10, qPrintable(QString::number(server.bodyBytesSent())));
    if (fault == Fault::BusyOnce)
        QVERIFY2(secondAfterMs >= 900, qPrintable(QString::number(secondAfterMs)));
}

void TestDownloadControl::brokenPart_usesUpItsRetriesUnlessARequestBrought256KiB_data()
{
    // Every request for a part breaks after `cutAfter` bytes, more often than the part may be retried in a row.
    QTest::addColumn<qint64>("cutAfter");
    QTest::addColumn<bool>("succeeds");
    QTest::newRow("breaks after progress: the retries start again") << qint64(600000) << true;
    QTest::newRow("breaks before 256 KiB: no progress, the retries run out") << qint64(200 * 1024) << false;
}

void TestDownloadControl::brokenPart_usesUpItsRetriesUnlessARequestBrought256KiB()
{
    QFETCH(qint64, cutAfter);
    QFETCH(bool, succeeds);
    const QByteArray content = package(5 * 1500000);
    FaultServer server;
    server.setChunkSize(64 * 1024);
    QVERIFY(server.startServing(content, [&](const HttpRequest &request, HttpAnswer &answer) {
        answer.chunkDelayMs = 1; // read as it comes, so the reset loses little on its way
        if (!request.header("range").isEmpty()) {
            answer.cutAfter = cutAfter;
            answer.end = HttpAnswer::End::Reset;
        }
    }));
    DownloadControl control;
    // One retry in a row, while each part breaks at least twice.
    QVERIFY(fetch(control, server, nullptr, OneRetry));
    if (!succeeds) {
        QCOMPARE(control.FailureCause(), Failure::Unstable);
        return;
    }
    QVERIFY2(control.ErrorString().isEmpty(), qPrintable(control.ErrorString()));
    QCOMPARE(sha256(contentOf(QStringLiteral("p.bin"))), sha256(content));
}

void TestDownloadControl::brokenPlainGet_pausesOrContinuesWithRanges_data()
{
    // The HEAD is refused; every answer resets after more than counts as progress.
    QTest::addColumn<Ranges>("ranges");
    QTest::addColumn<bool>("succeeds");
    // Each attempt starts again from byte 0: that is no progress, so the retries run out.
    QTest::newRow("GET without ranges") << Ranges::None << false;
    QTest::newRow("GET tells size, version and ranges") << Ranges::Any << true;
}

void TestDownloadControl::brokenPlainGet_pausesOrContinuesWithRanges()
{
    QFETCH(Ranges, ranges);
    QFETCH(bool, succeeds);
    const QByteArray content = package(1024 * 1024);
    FaultServer server;
    server.setChunkSize(64 * 1024);
    QVERIFY(server.startServing(
        content,
        [](const HttpRequest &request, HttpAnswer &answer) {
            if (request.method == "HEAD") {
                answer = withStatus(405);
                return;
            }
            answer.chunkDelayMs = 1;
            answer.cutAfter = 300 * 1024;
            answer.end = HttpAnswer::End::Reset;
        },
        ranges, "\"v1\""));
    DownloadControl control;
    control.SetExpectedSize(content.size());
    QVERIFY(fetch(control, server));
    const int gets = int(server.requests().size()) - 1;
    QVERIFY2(gets <= FastRetries.retries + 1, qPrintable(QString::number(gets)));
    if (!succeeds) {
        QCOMPARE(control.FailureCause(), Failure::Unstable);
        QCOMPARE(leftFiles(), QStringList());
        return;
    }
    QVERIFY2(control.ErrorString().isEmpty(), qPrintable(control.ErrorString()));
    QCOMPARE(contentOf(QStringLiteral("p.bin")), content);
    QVERIFY2(server.bodyBytesSent() <= content.size() * 11 / 10, qPrintable(QString::number(server.bodyBytesSent())));
}

void TestDownloadControl::serverWithoutRanges_getsOneStreamedGet_data()
{
    QTest::addColumn<Ranges>("ranges");
    QTest::addColumn<int>("rangedGets"); // at most
    QTest::addColumn<int>("plainGets");
    QTest::newRow("416 for the upper-case unit: ranges work") << Ranges::LowerCaseOnly << 5 << 0;
    QTest::newRow("Accept-Ranges: none") << Ranges::None << 0 << 1;
    // The first part's answer carries the whole package and is the download; no second fetch.
    QTest::newRow("200 for every range") << Ranges::Ignored << 5 << 0;
    QTest::newRow("416 for every range") << Ranges::Refused << 5 << 1;
}

void TestDownloadControl::serverWithoutRanges_getsOneStreamedGet()
{
    QFETCH(Ranges, ranges);
    QFETCH(int, rangedGets);
    QFETCH(int, plainGets);
    const QByteArray content = package(300000);
    FaultServer server;
    server.setChunkSize(4096);
    QVERIFY(server.startServing(
        content,
        [&](const HttpRequest &, HttpAnswer &answer) {
            answer.chunkDelayMs = 2;
        },
        ranges));
    DownloadControl control;
    QSignalSpy progress(&control, &DownloadControl::FileDownloadProgress);
    QVERIFY(fetch(control, server, &progress));
    QVERIFY2(control.ErrorString().isEmpty(), qPrintable(control.ErrorString()));
    QCOMPARE(contentOf(QStringLiteral("p.bin")), content);
    QCOMPARE(leftFiles(), QStringList{QStringLiteral("p.bin")});
    QCOMPARE(progress.last().at(0).toLongLong(), content.size());
    QCOMPARE(progress.last().at(1).toLongLong(), content.size());

    int ranged = 0;
    int plain = 0;
    for (const HttpRequest &request : server.requests()) {
        if (request.method == "GET")
            ++(request.header("range").isEmpty() ? plain : ranged);
    }
    // A fallback may stop parts whose requests have not gone out yet.
    QVERIFY2(ranged <= rangedGets && (ranged == 0) == (rangedGets == 0), qPrintable(QString::number(ranged)));
    QCOMPARE(plain, plainGets);
}

void TestDownloadControl::restart_continuesOnlyTheSamePackage_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("continues");
    QTest::newRow("same package") << "" << true;
    QTest::newRow("package changed between runs") << "etag" << false;
    QTest::newRow("package of the same name at another address") << "url" << false;
    QTest::newRow("state older than 7 days") << "age" << false;
    QTest::newRow("part of another signed release") << "release" << false;
    QTest::newRow("part file larger than the signed package") << "grown" << false;
}

void TestDownloadControl::restart_continuesOnlyTheSamePackage()
{
    QFETCH(QString, change);
    QFETCH(bool, continues);
    QByteArray content = package(400000);
    QByteArray etag = "\"v1\"";
    bool stalls = true;
    FaultServer server;
    server.setChunkSize(4096);
    // Both the package and its ETag change between the runs.
    QVERIFY(server.start([&](const HttpRequest &request) {
        HttpAnswer answer = FaultServer::honest(content, request, Ranges::Any, etag);
        if (stalls) {
            answer.cutAfter = answer.body.size() / 2;
            answer.end = HttpAnswer::End::Stall;
        }
        return answer;
    }));
    auto first = std::make_unique<DownloadControl>();
    first->SetSignedSha256(QString::fromLatin1(sha256(content)));
    QVERIFY(runUntilHalfWay(*first, server.url(QStringLiteral("/p.bin")), content.size()));
    first.reset(); // closed, killed or crashed: the state on disk is what counts

    QString url = server.url(QStringLiteral("/p.bin"));
    if (change == QLatin1String("etag")) {
        content = package(400000, 99);
        etag = "\"v2\"";
    } else if (change == QLatin1String("url")) {
        url = server.url(QStringLiteral("/other/p.bin"));
    } else if (change == QLatin1String("age")) {
        ResumeState state;
        QVERIFY(ResumeStateFile::read(QStringLiteral("p.bin.part.state"), &state));
        state.saved = QDateTime::currentDateTimeUtc().addDays(-ResumeStateFile::MaxAgeDays - 1);
        QVERIFY(ResumeStateFile::write(QStringLiteral("p.bin.part.state"), state));
    } else if (change == QLatin1String("grown")) {
        QFile part(QStringLiteral("p.bin.part"));
        QVERIFY(part.resize(content.size() + 1));
    }
    stalls = false;
    const qint64 sentBefore = server.bodyBytesSent();
    DownloadControl second;
    second.SetExpectedSize(content.size());
    second.SetSignedSha256(QString::fromLatin1(sha256(change == QLatin1String("release") ? "v2" : content)));
    QVERIFY(run(second, url));
    QVERIFY2(second.ErrorString().isEmpty(), qPrintable(second.ErrorString()));
    QCOMPARE(sha256(contentOf(QStringLiteral("p.bin"))), sha256(content));
    QCOMPARE(leftFiles(), QStringList{QStringLiteral("p.bin")});
    const qint64 fetchedAgain = server.bodyBytesSent() - sentBefore;
    if (continues)
        QVERIFY2(fetchedAgain <= content.size() * 6 / 10, qPrintable(QString::number(fetchedAgain)));
    else
        QCOMPARE(fetchedAgain, content.size());
}

void TestDownloadControl::mirrors_shareThePartsAndStandInForOneThatFails_data()
{
    QTest::addColumn<QString>("mirror");
    QTest::newRow("mirror serves") << "good";
    QTest::newRow("mirror is down") << "down";
    QTest::newRow("mirror answers 404") << "404";
    QTest::newRow("mirror resets every answer") << "reset";
    // Left like a broken one: the package itself has not changed.
    QTest::newRow("mirror serves another file") << "other file";
    // Only the server that named the version is asked with it (If-Range).
    QTest::newRow("main server fails after its HEAD, mirrors name other versions") << "main fails";
    // Far slower than the others: its parts go to them instead of holding the download for minutes.
    QTest::newRow("mirror trickles") << "trickles";
}

void TestDownloadControl::mirrors_shareThePartsAndStandInForOneThatFails()
{
    QFETCH(QString, mirror);
    const QByteArray content = package(300000);
    FaultServer primary;
    FaultServer second;
    FaultServer third;
    const bool mainFails = mirror == QLatin1String("main fails");
    QVERIFY(primary.start([&](const HttpRequest &request) {
        if (mainFails && request.method == "GET")
            return withStatus(404);
        return FaultServer::honest(content, request, Ranges::Any, "\"main\"");
    }));
    QVERIFY(second.start([&](const HttpRequest &request) {
        return FaultServer::honest(content, request, Ranges::Any, "\"second\"");
    }));
    QVERIFY(third.start([&](const HttpRequest &request) {
        HttpAnswer answer = mirror == QLatin1String("other file")
                                ? FaultServer::honest(package(content.size() + 1, 5), request)
                                : FaultServer::honest(content, request, Ranges::Any, "\"third\"");
        if (mirror == QLatin1String("404"))
            answer = withStatus(404);
        if (mirror == QLatin1String("reset")) {
            answer.cutAfter = 1000;
            answer.end = HttpAnswer::End::Reset;
        }
        if (mirror == QLatin1String("trickles")) {
            answer.chunkSize = 100;
            answer.chunkDelayMs = 50;
        }
        return answer;
    }));
    QString thirdUrl = third.url(QStringLiteral("/p.bin"));
    if (mirror == QLatin1String("down")) {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        thirdUrl = QStringLiteral("http://127.0.0.1:%1/p.bin").arg(closed.serverPort());
    }
    DownloadControl control;
    control.SetMirrors({second.url(QStringLiteral("/p.bin")), thirdUrl});
    if (mirror == QLatin1String("trickles"))
        control.SetSpeedRules({60000, 1024, 8, 1000});
    QVERIFY(run(control, primary.url(QStringLiteral("/p.bin"))));
    QVERIFY2(control.ErrorString().isEmpty(), qPrintable(control.ErrorString()));
    QCOMPARE(contentOf(QStringLiteral("p.bin")), content);
    for (FaultServer *server : {&primary, &second, &third}) {
        const bool gotAPart =
            std::any_of(server->requests().cbegin(), server->requests().cend(), [](const HttpRequest &request) {
                return request.method == "GET";
            });
        QVERIFY(gotAPart || (server == &third && mirror == QLatin1String("down")));
    }
    for (FaultServer *server : {&second, &third}) {
        for (const HttpRequest &request : server->requests())
            QCOMPARE(request.header("if-range"), QByteArray());
    }
}

void TestDownloadControl::diskFullDuringAResumedPart_failsAndKeepsWhatArrived()
{
    const QByteArray content = package(400000);
    bool stalls = true;
    FaultServer server;
    QVERIFY(server.startServing(
        content,
        [&](const HttpRequest &, HttpAnswer &answer) {
            if (stalls) {
                answer.cutAfter = answer.body.size() / 2;
                answer.end = HttpAnswer::End::Stall;
            }
        },
        Ranges::Any, "\"v1\""));
    auto first = std::make_unique<DownloadControl>();
    QVERIFY(runUntilHalfWay(*first, server.url(QStringLiteral("/p.bin")), content.size()));
    first.reset();
    stalls = false;

    // A file-size limit fails writes past it as a full disk does.
    struct rlimit previous = {};
    QCOMPARE(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = previous;
    small.rlim_cur = rlim_t(content.size() * 7 / 10);
    QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    DownloadControl full;
    const bool ended = run(full, server.url(QStringLiteral("/p.bin")));
    ::setrlimit(RLIMIT_FSIZE, &previous);
    QVERIFY(ended);
    QCOMPARE(full.FailureCause(), Failure::Disk);
    QCOMPARE(leftFiles(), QStringList({QStringLiteral("p.bin.part"), QStringLiteral("p.bin.part.state")}));

    // With room again the download continues.
    DownloadControl roomy;
    QVERIFY(run(roomy, server.url(QStringLiteral("/p.bin"))));
    QVERIFY2(roomy.ErrorString().isEmpty(), qPrintable(roomy.ErrorString()));
    QCOMPARE(sha256(contentOf(QStringLiteral("p.bin"))), sha256(content));
}

// Slow servers

void TestDownloadControl::slowServer_getsFreshConnectionsOnceThenFails_data()
{
    QTest::addColumn<int>("firstBytesPerChunk"); // every 20 ms, in the first round of connections
    QTest::addColumn<int>("laterBytesPerChunk"); // and in later ones
    QTest::addColumn<Failure>("failure");
    QTest::newRow("trickles all along: too slow") << 20 << 20 << Failure::TooSlow;
    QTest::newRow("trickles, then fresh connections are fast") << 20 << 5000 << Failure::None;
    QTest::newRow("well above the floor: no stall") << 5000 << 5000 << Failure::None;
}

void TestDownloadControl::slowServer_getsFreshConnectionsOnceThenFails()
{
    QFETCH(int, firstBytesPerChunk);
    QFETCH(int, laterBytesPerChunk);
    QFETCH(Failure, failure);
    const QByteArray content = package(300000);
    int gets = 0;
    FaultServer server;
    QVERIFY(server.startServing(
        content,
        [&](const HttpRequest &request, HttpAnswer &answer) {
            if (request.method != "GET")
                return;
            answer.chunkSize = ++gets <= 5 ? firstBytesPerChunk : laterBytesPerChunk;
            answer.chunkDelayMs = 20;
        },
        Ranges::Any, "\"v1\""));
    DownloadControl control;
    // Stalled below 10 KB/s over half a second: 25 times what the slow rows send, a 25th of the fast.
    control.SetSpeedRules({500, 10000, 8, 60000});
    QVERIFY(fetch(control, server));
    QCOMPARE(control.FailureCause(), failure);
    if (failure == Failure::None)
        QCOMPARE(contentOf(QStringLiteral("p.bin")), content);
    else // what arrived is kept for the next try
        QVERIFY(leftFiles().contains(QStringLiteral("p.bin.part")));
    // One fresh round of connections after the first stall, none after the second.
    QCOMPARE(gets, firstBytesPerChunk == laterBytesPerChunk && failure == Failure::None ? 5 : 10);
}

QTEST_MAIN(TestDownloadControl)
#include "tst_downloadcontrol.moc"
