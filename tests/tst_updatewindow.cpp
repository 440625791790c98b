// The update window in its states, driven through its widgets against a server of the test's own.
#include "faultserver.h"
#include "instancelock.h"
#include "mainwindow.h"
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

enum class ConfigAnswer { UpToDate, Newer, Older, NoKeys, Garbage, NotFound, Refused, Stalls, OneMiB, OverOneMiB };

// A newer version's configuration padded with a comment to `size` bytes.
QByteArray paddedConfig(int size)
{
    QByteArray body = config("1.2.0.21131", "http://127.0.0.1:9/p.exe") + ";";
    return body + QByteArray(size - body.size() - 1, 'x') + "\n";
}

} // namespace

Q_DECLARE_METATYPE(ConfigAnswer)

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
    window->setStallTimeout(500);
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
            reply.body = config("1.2.0.21130", "http://127.0.0.1:9/p.exe");
            break;
        case ConfigAnswer::Newer:
            reply.body = config("1.2.0.21131", "http://127.0.0.1:9/p.exe");
            break;
        case ConfigAnswer::Older:
            reply.body = config("1.2.0.21129", "http://127.0.0.1:9/p.exe");
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
        reply.body = config("1.2.0.21130", "");
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
    QTest::qWait(200);
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
    QVERIFY(server.start([](const HttpRequest &request) {
        if (request.path == "/soft/config.ini") {
            HttpAnswer reply;
            reply.body = config("1.2.0.21131", "/soft/orvane-update.sh"); // relative to the server
            return reply;
        }
        HttpAnswer reply = FaultServer::honest(Script, request);
        reply.chunkDelayMs = 5;
        return reply;
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
    // A package that is not the signed one: tst_updatetrust.
    QTest::newRow("a part fails") << QByteArray("/soft/orvane-update.sh") << true;
    QTest::newRow("not http") << QByteArray("file:///bin/true") << false;
}

void TestUpdateWindow::failedDownload_reportsRunsNothingAndAllowsARetry()
{
    QFETCH(QByteArray, packUrl);
    QFETCH(bool, partFails);
    bool broken = true;
    FaultServer server;
    QVERIFY(server.start([&](const HttpRequest &request) {
        if (request.path == "/soft/config.ini") {
            HttpAnswer reply;
            reply.body = config("1.2.0.21131", packUrl, "x");
            return reply;
        }
        HttpAnswer reply = FaultServer::honest(Script, request);
        if (broken && partFails && request.method == "GET" && request.header("range").startsWith("Bytes=0-"))
            reply.status = 500;
        return reply;
    }));
    makeWindow(server.url(QStringLiteral("/soft/config.ini")));
    auto *update = child<QPushButton>("pushButton_update");
    QTRY_VERIFY(update->isEnabled());
    answerNextBox(QStringLiteral("确定"));
    update->click();

    QTRY_COMPARE_WITH_TIMEOUT(boxText, QStringLiteral("下载更新包失败！"), 10000);
    QCOMPARE(boxTitle, QStringLiteral("提示"));
    QTRY_VERIFY(update->isEnabled());
    QCOMPARE(child<QLabel>("label_note")->text(), QStringLiteral("下载更新包失败！"));
    QCOMPARE(child<QProgressBar>("progressBar_download")->value(), 0);
    QTest::qWait(300);
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
        QVERIFY(boxText == QStringLiteral("下载更新包失败！"));
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
    QVERIFY(server.start([&](const HttpRequest &request) {
        if (request.path == "/soft/config.ini") {
            HttpAnswer reply;
            reply.body = config("1.2.0.21131", "/soft/big.bin", "x", content);
            return reply;
        }
        HttpAnswer reply = FaultServer::honest(content, request);
        reply.chunkSize = 1000;
        reply.chunkDelayMs = 20;
        return reply;
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
    QVERIFY(server.start([&](const HttpRequest &request) {
        if (request.path == "/soft/config.ini") {
            HttpAnswer reply;
            reply.body = config("1.2.0.21131", "/soft/broken.sh", "x", broken);
            return reply;
        }
        return FaultServer::honest(broken, request);
    }));
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
    QVERIFY(server.start([](const HttpRequest &request) {
        if (request.path == "/soft/config.ini") {
            HttpAnswer reply;
            reply.body = config("1.2.0.21131", "/soft/orvane-update.sh");
            return reply;
        }
        return FaultServer::honest(Script, request);
    }));
    makeWindow(server.url(QStringLiteral("/soft/config.ini")));
    window->setClientExitWait(1500);
    auto *update = child<QPushButton>("pushButton_update");
    QTRY_VERIFY(update->isEnabled());
    update->click();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QStringLiteral("orvane-update.sh")), 10000);
    QVERIFY(!child<QPushButton>("pushButton_cancel")->isEnabled());
    window->close();
    QVERIFY2(window->isVisible(), "closing now would leave the user with neither program");
    QVERIFY(!QFile::exists(QStringLiteral("package-ran")));
    // Once the wait for the client is over, the package starts and the window goes.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QStringLiteral("package-ran")), 10000);
    QTRY_VERIFY(!window->isVisible());
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    SingleApplication app(argc, argv, QStringLiteral("tst-updatewindow-%1").arg(::getpid()));
    // The windows here close as they would in the program; the test goes on.
    app.setQuitOnLastWindowClosed(false);
    application = &app;
    TestUpdateWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_updatewindow.moc"
