// The main window's page and banner areas against channel pages from an nginx of the test's own,
// with the local pages that the build delivers beside the program.
#include "advertising.h"
#include "axwidgetthread.h"
#include "clientconfig.h"
#include "fixture.h"
#include "mainwindow.h"
#include "nginxserver.h"
#include "pagearea.h"
#include "webtest.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>

#include <csignal>

namespace {
const int LoadTimeout = 15000;
// A failed load of a missing local page ends within a few dozen milliseconds, so a page or banner
// that kept asking for its error page would start several more loads in this time.
const int NoMoreLoadsMs = 300;

// Counts how often a widget is shown.
class ShowCounter final : public QObject
{
public:
    explicit ShowCounter(QWidget *widget)
    {
        widget->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
    int shows = 0;
};

// Ends the view's renderer the hard way, as the kernel does to a process that took too much memory.
void killRenderer(QWebEngineView *view)
{
    const qint64 pid = view->page()->renderProcessPid();
    QVERIFY(pid > 0);
    QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
}

struct Channel
{
    const char *path;
    const char *title;
};
const Channel Channels[] = {{"soft/iflive.html", "Orvane 直播"},
                            {"soft/ifback.html", "Orvane 回看"},
                            {"vods/ifbdhd.html", "Orvane 点播"},
                            {"soft/ifapps.html", "Orvane 应用"}};
} // namespace

class TestPageArea : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // The delivered local pages
    void localPages_carryTheirKeywordAndNeedNothingOutside_data();
    void localPages_carryTheirKeywordAndNeedNothingOutside();

    // Page selection
    void start_showsTheLoadingPageThenTheFirstChannel();
    void pageButton_selectsItsPage_data();
    void pageButton_selectsItsPage();

    // Failures
    void failingPage_showsItsErrorPageAndKeepsItsButton_data();
    void failingPage_showsItsErrorPageAndKeepsItsButton();
    void serverDown_showsTheErrorPageOfEachPage();
    void missingErrorPage_endsInANoticeInsteadOfLoadingForEver();

    // Banner
    void banner_entersItsAreaOnlyOnceLoaded();
    void failingBanner_showsTheLocalBannerPage();
    void missingBannerPage_leavesTheAreaEmpty();
    void tab_leavesThePageForTheWindowsButtons();
    void localBanner_fitsItsAreaOnOneLineInEachFont_data();
    void localBanner_fitsItsAreaOnOneLineInEachFont();

    // Renderers that end
    void killedPageRenderer_showsTheLoadingPageAndReloadsThreeTimesThenTheErrorPage();
    void killedBannerRenderer_showsTheLocalBannerThenTheBannerAgain();

private:
    void writeChannel(int page, const QByteArray &title);
    void startWindow(const QString &serverUrl);
    QWebEngineView *view(const char *name) const;
    PageArea *pages() const;
    QPushButton *button(int page) const;
    void verifySelected(int page);
    void waitForPage(const QUrl &url);
    QString localPage(const QString &name) const;

    QTemporaryDir www;
    QTemporaryDir programDir;
    NginxServer server;
    QString previousDir;
    MainWindow *window = nullptr;
};

void TestPageArea::initTestCase()
{
    ORVANE_REQUIRE_FIXTURE(NginxServer::isAvailable(), "nginx");
    QVERIFY2(server.start(www.path()), qPrintable(server.errorLog()));
    previousDir = QDir::currentPath();
}

void TestPageArea::init()
{
    for (int page = 1; page <= 4; ++page)
        writeChannel(page, Channels[page - 1].title);
    // The program's folder, with the html folder exactly as the build delivers it.
    QDir(programDir.path()).removeRecursively();
    QDir().mkpath(programDir.filePath(QStringLiteral("html")));
    const QDir delivered(QStringLiteral(PROGRAM_DIR "/html"));
    for (const QString &name : delivered.entryList(QDir::Files))
        QVERIFY(QFile::copy(delivered.filePath(name), programDir.filePath(QStringLiteral("html/") + name)));
    QVERIFY(QDir::setCurrent(programDir.path()));
}

void TestPageArea::cleanup()
{
    delete window; // frees clientConfig
    window = nullptr;
    QDir::setCurrent(previousDir);
}

void TestPageArea::writeChannel(int page, const QByteArray &title)
{
    const QString file = www.filePath(QLatin1String(Channels[page - 1].path));
    QDir().mkpath(QFileInfo(file).path());
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("<!doctype html><meta charset=\"utf-8\"><title>" + title + "</title><p>" + title);
}

void TestPageArea::startWindow(const QString &serverUrl)
{
    qputenv("ORVANE_SERVER_URL", serverUrl.toUtf8());
    clientConfig = new ClientConfig;
    clientConfig->load(programDir.filePath(QStringLiteral("config.ini")));
    window = new MainWindow;
    // These tests drive the banner themselves; the server configuration would send it elsewhere.
    window->findChild<Advertising *>()->checkUpdateTimer->stop();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

QWebEngineView *TestPageArea::view(const char *name) const
{
    return window->findChild<QWebEngineView *>(QLatin1String(name));
}

PageArea *TestPageArea::pages() const
{
    return window->findChild<PageArea *>();
}

QPushButton *TestPageArea::button(int page) const
{
    return window->findChild<QPushButton *>(QStringLiteral("pushButton_page%1").arg(page));
}

void TestPageArea::verifySelected(int page)
{
    for (int other = 1; other <= 4; ++other) {
        QCOMPARE(button(other)->isChecked(), other == page);
        QCOMPARE(button(other)->isEnabled(), other != page);
    }
}

// Waits until the page area shows `url` in place of the loading page.
void TestPageArea::waitForPage(const QUrl &url)
{
    QWebEngineView *page = view("pageView");
    QTRY_VERIFY_WITH_TIMEOUT(page->isVisible() && page->url() == url, LoadTimeout);
    QVERIFY(!view("loadingView")->isVisible());
}

QString TestPageArea::localPage(const QString &name) const
{
    return programDir.filePath(QStringLiteral("html/") + name);
}

void TestPageArea::localPages_carryTheirKeywordAndNeedNothingOutside_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("keyword");
    for (const char *name : {"load.html", "error1.html", "error2.html", "error3.html", "error4.html"})
        QTest::newRow(name) << QString::fromLatin1(name) << QStringLiteral("Orvane");
    QTest::newRow("errorb.html") << QStringLiteral("errorb.html") << QStringLiteral("首页");
}

void TestPageArea::localPages_carryTheirKeywordAndNeedNothingOutside()
{
    QFETCH(QString, name);
    QFETCH(QString, keyword);
    QFile file(QStringLiteral(PROGRAM_DIR "/html/") + name);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    static const QRegularExpression title(QStringLiteral("<title>([^<]*)</title>"));
    QVERIFY(title.match(html).captured(1).contains(keyword));
    // Shown when the network is down, so they may not depend on it.
    static const QRegularExpression outside(QStringLiteral("(src|href)\\s*=|url\\(|@import|://"));
    QVERIFY2(!outside.match(html).hasMatch(), qPrintable(outside.match(html).captured(0)));
}

void TestPageArea::start_showsTheLoadingPageThenTheFirstChannel()
{
    startWindow(server.url());
    verifySelected(1);
    QVERIFY(view("loadingView")->isVisible());
    QVERIFY(!view("pageView")->isVisible());
    QTRY_COMPARE(view("loadingView")->url(), QUrl::fromLocalFile(localPage(QStringLiteral("load.html"))));

    waitForPage(QUrl(server.url(QStringLiteral("/soft/iflive.html"))));
    QCOMPARE(view("pageView")->title(), QStringLiteral("Orvane 直播"));
    verifySelected(1);
    // The page fills the page area, covering the skin behind it.
    QCOMPARE(view("pageView")->parentWidget()->objectName(), QStringLiteral("horizontalLayoutWidget_6"));
    QCOMPARE(view("pageView")->size(), QSize(854, 474));
}

void TestPageArea::pageButton_selectsItsPage_data()
{
    QTest::addColumn<int>("page");
    QTest::newRow("replays") << 2;
    QTest::newRow("video on demand (hidden button)") << 3;
    QTest::newRow("apps (hidden button)") << 4;
}

void TestPageArea::pageButton_selectsItsPage()
{
    QFETCH(int, page);
    startWindow(server.url());
    waitForPage(QUrl(server.url(QStringLiteral("/soft/iflive.html"))));

    button(page)->click();
    verifySelected(page);
    QVERIFY(view("loadingView")->isVisible());
    QVERIFY(!view("pageView")->isVisible());
    waitForPage(QUrl(server.url(QLatin1Char('/') + QLatin1String(Channels[page - 1].path))));
    QCOMPARE(view("pageView")->title(), QString::fromUtf8(Channels[page - 1].title));
    verifySelected(page);
}

void TestPageArea::failingPage_showsItsErrorPageAndKeepsItsButton_data()
{
    QTest::addColumn<bool>("missing");
    QTest::newRow("404") << true;
    QTest::newRow("title without the keyword") << false;
}

void TestPageArea::failingPage_showsItsErrorPageAndKeepsItsButton()
{
    QFETCH(bool, missing);
    if (missing)
        QVERIFY(QFile::remove(www.filePath(QLatin1String(Channels[1].path))));
    else
        writeChannel(2, "orvane, but in the wrong case");
    startWindow(server.url());
    waitForPage(QUrl(server.url(QStringLiteral("/soft/iflive.html"))));

    button(2)->click();
    waitForPage(QUrl::fromLocalFile(localPage(QStringLiteral("error2.html"))));
    QVERIFY(view("pageView")->title().contains(QStringLiteral("节目回看")));
    verifySelected(2);

    button(1)->click();
    verifySelected(1);
    waitForPage(QUrl(server.url(QStringLiteral("/soft/iflive.html"))));
}

void TestPageArea::serverDown_showsTheErrorPageOfEachPage()
{
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const quint16 port = closed.serverPort();
    closed.close();
    startWindow(QStringLiteral("http://127.0.0.1:%1").arg(port));
    waitForPage(QUrl::fromLocalFile(localPage(QStringLiteral("error1.html"))));
    verifySelected(1);
    button(2)->click();
    QVERIFY(view("loadingView")->isVisible());
    waitForPage(QUrl::fromLocalFile(localPage(QStringLiteral("error2.html"))));
    verifySelected(2);
}

void TestPageArea::missingErrorPage_endsInANoticeInsteadOfLoadingForEver()
{
    QVERIFY(QFile::remove(localPage(QStringLiteral("error2.html"))));
    startWindow(server.url());
    waitForPage(QUrl(server.url(QStringLiteral("/soft/iflive.html"))));
    QSignalSpy loads(view("pageView")->page(), &QWebEnginePage::loadStarted);

    QVERIFY(QFile::remove(www.filePath(QLatin1String(Channels[1].path))));
    button(2)->click();
    QWebEngineView *page = view("pageView");
    QTRY_VERIFY_WITH_TIMEOUT(page->isVisible(), LoadTimeout);
    QVERIFY(!view("loadingView")->isVisible());
    QTRY_VERIFY(page->title().contains(QStringLiteral("Orvane")));
    const int attempts = loads.count();
    // The channel page, three tries of its error page and the notice, then nothing more.
    QVERIFY2(attempts <= 5, qPrintable(QString::number(attempts)));
    QTest::qWait(NoMoreLoadsMs);
    QCOMPARE(loads.count(), attempts);
    verifySelected(2);

    // The page can still be chosen again once the server is back.
    writeChannel(2, Channels[1].title);
    button(1)->click();
    waitForPage(QUrl(server.url(QStringLiteral("/soft/iflive.html"))));
    button(2)->click();
    waitForPage(QUrl(server.url(QStringLiteral("/soft/ifback.html"))));
}

void TestPageArea::banner_entersItsAreaOnlyOnceLoaded()
{
    QFile banner(www.filePath(QStringLiteral("banner.html")));
    QVERIFY(banner.open(QIODevice::WriteOnly));
    banner.write("<!doctype html><meta charset=\"utf-8\"><title>首页广告</title><p>ad");
    banner.close();
    startWindow(server.url());
    auto *area = window->findChild<QHBoxLayout *>(QStringLiteral("hLayout_ad"));
    QWebEngineView *bannerView = pages()->bannerHost->axWidget;
    QCOMPARE(area->indexOf(bannerView), -1);
    QVERIFY(!bannerView->isVisible());

    pages()->bannerHost->beginUrl(server.url(QStringLiteral("/banner.html")));
    QTRY_VERIFY_WITH_TIMEOUT(area->indexOf(bannerView) == 0 && bannerView->isVisible(), LoadTimeout);
    QCOMPARE(bannerView->parentWidget()->objectName(), QStringLiteral("horizontalLayoutWidget_5"));
    QCOMPARE(bannerView->title(), QStringLiteral("首页广告"));
}

void TestPageArea::failingBanner_showsTheLocalBannerPage()
{
    startWindow(server.url());
    auto *area = window->findChild<QHBoxLayout *>(QStringLiteral("hLayout_ad"));
    QWebEngineView *bannerView = pages()->bannerHost->axWidget;
    // A channel page is no banner: its title lacks the banner's keyword.
    pages()->bannerHost->beginUrl(server.url(QStringLiteral("/soft/iflive.html")));
    QTRY_VERIFY_WITH_TIMEOUT(area->indexOf(bannerView) == 0, LoadTimeout);
    QCOMPARE(bannerView->url(), QUrl::fromLocalFile(localPage(QStringLiteral("errorb.html"))));
    QVERIFY(bannerView->isVisible());
}

void TestPageArea::missingBannerPage_leavesTheAreaEmpty()
{
    QVERIFY(QFile::remove(localPage(QStringLiteral("errorb.html"))));
    startWindow(server.url());
    QWebEngineView *bannerView = pages()->bannerHost->axWidget;
    QSignalSpy loads(bannerView->page(), &QWebEnginePage::loadStarted);
    QSignalSpy done(pages()->bannerHost, &AxWidgetThread::loadComplete);
    pages()->bannerHost->beginUrl(server.url(QStringLiteral("/no-banner.html")));
    // The banner itself, then three tries of the local banner page.
    QTRY_COMPARE_WITH_TIMEOUT(done.count(), 4, LoadTimeout);
    QTest::qWait(NoMoreLoadsMs);
    QCOMPARE(done.count(), 4);
    QCOMPARE(window->findChild<QHBoxLayout *>(QStringLiteral("hLayout_ad"))->indexOf(bannerView), -1);
    QVERIFY(!bannerView->isVisible());
}

void TestPageArea::tab_leavesThePageForTheWindowsButtons()
{
    QFile page(www.filePath(QLatin1String(Channels[0].path)));
    QVERIFY(page.open(QIODevice::WriteOnly));
    // The page names its focused link in its title, so that each step can be waited for.
    page.write("<!doctype html><meta charset=\"utf-8\"><title>Orvane 直播</title>"
               "<a href=\"#1\">一</a> <a href=\"#2\">二</a> <a href=\"#3\">三</a>"
               "<script>addEventListener('focusin', e => document.title = 'Orvane ' + e.target.textContent)</script>");
    page.close();
    startWindow(server.url());
    waitForPage(QUrl(server.url(QStringLiteral("/soft/iflive.html"))));
    QApplication::setActiveWindow(window);
    QTRY_VERIFY(window->isActiveWindow());
    QWebEngineView *pageView = view("pageView");
    auto focusPlace = [pageView] {
        QWidget *focus = QApplication::focusWidget();
        if (focus && (focus == pageView || pageView->isAncestorOf(focus)))
            return QStringLiteral("page: ") + pageView->title();
        return focus ? focus->objectName() : QString();
    };
    pageView->setFocus(Qt::TabFocusReason);
    QCOMPARE(focusPlace(), QStringLiteral("page: Orvane 直播"));
    // Through the page's own links, then the window's buttons in their order (the current page's
    // is disabled), then back into the page.
    QStringList buttons;
    bool backInThePage = false;
    for (int i = 0; i < 16 && !backInThePage; ++i) {
        const QString before = focusPlace();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTRY_VERIFY(focusPlace() != before);
        QWidget *focus = QApplication::focusWidget();
        if (qobject_cast<QPushButton *>(focus))
            buttons << focus->objectName();
        else if (!buttons.isEmpty())
            backInThePage = pageView->isAncestorOf(focus) || focus == pageView;
    }
    QCOMPARE(buttons, (QStringList{QStringLiteral("pushButton_page2"), QStringLiteral("pushButton_book"),
                                   QStringLiteral("pushButton_skin"), QStringLiteral("pushButton_min"),
                                   QStringLiteral("pushButton_close")}));
    QVERIFY(backInThePage);
}

void TestPageArea::localBanner_fitsItsAreaOnOneLineInEachFont_data()
{
    QTest::addColumn<QString>("family");
    QTest::newRow("Noto Sans CJK") << "Noto Sans CJK SC";
    QTest::newRow("WenQuanYi Micro Hei") << "WenQuanYi Micro Hei";
}

void TestPageArea::localBanner_fitsItsAreaOnOneLineInEachFont()
{
    QFETCH(QString, family);
    ORVANE_REQUIRE_FIXTURE(QFontDatabase::families().contains(family), "the font");
    // The banner's view sticks out of its 466 x 58 area by 3 pixels on every side.
    QWebEngineView view;
    view.resize(472, 64);
    view.show();
    QSignalSpy loaded(view.page(), &QWebEnginePage::loadFinished);
    view.load(QUrl::fromLocalFile(QStringLiteral(PROGRAM_DIR "/html/errorb.html")));
    QTRY_VERIFY_WITH_TIMEOUT(!loaded.isEmpty(), LoadTimeout);
    QVERIFY(loaded.first().first().toBool());

    // Every run of text: its box, and on how many lines it lies.
    const QString script =
        QStringLiteral(
            "document.body.style.fontFamily = \"'%1'\";"
            "const runs = [];"
            "const walk = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);"
            "while (walk.nextNode()) {"
            "  if (!walk.currentNode.textContent.trim()) continue;"
            "  const range = document.createRange(); range.selectNodeContents(walk.currentNode);"
            "  const r = range.getBoundingClientRect();"
            "  const lines = new Set(Array.from(range.getClientRects()).map(c => Math.round(c.bottom))).size;"
            "  runs.push([r.left, r.top, r.right, r.bottom, lines]);"
            "}"
            "runs")
            .arg(family);
    QVariantList runs;
    bool answered = false;
    view.page()->runJavaScript(script, [&](const QVariant &result) {
        runs = result.toList();
        answered = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(answered, LoadTimeout);
    QVERIFY(!runs.isEmpty());
    const QRectF area(3, 3, 466, 58);
    qreal top = -1;
    for (const QVariant &run : runs) {
        const QVariantList box = run.toList();
        const QRectF rect(QPointF(box.at(0).toDouble(), box.at(1).toDouble()),
                          QPointF(box.at(2).toDouble(), box.at(3).toDouble()));
        const QString what =
            QStringLiteral("%1,%2 %3x%4").arg(rect.left()).arg(rect.top()).arg(rect.width()).arg(rect.height());
        QVERIFY2(area.contains(rect), qPrintable(what));
        QVERIFY2(box.at(4).toInt() == 1, qPrintable(what + QStringLiteral(": wraps")));
        // All runs share one line.
        if (top >= 0)
            QVERIFY2(qAbs(rect.center().y() - top) < rect.height(), qPrintable(what));
        top = rect.center().y();
    }
}

void TestPageArea::killedPageRenderer_showsTheLoadingPageAndReloadsThreeTimesThenTheErrorPage()
{
    startWindow(server.url());
    const QUrl live(server.url(QStringLiteral("/soft/iflive.html")));
    waitForPage(live);
    pages()->setRecoveryPause(100);
    QWebEngineView *page = view("pageView");
    ShowCounter loading(view("loadingView"));
    for (int round = 1; round <= RendererRecovery::MaxTries; ++round) {
        const qint64 before = page->page()->renderProcessPid();
        killRenderer(page);
        QTRY_COMPARE_WITH_TIMEOUT(loading.shows, round, LoadTimeout);
        waitForPage(live);
        QVERIFY(page->page()->renderProcessPid() != before);
    }
    killRenderer(page);
    waitForPage(QUrl::fromLocalFile(localPage(QStringLiteral("error1.html"))));
    verifySelected(1);
}

void TestPageArea::killedBannerRenderer_showsTheLocalBannerThenTheBannerAgain()
{
    QFile banner(www.filePath(QStringLiteral("banner.html")));
    QVERIFY(banner.open(QIODevice::WriteOnly));
    banner.write("<!doctype html><meta charset=\"utf-8\"><title>首页广告</title><p>ad");
    banner.close();
    startWindow(server.url());
    clientConfig->bannerADUrl = server.url(QStringLiteral("/banner.html"));
    QWebEngineView *bannerView = pages()->bannerHost->axWidget;
    pages()->bannerHost->beginUrl(clientConfig->bannerADUrl);
    QTRY_VERIFY_WITH_TIMEOUT(bannerView->isVisible() && bannerView->title() == QStringLiteral("首页广告"), LoadTimeout);

    QSignalSpy shown(bannerView, &QWebEngineView::urlChanged);
    killRenderer(bannerView);
    QTRY_VERIFY_WITH_TIMEOUT(shown.count() >= 2 && bannerView->title() == QStringLiteral("首页广告"), LoadTimeout);
    QCOMPARE(shown.first().first().toUrl(), QUrl::fromLocalFile(localPage(QStringLiteral("errorb.html"))));
    QVERIFY(bannerView->isVisible());
}

ORVANE_WEB_TEST_MAIN(TestPageArea)
#include "tst_pagearea.moc"
