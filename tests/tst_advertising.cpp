// The main window's reaction to the server configuration: the fetch half a second after start, the
// scrolling texts and the banner it sets up, the pop-up schedule and the update notice's link.
#include "advertising.h"
#include "axwidgetthread.h"
#include "clientconfig.h"
#include "fixture.h"
#include "mainwindow.h"
#include "nginxserver.h"
#include "pagearea.h"
#include "popform.h"
#include "popschedule.h"
#include "productversion.h"
#include "scrolllabel.h"
#include "updaterlauncher.h"
#include "updator.h"
#include "webtest.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>

namespace {
const int LoadTimeout = 15000;
}

class TestAdvertising : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void fetchAtStart_setsTheTextsAndTheBanner();
    void failedFetch_leavesTheTextBlankAndShowsTheLocalBanner();
    void failedFetch_isTriedAgainAfter30TicksUntilItSucceeds();
    void longScrollingText_neverCoversNorTakesClicksFromTheUpdateLink();
    void popShow_followsTheScheduleAndReplacesTheOldWindow();
    void updateLink_startsTheUpdaterEachTime();

private:
    void writeFile(const QString &path, const QByteArray &bytes);
    void startWindow(const QString &serverUrl);
    Advertising *advertising() const;
    PageArea *pages() const;

    QTemporaryDir www;
    QTemporaryDir programDir;
    NginxServer server;
    QString previousDir;
    MainWindow *window = nullptr;
};

void TestAdvertising::writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void TestAdvertising::initTestCase()
{
    ORVANE_REQUIRE_FIXTURE(NginxServer::isAvailable(), "nginx");
    QVERIFY(server.start(www.path()));
    writeFile(www.filePath(QStringLiteral("banner.html")),
              "<!doctype html><meta charset=\"utf-8\"><title>首页横幅</title><p>banner");
    writeFile(
        www.filePath(QStringLiteral("soft/config.ini")),
        "AppVersion=" ORVANE_PRODUCT_VERSION "\nbannerADUrl=" + server.url(QStringLiteral("/banner.html")).toUtf8() +
            "\ntextADStr=\"第一条;第二条\"\ntextADLink=\"http://127.0.0.1/1;http://127.0.0.1/2\"\n");
    // The program's folder, with the local pages as the build delivers them.
    const QDir delivered(QStringLiteral(PROGRAM_DIR "/html"));
    QDir().mkpath(programDir.filePath(QStringLiteral("html")));
    for (const QString &name : delivered.entryList(QDir::Files))
        QVERIFY(QFile::copy(delivered.filePath(name), programDir.filePath(QStringLiteral("html/") + name)));
    previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(programDir.path()));
}

void TestAdvertising::cleanup()
{
    UpdaterLauncher::setStarterForTest({});
    Advertising::timing = {};
    delete window; // frees clientConfig
    window = nullptr;
}

void TestAdvertising::startWindow(const QString &serverUrl)
{
    qputenv("ORVANE_SERVER_URL", serverUrl.toUtf8());
    clientConfig = new ClientConfig;
    clientConfig->load(programDir.filePath(QStringLiteral("config.ini")));
    window = new MainWindow;
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

Advertising *TestAdvertising::advertising() const
{
    return window->findChild<Advertising *>();
}

PageArea *TestAdvertising::pages() const
{
    return window->findChild<PageArea *>();
}

void TestAdvertising::fetchAtStart_setsTheTextsAndTheBanner()
{
    startWindow(server.url());
    QVERIFY(advertising()->checkUpdateTimer->isActive());
    QCOMPARE(advertising()->checkUpdateTimer->interval(), 500);
    QCOMPARE(advertising()->popTimer->interval(), 1000);

    auto *area = window->findChild<QHBoxLayout *>(QStringLiteral("hLayout_ad"));
    QWebEngineView *bannerView = pages()->bannerHost->axWidget;
    QTRY_VERIFY_WITH_TIMEOUT(area->indexOf(bannerView) == 0 && bannerView->isVisible(), LoadTimeout);
    QCOMPARE(bannerView->url(), QUrl(server.url(QStringLiteral("/banner.html"))));
    QVERIFY(clientConfig->serverInfoReady);
    QVERIFY(!advertising()->checkUpdateTimer->isActive()); // the fetch starts once

    auto *label = window->findChild<ScrollLabel *>(QStringLiteral("label_ad"));
    QCOMPARE(label->text(), QStringLiteral("第一条")); // set, brought into view later
    QVERIFY(window->findChild<QLabel *>(QStringLiteral("label_update"))->isHidden());
}

void TestAdvertising::failedFetch_leavesTheTextBlankAndShowsTheLocalBanner()
{
    Advertising::timing.fetchStartMs = 0; // what follows the fetch is under test, not when it starts
    startWindow(server.url(QStringLiteral("/nowhere")));
    QWebEngineView *bannerView = pages()->bannerHost->axWidget;
    QTRY_VERIFY_WITH_TIMEOUT(bannerView->isVisible(), LoadTimeout);
    QCOMPARE(bannerView->url(), QUrl::fromLocalFile(programDir.filePath(QStringLiteral("html/errorb.html"))));
    QVERIFY(clientConfig->serverInfoReady);
    auto *label = window->findChild<ScrollLabel *>(QStringLiteral("label_ad"));
    QVERIFY(label->text().isEmpty());
    QTest::qWait(5 * ScrollLabel::TickMs); // a label that had started would have ticked by now
    QVERIFY(!label->hasStarted());
}

void TestAdvertising::failedFetch_isTriedAgainAfter30TicksUntilItSucceeds()
{
    const QString later = www.filePath(QStringLiteral("later/soft/config.ini"));
    QFile::remove(later);
    Advertising::timing.fetchStartMs = 0;
    startWindow(server.url(QStringLiteral("/later")));
    QTRY_VERIFY_WITH_TIMEOUT(advertising()->retryTimer->isActive(), LoadTimeout);
    advertising()->retryTimer->stop(); // ticks are driven by hand below
    QVERIFY(advertising()->updator->wait(5000));
    auto *label = window->findChild<ScrollLabel *>(QStringLiteral("label_ad"));
    auto ticks = [this](int count) {
        for (int i = 0; i < count; ++i)
            advertising()->retryTick();
    };

    // The service comes back; nothing is fetched before the 30th tick.
    QDir().mkpath(QFileInfo(later).path());
    QVERIFY(QFile::copy(www.filePath(QStringLiteral("soft/config.ini")), later));
    ticks(29);
    QVERIFY(!advertising()->updator->isRunning()); // a fetch starts its thread before the tick returns
    QVERIFY(clientConfig->textADStr.isEmpty());
    // The channel page that came while the service was away is loaded afresh once it answers.
    QTRY_VERIFY_WITH_TIMEOUT(pages()->pageHost->axWidget->isVisible(), LoadTimeout);
    QSignalSpy pageLoads(pages()->pageHost, &AxWidgetThread::loadComplete);
    ticks(1);
    QTRY_COMPARE_WITH_TIMEOUT(label->text(), QStringLiteral("第一条"), LoadTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(!pageLoads.isEmpty(), LoadTimeout);
    QVERIFY(!advertising()->retryTimer->isActive()); // a successful fetch is final
    QFile::remove(later);
}

void TestAdvertising::longScrollingText_neverCoversNorTakesClicksFromTheUpdateLink()
{
    startWindow(server.url(QStringLiteral("/nowhere")));
    auto *label = window->findChild<ScrollLabel *>(QStringLiteral("label_ad"));
    auto *update = window->findChild<QLabel *>(QStringLiteral("label_update"));
    update->show();
    label->setADText(QStringLiteral("很长的滚动文字").repeated(12), QStringLiteral("http://127.0.0.1/ad"));
    for (int step = 0; step < 200 && !label->isResting(); ++step)
        label->advance();
    QVERIFY(label->isResting());
    QWidget *central = window->centralWidget();
    // The text itself is wider than the whole bottom bar...
    QVERIFY(label->width() > update->geometry().right());
    // ...but shows only inside its own area...
    const QRect shown =
        QRect(label->mapTo(central, QPoint(0, 0)), label->size())
            .intersected(QRect(label->parentWidget()->mapTo(central, QPoint(0, 0)), label->parentWidget()->size()));
    QVERIFY(!shown.isEmpty());
    QVERIFY(!shown.intersects(update->geometry()));
    // ...and every point of the link still belongs to the link.
    for (int x = update->geometry().left(); x <= update->geometry().right(); x += 5)
        QCOMPARE(central->childAt(x, update->geometry().center().y()), update);
}

void TestAdvertising::popShow_followsTheScheduleAndReplacesTheOldWindow()
{
    startWindow(server.url());
    advertising()->checkUpdateTimer->stop();
    advertising()->popTimer->stop(); // ticks are driven by hand below
    clientConfig->popUrl = server.url(QStringLiteral("/banner.html"));
    clientConfig->popDelayTime = 2;
    clientConfig->popPeriod = 3;
    auto tick = [this] {
        QMetaObject::invokeMethod(window, "onPopShow");
    };

    tick();
    QVERIFY(!advertising()->currentPop()); // nothing before the server configuration has been read
    clientConfig->serverInfoReady = true;
    tick();
    QVERIFY(!advertising()->currentPop());
    tick();
    QPointer<PopForm> first = advertising()->currentPop();
    QVERIFY(first);
    QTRY_VERIFY_WITH_TIMEOUT(first->isVisible(), LoadTimeout);
    // Not again within a minute, whatever period the server asks for.
    for (int second = 1; second < PopSchedule::MinPeriod; ++second)
        tick();
    QCOMPARE(advertising()->currentPop(), first.data());
    tick();
    QVERIFY2(!first, "a new pop-up deletes the old one");
    QVERIFY(advertising()->currentPop());
}

void TestAdvertising::updateLink_startsTheUpdaterEachTime()
{
    int starts = 0;
    UpdaterLauncher::setStarterForTest([&starts] {
        ++starts;
        return true;
    });
    startWindow(server.url());
    auto *notice = window->findChild<QLabel *>(QStringLiteral("label_update"));
    emit notice->linkActivated(QStringLiteral("update"));
    emit notice->linkActivated(QStringLiteral("anything"));
    QCOMPARE(starts, 2);
}

ORVANE_WEB_TEST_MAIN(TestAdvertising)
#include "tst_advertising.moc"
