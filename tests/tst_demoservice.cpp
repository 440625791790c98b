// The demo service's pages, served from the repository by an nginx of the test's own: the client
// accepts every channel page, and the live channel really plays its clip in this web engine.
#include "axwidgetthread.h"
#include "fixture.h"
#include "nginxserver.h"
#include "webtest.h"

#include <QSignalSpy>
#include <QWebEngineView>

class TestDemoService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void channelPage_passesTheClientsTitleTest_data();
    void channelPage_passesTheClientsTitleTest();
    void clip_plays_data();
    void clip_plays();

private:
    NginxServer server;
};

void TestDemoService::initTestCase()
{
    ORVANE_REQUIRE_FIXTURE(NginxServer::isAvailable(), "nginx");
    QVERIFY2(server.start(QStringLiteral(DEMO_WWW_DIR), QStringLiteral("index index.html;")),
             qPrintable(server.errorLog()));
}

void TestDemoService::channelPage_passesTheClientsTitleTest_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("live channels") << QStringLiteral("/soft/iflive.html");
    QTest::newRow("replays") << QStringLiteral("/soft/ifback.html");
    QTest::newRow("video on demand") << QStringLiteral("/vods/ifbdhd.html");
    QTest::newRow("apps") << QStringLiteral("/soft/ifapps.html");
    QTest::newRow("web site") << QStringLiteral("/");
}

void TestDemoService::channelPage_passesTheClientsTitleTest()
{
    QFETCH(QString, path);
    AxWidgetThread host(QStringLiteral("Orvane"));
    QSignalSpy spy(&host, &AxWidgetThread::loadComplete);
    host.beginUrl(server.url(path));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 15000);
    QVERIFY(spy.at(0).at(0).toBool());
}

void TestDemoService::clip_plays_data()
{
    QTest::addColumn<QString>("path");
    // What the user clicks first (a CSS selector), or nothing.
    QTest::addColumn<QString>("click");
    QTest::addColumn<QString>("video");
    QTest::addColumn<QString>("clip");
    QTest::newRow("the first live channel") << QStringLiteral("/soft/iflive.html") << QString()
                                            << QStringLiteral("live") << QStringLiteral("/media/testcard.webm");
    QTest::newRow("another channel from the list")
        << QStringLiteral("/soft/iflive.html") << QStringLiteral("#channels a:nth-of-type(3)") << QStringLiteral("live")
        << QStringLiteral("/media/sports.webm");
    QTest::newRow("a replay") << QStringLiteral("/soft/ifback.html") << QStringLiteral("a.play")
                              << QStringLiteral("clip") << QStringLiteral("/media/replay.webm");
}

void TestDemoService::clip_plays()
{
    QFETCH(QString, path);
    QFETCH(QString, click);
    QFETCH(QString, video);
    QFETCH(QString, clip);
    // Declared before the host: the page answers a pending question while it is destroyed.
    QString state;
    bool asking = false;
    AxWidgetThread host(QStringLiteral("Orvane"));
    QSignalSpy spy(&host, &AxWidgetThread::loadComplete);
    // Shown, as in the client: the engine holds back clips that a script starts in a hidden page.
    host.axWidget->resize(850, 470);
    host.axWidget->show();
    host.beginUrl(server.url(path));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 15000);
    if (!click.isEmpty())
        host.axWidget->page()->runJavaScript(QStringLiteral("document.querySelector('%1').click()").arg(click));
    // A codec the engine lacks shows as a media error; a clip that plays moves its clock on. The page
    // is asked again each time it has answered.
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            if (!asking) {
                asking = true;
                host.axWidget->page()->runJavaScript(
                    QStringLiteral("(v => v.error ? 'error ' + v.error.code : (v.currentTime > 1 && !v.paused) ? "
                                   "new URL(v.currentSrc).pathname : 'waiting')(document.getElementById('%1'))")
                        .arg(video),
                    [&](const QVariant &result) {
                        state = result.toString();
                        asking = false;
                    });
            }
            return state.startsWith(QLatin1Char('/')) || state.startsWith(QLatin1String("error"));
        }(),
        15000);
    QCOMPARE(state, clip);
}

ORVANE_WEB_TEST_MAIN(TestDemoService)
#include "tst_demoservice.moc"
