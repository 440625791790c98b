// The update window in its states, driven through its widgets against a server of the test's own.
#include "faultserver.h"
#include "instancelock.h"
#include "mainwindow.h"
#include "productversion.h"
#include "singleapplication.h"
#include "testrelease.h"
#include "urlcapture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLocalServer>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <unistd.h>

namespace {

const QByteArray Script = "#!/bin/sh\necho ran > \"$(dirname \"$0\")/package-ran\"\n";

// A configuration signed with the test key for `package` at `packUrl`.
QByteArray config(const QByteArray &version, const QByteArray &packUrl, const QByteArray &notes = "\"new things\"",
                  const QByteArray &package = Script)
{
    return TestRelease::of(package, version, packUrl).ini(notes);
}

// A server that offers `package` through the configuration `configBody` at /soft/config.ini; `shape` may
// change each answer for the package.
bool serveUpdate(FaultServer &server, const QByteArray &configBody, const QByteArray &package,
                 const std::function<void(const HttpRequest &, HttpAnswer &)> &shape = {})
{
    return server.start([=](const HttpRequest &request) {
        HttpAnswer reply;
        if (request.path == "/soft/config.ini") {
            reply.body = configBody;
            return reply;
        }
        reply = FaultServer::honest(package, request);
        if (shape)
            shape(request, reply);
        return reply;
    });
}

enum class ConfigAnswer { UpToDate, Newer, Older, NoKeys, Garbage, NotFound, Refused, Stalls, OneMiB, OverOneMiB };

// A newer version's configuration padded with a comment to `size` bytes.
QByteArray paddedConfig(int size)
{
    QByteArray body = config("1.2.0.21131", "http://127.0.0.1:9/p.exe") + ";";
    return body + QByteArray(size - body.size() - 1, 'x') + "\n";
}

} // namespace

Q_DECLARE_METATYPE(ConfigAnswer)
Q_DECLARE_METATYPE(DownloadControl::Failure)

class TestUpdateWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Construction and the check
    void construction_setsTitlesAndDisablesUpdate();
    void check_showsItsOutcome_data();
    void check_showsItsOutcome();
    void check_consumesServerConfigOnlyWhenFetched();
    void notes_htmlIsShownAsRichText();
    void notesLinks_openOnlyWebAddressesOutside_data();
    void notesLinks_openOnlyWebAddressesOutside();
    void emptyPackUrl_updateDoesNothing();

    // Download and its end
    void update_downloadsRunsThePackageAndCloses();
    void failedDownload_reportsRunsNothingAndAllowsARetry_data();
    void failedDownload_reportsRunsNothingAndAllowsARetry();
    void progress_countsBytesAndFillsTheBarForAnySize_data();
    void progress_countsBytesAndFillsTheBarForAnySize();

    // Hand-over
    void packageThatCannotStart_keepsTheWindowAndSaysWhere();
    void closeWhileTheClientIsLeaving_isRefused();

    void mirrorsFromTheConfiguration_shareTheDownload();

    // Window
    void download_showsSpeedAndTimeLeft();
    void download_noteSaysWhenNothingArrives_data();
    void download_noteSaysWhenNothingArrives();
    void window_hasAFixedSizeAndOpensCentred();
    void secondStart_bringsTheWindowForward();

    // Cancel
    void cancelBeforeDownload_closesWithoutAsking();
    void cancelDuringDownload_asksAndOnlyConfirmationCloses();

private:
    MainWindow *makeWindow(const QString &configUrl);
    // Presses `button` in the next modal box and records its title and text.
    void answerNextBox(const QString &button);
    template <typename T> T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }

    std::unique_ptr<QTemporaryDir> dir;
    QString previousDir;
    MainWindow *window = nullptr;
    QString boxTitle;
    QString boxText;
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
};

SingleApplication *application = nullptr;

void TestUpdateWindow::init()
{
    dir = std::make_unique<QTemporaryDir>();
    previousDir = QDir::currentPath();
    QDir::setCurrent(dir->path());
    boxTitle.clear();
    boxText.clear();
}

void TestUpdateWindow::cleanup()
{
    // A question that never came must not leave its answer waiting for the next test's boxes.
    qDeleteAll(findChildren<QTimer *>(QStringLiteral("boxPoll")));
    delete window;
    window = nullptr;
    QDir::setCurrent(previousDir);
    dir.reset();
}

MainWindow *TestUpdateWindow::makeWindow(const QString &configUrl)
{
    window = new MainWindow(application, nullptr);
    window->setConfigUrl(configUrl);
    window->setCheckDelay(0);
    window->setSpeedWindow(1000);
    window->setRetrySchedule({5, 20, 200, 60000});
    window->setTrustedKeys({TestRelease::key().publicKey});
    window->show();
    return window;
}

void TestUpdateWindow::answerNextBox(const QString &button)
{
    auto *poll = new QTimer(this);
    poll->setObjectName(QStringLiteral("boxPoll"));
    connect(poll, &QTimer::timeout, this, [this, poll, button] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll->deleteLater();
        poll->stop();
        boxTitle = box->windowTitle();
        boxText = box->text();
        boxIcon = box->icon();
        for (QAbstractButton *candidate : box->buttons()) {
            if (candidate->text() == button) {
                candidate->click();
                return;
            }
        }
        box->reject();
    });
    poll->start(20);
}

// Construction and the check

void TestUpdateWindow::construction_setsTitlesAndDisablesUpdate()
{
    makeWindow(QStringLiteral("http://127.0.0.1:9/soft/config.ini"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Orvane网络电视 在线升级"));
    QCOMPARE(window->size(), QSize(515, 336));
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(child<QLabel>("label_title")->text(), QStringLiteral("Orvane网络电视 在线升级程序"));
    QCOMPARE(child<QLabel>("label_note")->text(), QStringLiteral("正在检查更新..."));
    QCOMPARE(child<QLabel>("label_newVersion")->text(), QStringLiteral("新版特性："));
    QCOMPARE(child<QPushButton>("pushButton_update")->text(), QStringLiteral("立即升级"));
    QCOMPARE(child<QPushButton>("pushButton_cancel")->text(), QStringLiteral("取消"));
    QVERIFY(!child<QPushButton>("pushButton_update")->isEnabled());
    QCOMPARE(child<QLabel>("label_logo")->geometry(), QRect(0, 0, 171, 341));
    QVERIFY(!QPixmap(QStringLiteral(":/img/update.png")).isNull());
    QCOMPARE(QPixmap(QStringLiteral(":/img/update.png")).size(), QSize(164, 314));
}

void TestUpdateWindow::check_showsItsOutcome_data()
{
    QTest::addColumn<ConfigAnswer>("answer");
    QTest::addColumn<QString>("note");
    QTest::addColumn<bool>("offered");
    const QString failed = QStringLiteral("获取更新信息失败");
    const QString offer = QStringLiteral("是否立即升级到最新版?");
    const QString unsigned_ = QStringLiteral("更新信息未签名，已拒绝");
    QTest::newRow("same version") << ConfigAnswer::UpToDate << QStringLiteral("恭喜，已经是最新版本！") << false;
    QTest::newRow("newer version") << ConfigAnswer::Newer << offer << true;
    QTest::newRow("older version") << ConfigAnswer::Older << QStringLiteral("不允许降级到旧版本") << false;
    QTest::newRow("no keys") << ConfigAnswer::NoKeys << unsigned_ << false;
    QTest::newRow("garbage") << ConfigAnswer::Garbage << unsigned_ << false;
    QTest::newRow("404") << ConfigAnswer::NotFound << failed << false;
    QTest::newRow("refused") << ConfigAnswer::Refused << failed << false;
    QTest::newRow("stalls") << ConfigAnswer::Stalls << failed << false;
    QTest::newRow("1 MiB is read") << ConfigAnswer::OneMiB << offer << true;
    QTest::newRow("over 1 MiB is refused") << ConfigAnswer::OverOneMiB << failed << false;
}

void TestUpdateWindow::check_showsItsOutcome()
{
    QFETCH(ConfigAnswer, answer);
    QFETCH(QString, note);
    QFETCH(bool, offered);
    FaultServer server;
    QVERIFY(server.start([answer](const HttpRequest &) {
        HttpAnswer reply;
        switch (answer) {
        case ConfigAnswer::UpToDate:
            reply.body = config(ORVANE_PRODUCT_VERSION, "http://127.0.0.1:9/p.exe");
            break;
        case ConfigAnswer::Newer:
            reply.body = config("1.2.0.21131", "http://127.0.0.1:9/p.exe");
            break;
        case ConfigAnswer::Older:
            reply.body = config("1.2.0.21127", "http://127.0.0.1:9/p.exe");
            break;
        case ConfigAnswer::NoKeys:
            reply.body = "[Other]\nx=1\n";
            break;
        case ConfigAnswer::Garbage:
            reply.body = QByteArray("\x89PNG\r\n\x1a\n\0\0\xff\xfe[[[=", 17);
            break;
        case ConfigAnswer::NotFound:
            reply.status = 404;
            reply.body = "<html>no</html>";
            break;
        case ConfigAnswer::Refused:
            break;
        case ConfigAnswer::Stalls:
            reply.delayMs = 60000;
            break;
        case ConfigAnswer::OneMiB:
            reply.body = paddedConfig(1024 * 1024);
            break;
        case ConfigAnswer::OverOneMiB:
            reply.body = paddedConfig(1024 * 1024 + 1);
            break;
        }
        return reply;
    }));
    const QString url = answer == ConfigAnswer::Refused ? QStringLiteral("http://127.0.0.1:9/soft/config.ini")
                                                        : server.url(QStringLiteral("/soft/config.ini"));
    makeWindow(url);
    // Only here: on a loaded machine a short wait could take a good answer for a stall.
    if (answer == ConfigAnswer::Stalls)
        window->setStallTimeout(500);
    QTRY_COMPARE_WITH_TIMEOUT(child<QLabel>("label_note")->text(), note, 5000);
    QCOMPARE(child<QPushButton>("pushButton_update")->isEnabled(), offered);
    QCOMPARE(child<QLabel>("label_title")->text(), offered ? QStringLiteral("Orvane网络电视 有新的更新可用！")
                                                           : QStringLiteral("Orvane网络电视 在线升级程序"));
    if (answer == ConfigAnswer::Newer)
        QCOMPARE(child<QTextBrowser>("textBrowser_newVersion")->toPlainText(), QStringLiteral("new things"));
    QVERIFY(!QFile::exists(QStringLiteral("ServerConfig.ini")));
    QVERIFY(server.requests().size() <= 1); // one check, no retry
}

void TestUpdateWindow::check_consumesServerConfigOnlyWhenFetched()
{
    FaultServer server;
    QVERIFY(server.start([](const HttpRequest &) {
        HttpAnswer reply;
        reply.body = config(ORVANE_PRODUCT_VERSION, "");
        return reply;
    }));
    QFile old(QStringLiteral("ServerConfig.ini"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("AppVersion=old\n");
    old.close();

    makeWindow(QStringLiteral("http://127.0.0.1:9/soft/config.ini"));
    QTRY_COMPARE(child<QLabel>("label_note")->text(), QStringLiteral("获取更新信息失败"));
    QCOMPARE(QFile::exists(QStringLiteral("ServerConfig.ini")), true);
    delete window;

    makeWindow(server.url(QStringLiteral("/soft/config.ini")));
    QTRY_COMPARE(child<QLabel>("label_note")->text(), QStringLiteral("恭喜，已经是最新版本！"));
    QCOMPARE(QFile::exists(QStringLiteral("ServerConfig.ini")), false);
}

void TestUpdateWindow::notes_htmlIsShownAsRichText()
{
    FaultServer server;
    QVERIFY(server.start([](const HttpRequest &) {
        HttpAnswer reply;
        reply.body = config("9", "p.exe", "\"<h3>新版本</h3><ul><li>更快, 更稳</li></ul>\"");
        return reply;
    }));
    makeWindow(server.url(QStringLiteral("/soft/config.ini")));
    auto *notes = child<QTextBrowser>("textBrowser_newVersion");
    QTRY_VERIFY(notes->toPlainText().contains(QStringLiteral("新版本")));
    QVERIFY(!notes->toPlainText().contains(QLatin1String("<h3>")));
    QVERIFY(notes->toPlainText().contains(QStringLiteral("更快, 更稳")));
}

void TestUpdateWindow::notesLinks_openOnlyWebAddressesOutside_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("opened");
    QTest::newRow("http") << QStringLiteral("http://127.0.0.1/notes") << true;
    QTest::newRow("https") << QStringLiteral("https://127.0.0.1/notes") << true;
    QTest::newRow("local file") << QStringLiteral("file:///etc/hostname") << false;
    QTest::newRow("relative") << QStringLiteral("ServerConfig.ini") << false;
}

void TestUpdateWindow::notesLinks_openOnlyWebAddressesOutside()
{
    QFETCH(QString, link);
    QFETCH(bool, opened);
    UrlCapture capture;
    makeWindow(QStringLiteral("http://127.0.0.1:9/soft/config.ini"));
    auto *notes = child<QTextBrowser>("textBrowser_newVersion");
    notes->setHtml(QStringLiteral("<a href=\"%1\">新版本说明</a>").arg(link));
    QTextCursor cursor(notes->document());
    cursor.setPosition(2);
    const QPoint onLink = notes->cursorRect(cursor).center();
    QTest::mouseClick(notes->viewport(), Qt::LeftButton, {}, onLink);
    QCOMPARE(capture.opened, opened ? QList<QUrl>{QUrl(link)} : QList<QUrl>{});
    QVERIFY(notes->source().isEmpty());
    QCOMPARE(notes->toPlainText(), QStringLiteral("新版本说明"));
}

void TestUpdateWindow::emptyPackUrl_updateDoesNothing()
{
    FaultServer server;
    QVERIFY(server.start([](const HttpRequest &) {
        HttpAnswer reply;
        reply.body = config("9", "");
        return reply;
    }));
    makeWindow(server.url(QStringLiteral("/soft/config.ini")));
    auto *update = child<QPushButton>("pushButton_update");
    QTRY_VERIFY(update->isEnabled());
    update->click();
    // A download would have begun inside the click, which waits for its HEAD; a moment more shows that
    // nothing follows later.
    QTest::qWait(50);
    QVERIFY(update->isEnabled());
    QCOMPARE(child<QLabel>("label_note")->text(), QStringLiteral("是否立即升级到最新版?"));
    QCOMPARE(server.requests().size(), 1);
    QVERIFY(window->isVisible());
}

// Download and its end

void TestUpdateWindow::update_downloadsRunsThePackageAndCloses()
{
    FaultServer server;
    server.setChunkSize(16);
    // The package's address is relative to the configuration's server.
    QVERIFY(serveUpdate(server, config("1.2.0.21131", "/soft/orvane-update.sh"), Script,
                        [](const HttpRequest &, HttpAnswer &reply) {
                            reply.chunkDelayMs = 5;
                        }));
    makeWindow(server.url(QStringLiteral("/soft/config.ini")));
    auto *update = child<QPushButton>("pushButton_update");
    QTRY_VERIFY(update->isEnabled());
    update->click();
    QVERIFY(!update->isEnabled());
    QCOMPARE(child<QLabel>("label_note")->text(), QStringLiteral("正在下载更新文件..."));

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QStringLiteral("package-ran")), 10000);
    QCOMPARE(QFile(QStringLiteral("orvane-update.sh")).size(), Script.size());
    QTRY_VERIFY(!window->isVisible());
    auto *bar = child<QProgressBar>("progressBar_download");
    QCOMPARE(bar->maximum(), Script.size());
    QCOMPARE(bar->value(), Script.size());
}

void TestUpdateWindow::failedDownload_reportsRunsNothingAndAllowsARetry_data()
{
    QTest::addColumn<QByteArray>("packUrl");
    QTest::addColumn<bool>("partFails");
    QTest::addColumn<DownloadControl::Failure>("cause");
    // A package that is not the signed one: tst_updatetrust.
    QTest::newRow("a part fails") << QByteArray("/soft/orvane-update.sh") << true << DownloadControl::Failure::Refused;
    QTest::newRow("not http") << QByteArray("file:///bin/true") << false << DownloadControl::Failure::Refused;
    QTest::newRow("server unreachable") << QByteArray("http://127.0.0.1:9/orvane-update.sh") << false
                                        << DownloadControl::Failure::Unreachable;
}

void TestUpdateWindow::failedDownload_reportsRunsNothingAndAllowsARetry()
{
    QFETCH(QByteArray, packUrl);
    QFETCH(bool, partFails);
    QFETCH(DownloadControl::Failure, cause);
    bool broken = true;
    FaultServer server;
    QVERIFY(serveUpdate(
        server, config("1.2.0.21131", packUrl, "x"), Script, [&](const HttpRequest &request, HttpAnswer &reply) {
            if (broken && partFails && request.method == "GET" && request.header("range").startsWith("bytes=0-"))
                reply.status = 500;
        }));
    makeWindow(server.url(QStringLiteral("/soft/config.ini")));
    auto *update = child<QPushButton>("pushButton_update");
    QTRY_VERIFY(update->isEnabled());
    answerNextBox(QStringLiteral("确定"));
    update->click();

    // The cause follows on a line of its own, one text for each.
    const QString expected = QStringLiteral("下载更新包失败！\n") + MainWindow::failureText(cause);
    QVERIFY(!MainWindow::failureText(cause).isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(boxText, expected, 10000);
    QCOMPARE(boxTitle, QStringLiteral("提示"));
    QCOMPARE(boxIcon, QMessageBox::Warning);
    QTRY_VERIFY(update->isEnabled());
    // The cause stays in sight after the box is gone.
    QCOMPARE(child<QLabel>("label_note")->text(), QStringLiteral("下载更新包失败！") + MainWindow::failureText(cause));
    QCOMPARE(child<QProgressBar>("progressBar_download")->value(), 0);
    // The failure is complete once its box has gone; a moment more shows that no late start or close follows.
    QTest::qWait(50);
    QVERIFY(window->isVisible());
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList());

    // Not cancelling any more: the cancel button closes at once.
    if (partFails) {
        broken = false;
        update->click();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QStringLiteral("package-ran")), 10000);
        QTRY_VERIFY(!window->isVisible());
    } else {
        child<QPushButton>("pushButton_cancel")->click();
        QVERIFY(!window->isVisible());
        QVERIFY(boxText == expected);
    }
}

void TestUpdateWindow::progress_countsBytesAndFillsTheBarForAnySize_data()
{
    QTest::addColumn<qint64>("total");
    QTest::newRow("999 bytes") << qint64(999);
    QTest::newRow("2^31 - 1") << (qint64(1) << 31) - 1;
    QTest::newRow("2^31") << (qint64(1) << 31);
    QTest::newRow("2^32 + 5") << (qint64(1) << 32) + 5;
    QTest::newRow("5 GiB") << 5 * (qint64(1) << 30);
}

void TestUpdateWindow::progress_countsBytesAndFillsTheBarForAnySize()
{
    QFETCH(qint64, total);
    makeWindow(QStringLiteral("http://127.0.0.1:9/soft/config.ini"));
    auto *bar = child<QProgressBar>("progressBar_download");
    QVERIFY(QMetaObject::invokeMethod(window, "onDownloadProgress", Q_ARG(qint64, total / 2), Q_ARG(qint64, total)));
    QVERIFY(bar->maximum() > 0);
    QVERIFY(qAbs(double(bar->value()) / bar->maximum() - 0.5) < 0.001);
    QVERIFY(QMetaObject::invokeMethod(window, "onDownloadProgress", Q_ARG(qint64, total), Q_ARG(qint64, total)));
    QCOMPARE(bar->value(), bar->maximum());
    if (total < (qint64(1) << 31))
        QCOMPARE(bar->maximum(), int(total)); // counts bytes while they fit

    // Without a size the bar shows that something is happening.
    QVERIFY(QMetaObject::invokeMethod(window, "onDownloadProgress", Q_ARG(qint64, 100), Q_ARG(qint64, 0)));
    QCOMPARE(bar->maximum(), 0);
}

// Cancel

void TestUpdateWindow::cancelBeforeDownload_closesWithoutAsking()
{
    makeWindow(QStringLiteral("http://127.0.0.1:9/soft/config.ini"));
    QTRY_COMPARE(child<QLabel>("label_note")->text(), QStringLiteral("获取更新信息失败"));
    answerNextBox(QStringLiteral("确定")); // records the text of any question that would come
    child<QPushButton>("pushButton_cancel")->click();
    QVERIFY(!window->isVisible());
    QVERIFY2(boxText.isEmpty(), qPrintable(boxText));
}

void TestUpdateWindow::cancelDuringDownload_asksAndOnlyConfirmationCloses()
{
    const QByteArray content(300000, 'p');
    FaultServer server;
    QVERIFY(serveUpdate(server, config("1.2.0.21131", "/soft/big.bin", "x", content), content,
                        [&](const HttpRequest &, HttpAnswer &reply) {
                            reply.chunkSize = 1000;
                            reply.chunkDelayMs = 20;
                        }));
    makeWindow(server.url(QStringLiteral("/soft/config.ini")));
    window->setStallTimeout(30000);
    auto *update = child<QPushButton>("pushButton_update");
    QTRY_VERIFY(update->isEnabled());
    update->click();
    auto *bar = child<QProgressBar>("progressBar_download");
    QTRY_VERIFY(bar->value() > 0);

    answerNextBox(QStringLiteral("取消"));
    child<QPushButton>("pushButton_cancel")->click();
    QCOMPARE(boxTitle, QStringLiteral("提示"));
    QCOMPARE(boxText, QStringLiteral("正在下载更新包，确定要取消吗?"));
    QVERIFY(window->isVisible());
    const int before = bar->value();
    QTRY_VERIFY(bar->value() > before); // still downloading

    answerNextBox(QStringLiteral("确定"));
    child<QPushButton>("pushButton_cancel")->click();
    QVERIFY(!window->isVisible());
    delete window; // ends the program in real life
    window = nullptr;
    QVERIFY(!QFile::exists(QStringLiteral("big.bin")));
}

void TestUpdateWindow::packageThatCannotStart_keepsTheWindowAndSaysWhere()
{
    const QByteArray broken = "#!/nonexistent/interpreter\n";
    FaultServer server;
    QVERIFY(serveUpdate(server, config("1.2.0.21131", "/soft/broken.sh", "x", broken), broken));
    makeWindow(server.url(QStringLiteral("/soft/config.ini")));
    auto *update = child<QPushButton>("pushButton_update");
    QTRY_VERIFY(update->isEnabled());
    answerNextBox(QStringLiteral("确定"));
    update->click();
    QTRY_VERIFY_WITH_TIMEOUT(!boxText.isEmpty(), 10000);
    QVERIFY2(boxText.contains(QStringLiteral("无法启动更新包")) && boxText.contains(QLatin1String("broken.sh")),
             qPrintable(boxText));
    QVERIFY(window->isVisible());
    QCOMPARE(child<QLabel>("label_note")->text(), QStringLiteral("无法启动更新包！"));
    QVERIFY(child<QPushButton>("pushButton_cancel")->isEnabled());
    QVERIFY(QFile::exists(QStringLiteral("broken.sh")));
}

void TestUpdateWindow::closeWhileTheClientIsLeaving_isRefused()
{
    // A client that takes the message but does not quit.
    const InstanceLock clientLock(QStringLiteral("ORVN"));
    QCOMPARE(clientLock.state(), InstanceLock::State::Primary);
    QLocalServer client;
    QLocalServer::removeServer(InstanceLock::serverName(QStringLiteral("ORVN")));
    QVERIFY(client.listen(InstanceLock::serverName(QStringLiteral("ORVN"))));

    FaultServer server;
    QVERIFY(serveUpdate(server, config("1.2.0.21131", "/soft/orvane-update.sh"), Script));
    makeWindow(server.url(QStringLiteral("/soft/config.ini")));
    window->setClientExitWait(500);
    auto *update = child<QPushButton>("pushButton_update");
    QTRY_VERIFY(update->isEnabled());
    update->click();
    QTRY_VERIFY_WITH_TIMEOUT(!child<QPushButton>("pushButton_cancel")->isEnabled(), 10000);
    QVERIFY(QFile::exists(QStringLiteral("orvane-update.sh")));
    // Said until the hand-over, so that the client and the updater going does not look like a crash.
    QCOMPARE(child<QLabel>("label_note")->text(), QStringLiteral("下载完成，正在启动更新…"));
    window->close();
    QVERIFY2(window->isVisible(), "closing now would leave the user with neither program");
    QVERIFY(!QFile::exists(QStringLiteral("package-ran")));
    // Once the wait for the client is over, the package starts and the window goes.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QStringLiteral("package-ran")), 10000);
    QTRY_VERIFY(!window->isVisible());
}

void TestUpdateWindow::mirrorsFromTheConfiguration_shareTheDownload()
{
    const QByteArray content = Script + QByteArray(200000, '#');
    FaultServer mirror;
    QVERIFY(mirror.start([&](const HttpRequest &request) {
        return FaultServer::honest(content, request);
    }));
    FaultServer server;
    // One address relative to the configuration's server, one absolute, spaces around them.
    QVERIFY(serveUpdate(server,
                        config("1.2.0.21131", "/soft/orvane-update.sh", "x", content) +
                            "updatePackMirrors=/again/orvane-update.sh ; " +
                            mirror.url(QStringLiteral("/orvane-update.sh")).toUtf8() + "\n",
                        content));
    makeWindow(server.url(QStringLiteral("/soft/config.ini")));
    auto *update = child<QPushButton>("pushButton_update");
    QTRY_VERIFY(update->isEnabled());
    update->click();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QStringLiteral("package-ran")), 10000);
    QStringList paths;
    for (const FaultServer *each : {&server, &mirror}) {
        for (const HttpRequest &request : each->requests()) {
            if (request.method == "GET" && !request.header("range").isEmpty())
                paths << QString::fromLatin1(request.path);
        }
    }
    QVERIFY2(paths.contains(QStringLiteral("/soft/orvane-update.sh")) &&
                 paths.contains(QStringLiteral("/again/orvane-update.sh")) &&
                 paths.contains(QStringLiteral("/orvane-update.sh")),
             qPrintable(paths.join(u' ')));
}

// Window

void TestUpdateWindow::download_showsSpeedAndTimeLeft()
{
    const QByteArray content = Script + QByteArray(600000, '#');
    FaultServer server;
    server.setChunkSize(2048);
    QVERIFY(serveUpdate(server, config("1.2.0.21131", "/soft/orvane-update.sh", "x", content), content,
                        [&](const HttpRequest &, HttpAnswer &reply) {
                            reply.chunkDelayMs = 20;
                        }));
    makeWindow(server.url(QStringLiteral("/soft/config.ini")));
    auto *update = child<QPushButton>("pushButton_update");
    QTRY_VERIFY(update->isEnabled());
    update->click();
    static const QRegularExpression speedAndLeft(QStringLiteral("^\\d+(\\.\\d)? [KM]B/s，剩余 .*秒$"));
    QTRY_VERIFY_WITH_TIMEOUT(speedAndLeft.match(child<QLabel>("label_note")->text()).hasMatch(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QStringLiteral("package-ran")), 20000);
}

void TestUpdateWindow::download_noteSaysWhenNothingArrives_data()
{
    QTest::addColumn<int>("end");
    QTest::addColumn<QString>("note");
    // The speed falls away instead of standing still.
    QTest::newRow("server goes silent") << int(HttpAnswer::End::Stall) << QStringLiteral("正在下载更新文件...");
    QTest::newRow("connections break, parts wait")
        << int(HttpAnswer::End::Reset) << QStringLiteral("连接中断，正在重试…");
}

void TestUpdateWindow::download_noteSaysWhenNothingArrives()
{
    QFETCH(int, end);
    QFETCH(QString, note);
    const QByteArray content = Script + QByteArray(2000000, '#');
    FaultServer server;
    server.setChunkSize(2048);
    QVERIFY(serveUpdate(server, config("1.2.0.21131", "/soft/orvane-update.sh", "x", content), content,
                        [&](const HttpRequest &, HttpAnswer &reply) {
                            reply.chunkDelayMs = 20;
                            reply.cutAfter = 50000;
                            reply.end = HttpAnswer::End(end);
                        }));
    makeWindow(server.url(QStringLiteral("/soft/config.ini")));
    window->setStallTimeout(60000);
    window->setRetrySchedule({5, 4000, 8000, 60000});
    auto *update = child<QPushButton>("pushButton_update");
    QTRY_VERIFY(update->isEnabled());
    update->click();
    auto *label = child<QLabel>("label_note");
    static const QRegularExpression speed(QStringLiteral("B/s"));
    QTRY_VERIFY_WITH_TIMEOUT(speed.match(label->text()).hasMatch(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(label->text(), note, 12000);
}

void TestUpdateWindow::window_hasAFixedSizeAndOpensCentred()
{
    makeWindow(QStringLiteral("http://127.0.0.1:9/soft/config.ini"));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    const QPoint screenCentre = QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY2((window->geometry().center() - screenCentre).manhattanLength() <= 8,
             qPrintable(QStringLiteral("%1,%2 vs %3,%4")
                            .arg(window->geometry().center().x())
                            .arg(window->geometry().center().y())
                            .arg(screenCentre.x())
                            .arg(screenCentre.y())));
}

void TestUpdateWindow::secondStart_bringsTheWindowForward()
{
    makeWindow(QStringLiteral("http://127.0.0.1:9/soft/config.ini"));
    window->showMinimized();
    QTRY_VERIFY(window->isMinimized());
    // What a second updater sends to the running one.
    QVERIFY(SingleApplication::messageRunningInstance(application->property("key").toString(), QStringLiteral("show")));
    QTRY_VERIFY(!window->isMinimized());
    QVERIFY(window->isVisible());
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const QString key = QStringLiteral("tst-updatewindow-%1").arg(::getpid());
    SingleApplication app(argc, argv, key);
    app.setProperty("key", key);
    // The windows here close as they would in the program; the test goes on.
    app.setQuitOnLastWindowClosed(false);
    application = &app;
    TestUpdateWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_updatewindow.moc"
