// The download's decisions without a network: range table, headers, answer checks, names, and the
// updater's reading of its server configuration.
#include "downloadplan.h"
#include "packagefile.h"
#include "productversion.h"
#include "serverinfo.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <limits>

Q_DECLARE_METATYPE(ByteRange)

class TestDownloadPlan : public QObject
{
    Q_OBJECT

private slots:
    // Range table
    void partition_999In5_isExact();
    void partition_onePart_coversEverything();
    void partition_data();
    void partition();
    void partition_nothingToCut_givesNoRanges();
    void rangeHeader_data();
    void rangeHeader();

    // Answers to a part
    void parseContentRange_data();
    void parseContentRange();
    void rejectPartAnswer_data();
    void rejectPartAnswer();

    // Names and addresses
    void outputName_data();
    void outputName();
    void isFetchableUrl_data();
    void isFetchableUrl();

    // Server configuration
    void readServerInfo_data();
    void readServerInfo();
    void offersUpdate_data();
    void offersUpdate();

private:
    QTemporaryDir dir;
};

void TestDownloadPlan::partition_999In5_isExact()
{
    const QList<ByteRange> expected = {{0, 198}, {199, 398}, {399, 598}, {599, 798}, {799, 998}};
    QCOMPARE(DownloadPlan::partition(999, 5), expected);
}

void TestDownloadPlan::partition_onePart_coversEverything()
{
    QCOMPARE(DownloadPlan::partition(999, 1), QList<ByteRange>({{0, 998}}));
}

void TestDownloadPlan::partition_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<int>("parts");
    const qint64 two31 = qint64(1) << 31;
    const qint64 two32 = qint64(1) << 32;
    QTest::newRow("one byte, five parts") << qint64(1) << 5;
    QTest::newRow("fewer bytes than parts") << qint64(3) << 5;
    QTest::newRow("as many bytes as parts") << qint64(5) << 5;
    QTest::newRow("2^31 - 1") << two31 - 1 << 5;
    QTest::newRow("2^31") << two31 << 5;
    QTest::newRow("2^31 + 1") << two31 + 1 << 5;
    QTest::newRow("2^32 - 1") << two32 - 1 << 5;
    QTest::newRow("2^32") << two32 << 5;
    QTest::newRow("2^32 + 7") << two32 + 7 << 5;
    QTest::newRow("5 GiB + 3, seven parts") << 5 * (qint64(1) << 30) + 3 << 7;
    QTest::newRow("largest size") << std::numeric_limits<qint64>::max() << 5;
    QTest::newRow("largest size, 1000 parts") << std::numeric_limits<qint64>::max() << 1000;
}

void TestDownloadPlan::partition()
{
    QFETCH(qint64, size);
    QFETCH(int, parts);
    const QList<ByteRange> ranges = DownloadPlan::partition(size, parts);
    QCOMPARE(ranges.size(), parts);
    // Every byte exactly once, in order, and no part more than one byte longer than another.
    qint64 next = 0;
    qint64 covered = 0;
    qint64 shortest = std::numeric_limits<qint64>::max();
    qint64 longest = 0;
    for (const ByteRange &range : ranges) {
        QCOMPARE(range.first, next);
        QVERIFY(range.length() >= 0);
        next = range.last + 1;
        covered += range.length();
        shortest = qMin(shortest, range.length());
        longest = qMax(longest, range.length());
    }
    QCOMPARE(ranges.last().last, size - 1);
    QCOMPARE(covered, size);
    QVERIFY(longest - shortest <= 1);
    if (size >= parts)
        QVERIFY(shortest > 0);
}

void TestDownloadPlan::partition_nothingToCut_givesNoRanges()
{
    QVERIFY(DownloadPlan::partition(0, 5).isEmpty());
    QVERIFY(DownloadPlan::partition(-1, 5).isEmpty());
    QVERIFY(DownloadPlan::partition(999, 0).isEmpty());
    QVERIFY(DownloadPlan::partition(999, -3).isEmpty());
}

void TestDownloadPlan::rangeHeader_data()
{
    QTest::addColumn<ByteRange>("range");
    QTest::addColumn<QByteArray>("header");
    QTest::newRow("first part") << ByteRange{0, 511} << QByteArray("bytes=0-511");
    QTest::newRow("middle") << ByteRange{255, 511} << QByteArray("bytes=255-511");
    QTest::newRow("above 2^31") << ByteRange{2147483648, 4294967295} << QByteArray("bytes=2147483648-4294967295");
    QTest::newRow("above 2^32") << ByteRange{4294967296, 5368709119} << QByteArray("bytes=4294967296-5368709119");
}

void TestDownloadPlan::rangeHeader()
{
    QFETCH(ByteRange, range);
    QFETCH(QByteArray, header);
    QCOMPARE(DownloadPlan::rangeHeader(range), header);
}

void TestDownloadPlan::parseContentRange_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("first");
    QTest::addColumn<qint64>("last");
    QTest::addColumn<qint64>("total");
    QTest::newRow("plain") << QByteArray("bytes 0-199/999") << true << qint64(0) << qint64(199) << qint64(999);
    QTest::newRow("unit in capitals") << QByteArray("Bytes 5-9/10") << true << qint64(5) << qint64(9) << qint64(10);
    QTest::newRow("unknown total") << QByteArray("bytes 5-9/*") << true << qint64(5) << qint64(9) << qint64(-1);
    QTest::newRow("beyond 2^32") << QByteArray("bytes 4294967296-5368709119/5368709120") << true << qint64(4294967296)
                                 << qint64(5368709119) << qint64(5368709120);
    QTest::newRow("empty") << QByteArray() << false << qint64(-1) << qint64(-1) << qint64(-1);
    QTest::newRow("unsatisfied") << QByteArray("bytes */999") << false << qint64(-1) << qint64(-1) << qint64(-1);
    QTest::newRow("other unit") << QByteArray("items 0-1/2") << false << qint64(-1) << qint64(-1) << qint64(-1);
    QTest::newRow("reversed") << QByteArray("bytes 9-5/10") << false << qint64(9) << qint64(5) << qint64(10);
    QTest::newRow("past the end") << QByteArray("bytes 5-10/10") << false << qint64(5) << qint64(10) << qint64(10);
    QTest::newRow("negative") << QByteArray("bytes -5-9/10") << false << qint64(-1) << qint64(-1) << qint64(-1);
    QTest::newRow("trailing junk") << QByteArray("bytes 0-1/2, 3-4") << false << qint64(-1) << qint64(-1) << qint64(-1);
    QTest::newRow("overflowing number") << QByteArray("bytes 0-99999999999999999999/1") << false << qint64(-1)
                                        << qint64(-1) << qint64(-1);
}

void TestDownloadPlan::parseContentRange()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, valid);
    const DownloadPlan::ContentRange range = DownloadPlan::parseContentRange(value);
    QCOMPARE(range.valid, valid);
    if (valid) {
        QTEST(range.first, "first");
        QTEST(range.last, "last");
        QTEST(range.total, "total");
    }
}

void TestDownloadPlan::rejectPartAnswer_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("contentRange");
    QTest::addColumn<bool>("usable");
    QTest::newRow("exact 206") << 206 << QByteArray("bytes 199-398/999") << true;
    QTest::newRow("200 that ignored the range") << 200 << QByteArray() << false;
    QTest::newRow("200 with a Content-Range") << 200 << QByteArray("bytes 199-398/999") << false;
    QTest::newRow("206 without Content-Range") << 206 << QByteArray() << false;
    QTest::newRow("206 for another range") << 206 << QByteArray("bytes 0-199/999") << false;
    QTest::newRow("206 one byte short") << 206 << QByteArray("bytes 199-397/999") << false;
    QTest::newRow("206 of a package that changed size") << 206 << QByteArray("bytes 199-398/1000") << false;
    QTest::newRow("206 of unknown size") << 206 << QByteArray("bytes 199-398/*") << false;
    QTest::newRow("416") << 416 << QByteArray("bytes */999") << false;
    QTest::newRow("404") << 404 << QByteArray() << false;
    QTest::newRow("500") << 500 << QByteArray() << false;
}

void TestDownloadPlan::rejectPartAnswer()
{
    QFETCH(int, status);
    QFETCH(QByteArray, contentRange);
    QFETCH(bool, usable);
    const QString reason = DownloadPlan::rejectPartAnswer(status, contentRange, {199, 398}, 999);
    QCOMPARE(reason.isEmpty(), usable);
}

void TestDownloadPlan::outputName_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("saveName");
    QTest::addColumn<QString>("name");
    QTest::newRow("file name") << "http://h/soft/Setup-1.2.exe" << QString() << "Setup-1.2.exe";
    QTest::newRow("query is not part of it") << "http://h/soft/pack.run?x=1" << QString() << "pack.run";
    QTest::newRow("trailing slash") << "http://h/soft/" << QString() << "updatePack.exe";
    QTest::newRow("no path") << "http://h" << QString() << "updatePack.exe";
    QTest::newRow("dot-dot") << "http://h/soft/.." << QString() << "updatePack.exe";
    QTest::newRow("encoded slash stays inside the folder")
        << "http://h/soft/..%2Fevil.sh" << QString() << "updatePack.sh";
    QTest::newRow("encoded line break") << "http://h/soft/setup%0A.run" << QString() << "updatePack.run";
    QTest::newRow("encoded NUL") << "http://h/soft/setup%00.sh" << QString() << "updatePack.sh";
    QTest::newRow("encoded backslash, odd extension") << "http://h/soft/a%5Cb.s~h" << QString() << "updatePack.exe";
    QTest::newRow("200 bytes is fine") << QStringLiteral("http://h/") + QString(196, QLatin1Char('p')) +
                                              QStringLiteral(".run")
                                       << QString() << QString(196, QLatin1Char('p')) + QStringLiteral(".run");
    QTest::newRow("201 bytes is not") << QStringLiteral("http://h/") + QString(197, QLatin1Char('p')) +
                                             QStringLiteral(".run")
                                      << QString() << "updatePack.run";
    QTest::newRow("long in UTF-8 bytes") << QStringLiteral("http://h/") + QString(67, QChar(0x5305)) +
                                                QStringLiteral(".sh")
                                         << QString() << "updatePack.sh";
    QTest::newRow("never the settings") << "http://h/pkg/config.ini" << QString() << "updatePack.exe";
    QTest::newRow("never the client") << "http://h/pkg/ORVN" << QString() << "updatePack.exe";
    QTest::newRow("never the updater, in any case") << "http://h/pkg/renovo.EXE" << QString() << "updatePack.exe";
    QTest::newRow("save name wins") << "http://h/soft/pack.run"
                                    << "mine.bin"
                                    << "mine.bin";
}

void TestDownloadPlan::outputName()
{
    QFETCH(QString, url);
    QFETCH(QString, saveName);
    QTEST(PackageFile::outputName(QUrl(url), saveName), "name");
}

void TestDownloadPlan::isFetchableUrl_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("fetchable");
    QTest::newRow("http") << "http://127.0.0.1:8/p.exe" << true;
    QTest::newRow("https") << "https://example.invalid/p.exe" << true;
    QTest::newRow("upper-case scheme") << "HTTP://127.0.0.1/p.exe" << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("file") << "file:///bin/sh" << false;
    QTest::newRow("ftp") << "ftp://127.0.0.1/p.exe" << false;
    QTest::newRow("qrc") << "qrc:/img/update.png" << false;
    QTest::newRow("bare path") << "/tmp/p.exe" << false;
    QTest::newRow("no host") << "http:///p.exe" << false;
}

void TestDownloadPlan::isFetchableUrl()
{
    QFETCH(QString, url);
    QTEST(PackageFile::isFetchableUrl(QUrl(url)), "fetchable");
}

void TestDownloadPlan::readServerInfo_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("notes");
    QTest::newRow("complete") << QByteArray("AppVersion=1.2.0.21131\n[Update]\nupdatePackUrl=http://h/p.exe\n"
                                            "newVersionInfo=\"<b>新</b>版本\"\n")
                              << "1.2.0.21131"
                              << "http://h/p.exe"
                              << "<b>新</b>版本";
    QTest::newRow("notes with commas stay one text")
        << QByteArray("[Update]\nnewVersionInfo=faster, smaller, better\n") << ""
        << ""
        << "faster, smaller, better";
    QTest::newRow("keys elsewhere are ignored") << QByteArray("[Other]\nAppVersion=9\nupdatePackUrl=http://h/x\n") << ""
                                                << ""
                                                << "";
    QTest::newRow("garbage") << QByteArray("\x89PNG\r\n\x1a\n\0\0garbage=\xff\xfe", 20) << ""
                             << ""
                             << "";
    QTest::newRow("empty") << QByteArray() << ""
                           << ""
                           << "";
    const QString chinese =
        QStringLiteral("AppVersion=1.2.0.21131\n[Update]\nnewVersionInfo=\"<b>新</b>版本，更稳\"\n");
    QStringEncoder gbk("GB18030");
    QTest::newRow("GBK") << QByteArray(gbk.encode(chinese)) << "1.2.0.21131"
                         << ""
                         << "<b>新</b>版本，更稳";
    QTest::newRow("unquoted commas kept as written")
        << QByteArray("AppVersion=1.2.0.21131\n[Update]\nupdatePackUrl=http://h/"
                      "p?a=1,2\nnewVersionInfo=faster,smaller, better\n")
        << "1.2.0.21131"
        << "http://h/p?a=1,2"
        << "faster,smaller, better";
    QTest::newRow("UTF-8 with byte-order mark") << "\xEF\xBB\xBF" + chinese.toUtf8() << "1.2.0.21131"
                                                << ""
                                                << "<b>新</b>版本，更稳";
}

void TestDownloadPlan::readServerInfo()
{
    QFETCH(QByteArray, content);
    const QString path = dir.filePath(QStringLiteral("ServerConfig.ini"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();
    const ServerInfo info = ServerInfoFile::read(path);
    QTEST(info.appVersion, "version");
    QTEST(info.updatePackUrl, "url");
    QTEST(info.newVersionInfo, "notes");
}

void TestDownloadPlan::offersUpdate_data()
{
    QTest::addColumn<QString>("announced");
    QTest::addColumn<bool>("offers");
    // The client and the updater carry one version: what the client calls current, the updater does too.
    QTest::newRow("the product's own") << ORVANE_PRODUCT_VERSION << false;
    QTest::newRow("newer") << "99.0.0.1" << true;
    QTest::newRow("older") << "0.0.0.1" << true;
    QTest::newRow("trailing space") << ORVANE_PRODUCT_VERSION " " << true;
    QTest::newRow("empty") << "" << true;
}

void TestDownloadPlan::offersUpdate()
{
    QFETCH(QString, announced);
    QTEST(ServerInfoFile::offersUpdate(QLatin1String(ServerInfoFile::BuiltInVersion), announced), "offers");
}

QTEST_GUILESS_MAIN(TestDownloadPlan)
#include "tst_downloadplan.moc"
