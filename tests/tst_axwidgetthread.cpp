// The web page host against pages served by an nginx of the test's own on 127.0.0.1.
#include "axwidgetthread.h"
#include "fixture.h"
#include "nginxserver.h"
#include "webtest.h"

#include <QHBoxLayout>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {
const int LoadTimeout = 15000;
// How long a host is watched for a report that must not come. A late report of a replaced navigation,
// a stray new window or a second report follows its cause within a few dozen milliseconds.
const int QuietMs = 200;

QString closedPortUrl()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    const quint16 port = server.serverPort();
    server.close();
    return QStringLiteral("http://127.0.0.1:%1/soft/iflive.html").arg(port);
}
} // namespace

class TestAxWidgetThread : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // The title rule
    void keywordRule_data();
    void keywordRule();

    // One signal per navigation
    void overlappingNavigations_reportOnlyTheLast_data();
    void overlappingNavigations_reportOnlyTheLast();
    void navigationReplacingASlowPage_reportsOnce();
    void unusedHost_neverReports();
    void navigationInsideThePage_reportsNothing();

    // Silence
    void dialogs_neitherShowNorStallTheLoad();
    void pageAskingToStay_isLeftAnyway();
    void permissionRequest_isDenied();
    void newWindows_goToTheBrowserOnlyForHttp_data();
    void newWindows_goToTheBrowserOnlyForHttp();
    void newWindows_needAClickAndAreRateLimited_data();
    void newWindows_needAClickAndAreRateLimited();
    void rateLimit_admitsSoManyPerSpan_data();
    void rateLimit_admitsSoManyPerSpan();
    void downloads_areRefused();

    // Ownership
    void leavingFullScreen_givesTheKeyboardBackToThePage();
    void viewDestroyedWithItsWindow_isNotDeletedAgain();
    void hostDeletedWhileReadingTheTitle_reportsNothing();

private:
    void writePage(const QString &path, const QByteArray &html);
    // Loads `path` into the shown view and clicks it `clicks` times.
    void clickPage(AxWidgetThread &host, const QString &path, int clicks);
    QTemporaryDir www;
    NginxServer server;
    QList<QUrl> opened;
};

void TestAxWidgetThread::initTestCase()
{
    ORVANE_REQUIRE_FIXTURE(NginxServer::isAvailable(), "nginx");
    writePage(QStringLiteral("soft/iflive.html"), "<title>Orvane网络电视</title><p>live");
    writePage(QStringLiteral("soft/ifback.html"), "<title>Orvane 回看</title><p>back");
    writePage(QStringLiteral("lower.html"), "<title>orvane网络电视</title>");
    writePage(QStringLiteral("banner.html"), "<title>首页 - 推荐</title>");
    // Served under a folder named after the product: the address contains the keyword, the title does not.
    writePage(QStringLiteral("Orvane/untitled.html"), "<p>no title here");
    writePage(QStringLiteral("slow.html"), "<title>Orvane slow</title>" + QByteArray(4096, ' ') + "<p>slow");
    writePage(QStringLiteral("dialogs.html"), "<title>Orvane</title><script>alert('hello');"
                                              "var c = confirm('sure?'); var p = prompt('name?', 'x');"
                                              "document.title = 'Orvane ' + c + ' ' + p;</script>");
    writePage(QStringLiteral("stay.html"), "<title>Orvane stay</title><script>onbeforeunload = e => {"
                                           "e.preventDefault(); e.returnValue = 'stay'; };"
                                           "onclick = () => document.title = 'Orvane stay clicked';</script>"
                                           "<body style=\"margin:0;height:100vh\">stay");
    writePage(QStringLiteral("file.bin"), QByteArray(2048, 'x'));
    writePage(QStringLiteral("notification.html"), "<title>Orvane</title><script>Notification.requestPermission().then("
                                                   "r => document.title = 'denied ' + r);</script>");
    writePage(QStringLiteral("click.html"),
              "<title>Orvane</title><body style=\"margin:0;height:100vh\"><script>var n = 0, last = -1e9;"
              "document.body.onclick = () => { if (performance.now() - last < 100) return;"
              "last = performance.now(); window.open(decodeURIComponent(location.hash.slice(1)));"
              "document.title = 'Orvane ' + ++n; };</script>");
    writePage(QStringLiteral("flood.html"),
              "<title>Orvane</title><script>var n = 0; var t = setInterval(() => {"
              "window.open('http://127.0.0.1:9/ad.html'); if (++n == 20) { clearInterval(t);"
              "document.title = 'Orvane flooded'; } }, 20);</script>");
    // A slow page keeps the first of two navigations busy while the second one starts.
    QVERIFY2(server.start(www.path(), QStringLiteral("location = /slow.html { limit_rate 1k; }")),
             qPrintable(server.errorLog()));
    AxWidgetThread::externalOpener() = [this](const QUrl &url) {
        opened << url;
    };
}

void TestAxWidgetThread::init()
{
    opened.clear();
}

void TestAxWidgetThread::cleanup()
{
    // Nothing may leave a window behind: no dialog, no pop-up.
    for (QWidget *widget : QApplication::topLevelWidgets())
        QVERIFY2(!widget->isVisible() || qobject_cast<QWebEngineView *>(widget),
                 qPrintable(QStringLiteral("stray window: ") + QLatin1String(widget->metaObject()->className())));
}

void TestAxWidgetThread::writePage(const QString &path, const QByteArray &html)
{
    const QString file = www.filePath(path);
    QDir().mkpath(QFileInfo(file).path());
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(html.startsWith("<title>") ? "<!doctype html><meta charset=\"utf-8\">" + html : html);
}

void TestAxWidgetThread::keywordRule_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<bool>("noError");
    const QString live = server.url(QStringLiteral("/soft/iflive.html"));
    QTest::newRow("title contains the keyword") << live << QStringLiteral("Orvane") << true;
    QTest::newRow("another host's keyword") << live << QStringLiteral("首页") << false;
    QTest::newRow("keyword in other letter case")
        << server.url(QStringLiteral("/lower.html")) << QStringLiteral("Orvane") << false;
    QTest::newRow("banner keyword") << server.url(QStringLiteral("/banner.html")) << QStringLiteral("首页") << true;
    QTest::newRow("no title, keyword only in the address")
        << server.url(QStringLiteral("/Orvane/untitled.html")) << QStringLiteral("Orvane") << false;
    QTest::newRow("404 under a folder with the keyword")
        << server.url(QStringLiteral("/Orvane/missing.html")) << QStringLiteral("Orvane") << false;
    QTest::newRow("server not answering") << closedPortUrl() << QStringLiteral("Orvane") << false;
    QTest::newRow("local file path") << www.filePath(QStringLiteral("soft/iflive.html")) << QStringLiteral("Orvane")
                                     << true;
    QTest::newRow("missing local file") << www.filePath(QStringLiteral("Orvane/error1.html"))
                                        << QStringLiteral("Orvane") << false;
}

void TestAxWidgetThread::keywordRule()
{
    QFETCH(QString, url);
    QFETCH(QString, keyword);
    QFETCH(bool, noError);
    AxWidgetThread host(keyword);
    QSignalSpy spy(&host, &AxWidgetThread::loadComplete);
    host.beginUrl(url);
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, LoadTimeout);
    QCOMPARE(spy.at(0).at(0).toBool(), noError);
}

void TestAxWidgetThread::overlappingNavigations_reportOnlyTheLast_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::addColumn<bool>("noError");
    QTest::newRow("failing page, then a good one")
        << server.url(QStringLiteral("/nothing-here.html")) << server.url(QStringLiteral("/soft/iflive.html")) << true;
    QTest::newRow("good page, then a failing one")
        << server.url(QStringLiteral("/soft/iflive.html")) << server.url(QStringLiteral("/lower.html")) << false;
}

void TestAxWidgetThread::overlappingNavigations_reportOnlyTheLast()
{
    QFETCH(QString, first);
    QFETCH(QString, last);
    QFETCH(bool, noError);
    AxWidgetThread host(QStringLiteral("Orvane"));
    QSignalSpy spy(&host, &AxWidgetThread::loadComplete);
    host.beginUrl(first);
    host.beginUrl(last);
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, LoadTimeout);
    QCOMPARE(spy.at(0).at(0).toBool(), noError);
    QCOMPARE(host.axWidget->url(), QUrl(last));
    QTest::qWait(QuietMs);
    QCOMPARE(spy.count(), 1);
}

void TestAxWidgetThread::navigationReplacingASlowPage_reportsOnce()
{
    AxWidgetThread host(QStringLiteral("Orvane"));
    QSignalSpy spy(&host, &AxWidgetThread::loadComplete);
    host.beginUrl(server.url(QStringLiteral("/slow.html")));
    // Under way: its head is in, the rest still trickling.
    QTRY_COMPARE_WITH_TIMEOUT(host.axWidget->title(), QStringLiteral("Orvane slow"), LoadTimeout);
    QVERIFY(host.axWidget->page()->isLoading());
    host.beginUrl(server.url(QStringLiteral("/soft/ifback.html")));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, LoadTimeout);
    QVERIFY(spy.at(0).at(0).toBool());
    QCOMPARE(host.axWidget->title(), QStringLiteral("Orvane 回看"));
    QTest::qWait(QuietMs);
    QCOMPARE(spy.count(), 1);
}

void TestAxWidgetThread::unusedHost_neverReports()
{
    AxWidgetThread host(QStringLiteral("Orvane"));
    QSignalSpy spy(&host, &AxWidgetThread::loadComplete);
    QTest::qWait(QuietMs);
    QCOMPARE(spy.count(), 0);
}

void TestAxWidgetThread::navigationInsideThePage_reportsNothing()
{
    AxWidgetThread host(QStringLiteral("Orvane"));
    QSignalSpy spy(&host, &AxWidgetThread::loadComplete);
    host.beginUrl(server.url(QStringLiteral("/soft/iflive.html")));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, LoadTimeout);
    host.axWidget->page()->runJavaScript(QStringLiteral("location.href = '/soft/ifback.html'"));
    QTRY_COMPARE_WITH_TIMEOUT(host.axWidget->title(), QStringLiteral("Orvane 回看"), LoadTimeout);
    QTest::qWait(QuietMs);
    QCOMPARE(spy.count(), 1);
}

void TestAxWidgetThread::dialogs_neitherShowNorStallTheLoad()
{
    AxWidgetThread host(QStringLiteral("Orvane"));
    QSignalSpy spy(&host, &AxWidgetThread::loadComplete);
    host.beginUrl(server.url(QStringLiteral("/dialogs.html")));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, LoadTimeout);
    QVERIFY(spy.at(0).at(0).toBool());
    // confirm() answers no and prompt() is cancelled.
    QCOMPARE(host.axWidget->title(), QStringLiteral("Orvane false null"));
}

void TestAxWidgetThread::pageAskingToStay_isLeftAnyway()
{
    AxWidgetThread host(QStringLiteral("Orvane"));
    QSignalSpy spy(&host, &AxWidgetThread::loadComplete);
    host.axWidget->resize(400, 300);
    host.axWidget->show();
    QVERIFY(QTest::qWaitForWindowExposed(host.axWidget));
    host.beginUrl(server.url(QStringLiteral("/stay.html")));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, LoadTimeout);
    // The engine asks before leaving only a page the user has interacted with.
    QTRY_VERIFY(host.axWidget->focusProxy());
    QTest::mouseClick(host.axWidget->focusProxy(), Qt::LeftButton, {}, QPoint(50, 50));
    QTRY_COMPARE_WITH_TIMEOUT(host.axWidget->title(), QStringLiteral("Orvane stay clicked"), LoadTimeout);
    host.beginUrl(server.url(QStringLiteral("/soft/iflive.html")));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, LoadTimeout);
    QVERIFY(spy.at(1).at(0).toBool());
    QCOMPARE(host.axWidget->title(), QStringLiteral("Orvane网络电视"));
}

void TestAxWidgetThread::permissionRequest_isDenied()
{
    // Camera and location cannot be asked for on a machine without devices; notifications can.
    AxWidgetThread host(QStringLiteral("Orvane"));
    host.beginUrl(server.url(QStringLiteral("/notification.html")));
    QTRY_COMPARE_WITH_TIMEOUT(host.axWidget->title(), QStringLiteral("denied denied"), LoadTimeout);
}

void TestAxWidgetThread::newWindows_goToTheBrowserOnlyForHttp_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("external");
    QTest::newRow("http") << QStringLiteral("http://127.0.0.1:9/news.html") << true;
    QTest::newRow("https") << QStringLiteral("https://127.0.0.1:9/news.html") << true;
    QTest::newRow("local file") << QStringLiteral("file:///etc/hostname") << false;
    QTest::newRow("blank") << QStringLiteral("about:blank") << false;
    QTest::newRow("script") << QStringLiteral("javascript:alert(1)") << false;
}

void TestAxWidgetThread::newWindows_goToTheBrowserOnlyForHttp()
{
    QFETCH(QString, target);
    QFETCH(bool, external);
    AxWidgetThread host(QStringLiteral("Orvane"));
    clickPage(host, QStringLiteral("/click.html#") + QString::fromLatin1(QUrl::toPercentEncoding(target)), 1);
    if (external)
        QTRY_COMPARE(opened, QList<QUrl>({QUrl(target)}));
    QTest::qWait(QuietMs);
    QCOMPARE(opened.size(), external ? 1 : 0);
    QCOMPARE(host.axWidget->title(), QStringLiteral("Orvane 1"));
}

void TestAxWidgetThread::newWindows_needAClickAndAreRateLimited_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<int>("launches");
    const QString click = QStringLiteral("/click.html#http%3A%2F%2F127.0.0.1%3A9%2Fad.html");
    QTest::newRow("window.open on a timer") << QStringLiteral("/flood.html") << 0 << 0;
    QTest::newRow("one click") << click << 1 << 1;
    QTest::newRow("five clicks in a row") << click << 5 << AxWidgetThread::WindowsPerSpan;
}

void TestAxWidgetThread::newWindows_needAClickAndAreRateLimited()
{
    QFETCH(QString, page);
    QFETCH(int, clicks);
    QFETCH(int, launches);
    AxWidgetThread host(QStringLiteral("Orvane"));
    clickPage(host, page, clicks);
    QTRY_VERIFY_WITH_TIMEOUT(host.axWidget->title().startsWith(QLatin1String("Orvane ")), LoadTimeout);
    QTest::qWait(QuietMs);
    QCOMPARE(opened.size(), launches);
}

void TestAxWidgetThread::rateLimit_admitsSoManyPerSpan_data()
{
    QTest::addColumn<QList<qint64>>("times");
    QTest::addColumn<QList<bool>>("admitted");
    QTest::newRow("three at once, fourth refused") << QList<qint64>{0, 1, 2, 3} << QList<bool>{true, true, true, false};
    QTest::newRow("a slot frees once the span has passed")
        << QList<qint64>{0, 1, 2, 9999, 10000, 10001} << QList<bool>{true, true, true, false, true, true};
    QTest::newRow("refusals take no slot")
        << QList<qint64>{0, 100, 200, 300, 400, 10100} << QList<bool>{true, true, true, false, false, true};
}

void TestAxWidgetThread::rateLimit_admitsSoManyPerSpan()
{
    QFETCH(QList<qint64>, times);
    RateLimit limit(3, 10000);
    QList<bool> admitted;
    for (qint64 time : times)
        admitted << limit.admit(time);
    QTEST(admitted, "admitted");
}

void TestAxWidgetThread::clickPage(AxWidgetThread &host, const QString &path, int clicks)
{
    QSignalSpy spy(&host, &AxWidgetThread::loadComplete);
    host.axWidget->resize(300, 200);
    host.axWidget->show();
    host.beginUrl(server.url(path));
    QVERIFY(QTest::qWaitForWindowExposed(host.axWidget));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, LoadTimeout);
    // The page counts the clicks it saw in its title, so each click is a gesture of its own. Until the
    // page is ready the engine drops clicks, or holds them back and hands them over together (a busy
    // machine); no sign tells when (mouse moves reach the page earlier). So an unseen click is tried
    // again after a pause, and clicks arriving together count once.
    for (int click = 1; click <= clicks; ++click) {
        const QString seen = QStringLiteral("Orvane %1").arg(click);
        for (int attempt = 0; attempt < 10 && host.axWidget->title() != seen; ++attempt) {
            const QString before = host.axWidget->title();
            QTest::mouseClick(host.axWidget->focusProxy(), Qt::LeftButton, {}, QPoint(150, 100));
            // On a busy machine the title may take a while: clicking again meanwhile would count twice.
            const bool changed = QTest::qWaitFor(
                [&] {
                    return host.axWidget->title() != before;
                },
                2000);
            Q_UNUSED(changed) // unchanged: the click was lost, and is tried again
        }
        QCOMPARE(host.axWidget->title(), seen);
    }
}

void TestAxWidgetThread::downloads_areRefused()
{
    QList<QWebEngineDownloadRequest::DownloadState> states;
    // Connected after the host's own handler, so this sees the state that one left.
    connect(AxWidgetThread::profile(), &QWebEngineProfile::downloadRequested, this,
            [&states](QWebEngineDownloadRequest *download) {
                states << download->state();
            });
    AxWidgetThread host(QStringLiteral("Orvane"));
    QSignalSpy spy(&host, &AxWidgetThread::loadComplete);
    host.beginUrl(server.url(QStringLiteral("/file.bin")));
    QTRY_COMPARE_WITH_TIMEOUT(states.size(), 1, LoadTimeout);
    QCOMPARE(states.at(0), QWebEngineDownloadRequest::DownloadCancelled);
    disconnect(AxWidgetThread::profile(), &QWebEngineProfile::downloadRequested, this, nullptr);
    // The navigation that became a download still ends, and shows no page of the keyword.
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, LoadTimeout);
    QVERIFY(!spy.at(0).at(0).toBool());
}

void TestAxWidgetThread::leavingFullScreen_givesTheKeyboardBackToThePage()
{
    AxWidgetThread host(QStringLiteral("Orvane"));
    QWidget window;
    auto *layout = new QHBoxLayout(&window);
    layout->addWidget(host.axWidget);
    QSignalSpy loaded(&host, &AxWidgetThread::loadComplete);
    host.beginUrl(server.url(QStringLiteral("/soft/iflive.html")));
    window.show();
    QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, LoadTimeout);

    host.setFullScreen(true);
    QTRY_VERIFY(host.axWidget->isActiveWindow());
    host.setFullScreen(false);
    QCOMPARE(host.axWidget->window(), &window);
    QTRY_VERIFY(window.isActiveWindow());
    QTRY_VERIFY(host.axWidget->hasFocus());
}

void TestAxWidgetThread::viewDestroyedWithItsWindow_isNotDeletedAgain()
{
    auto *host = new AxWidgetThread(QStringLiteral("Orvane"));
    auto *window = new QWidget;
    auto *layout = new QHBoxLayout(window);
    layout->addWidget(host->axWidget);
    QCOMPARE(host->axWidget->parentWidget(), window);
    delete window;
    QVERIFY(host->axWidget.isNull());
    delete host;
}

void TestAxWidgetThread::hostDeletedWhileReadingTheTitle_reportsNothing()
{
    // The page answers its pending title request while it is destroyed; an owner reacting to a
    // report then would touch a host that is going away.
    for (int round = 0; round < 5; ++round) {
        auto *host = new AxWidgetThread(QStringLiteral("Orvane"));
        int reports = 0;
        connect(host, &AxWidgetThread::loadComplete, this, [&reports] {
            ++reports;
        });
        bool deleted = false;
        connect(
            host->axWidget->page(), &QWebEnginePage::loadFinished, this,
            [&] {
                delete host;
                deleted = true;
            },
            Qt::QueuedConnection);
        host->beginUrl(server.url(QStringLiteral("/soft/iflive.html")));
        QTRY_VERIFY_WITH_TIMEOUT(deleted, 15000);
        QTest::qWait(50); // the pending title answer arrives while the page goes
        QCOMPARE(reports, 0);
    }
}

ORVANE_WEB_TEST_MAIN(TestAxWidgetThread)
#include "tst_axwidgetthread.moc"
