// The pop-up advertisement window, with pages written to a folder of the test's own.
#include "axwidgetthread.h"
#include "clientconfig.h"
#include "popform.h"
#include "webtest.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {
const int LoadTimeout = 15000;
}

class TestPopForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void window_isAFramelessToolWindowOnTop();
    void placement_data();
    void placement();

    // Showing
    void pageWithTheKeyword_showsAndCountsDown();
    void pageWithoutTheKeyword_staysHidden();
    void emptyAddress_loadsNothingAndStaysHidden();

    // Closing
    void stay_data();
    void stay();
    void closeButton_stopsTheCountdown();

private:
    QString writePage(const QByteArray &title);
    void showPop(int stay);

    QTemporaryDir dir;
    PopForm *pop = nullptr;
};

void TestPopForm::init()
{
    clientConfig = new ClientConfig;
}

void TestPopForm::cleanup()
{
    delete pop;
    pop = nullptr;
    delete clientConfig;
    clientConfig = nullptr;
}

QString TestPopForm::writePage(const QByteArray &title)
{
    static int counter = 0;
    const QString path = dir.filePath(QStringLiteral("pop%1.html").arg(++counter));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("<!doctype html><meta charset=\"utf-8\"><title>" + title + "</title><p>ad</p>");
    return path;
}

void TestPopForm::showPop(int stay)
{
    clientConfig->popstayTime = stay;
    pop = new PopForm;
    pop->setUrl(writePage("Orvane 首页推荐"));
    pop->startPop();
    QVERIFY(pop->isHidden());
    QTRY_VERIFY_WITH_TIMEOUT(pop->isVisible(), LoadTimeout);
}

void TestPopForm::window_isAFramelessToolWindowOnTop()
{
    pop = new PopForm;
    QCOMPARE(pop->size(), QSize(298, 248));
    QCOMPARE(pop->windowFlags() & (Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
             Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    QCOMPARE(pop->windowTitle(), clientConfig->productName);
    QCOMPARE(pop->findChild<QWidget *>(QStringLiteral("horizontalLayoutWidget"))->geometry(), QRect(-3, -3, 304, 254));
    auto *close = pop->findChild<QPushButton *>(QStringLiteral("pushButton_close"));
    QCOMPARE(close->parentWidget()->geometry(), QRect(280, 0, 18, 18));
    QCOMPARE(close->geometry(), QRect(-1, 0, 19, 19));
    QVERIFY(!pop->testAttribute(Qt::WA_DeleteOnClose));
}

void TestPopForm::placement_data()
{
    QTest::addColumn<QSize>("available");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("1280 x 800") << QSize(1280, 800) << QPoint(982, 552);
    QTest::newRow("task bar along the bottom") << QSize(1920, 1040) << QPoint(1622, 792);
    QTest::newRow("tiny screen") << QSize(200, 200) << QPoint(-98, -48);
}

void TestPopForm::placement()
{
    QFETCH(QSize, available);
    QFETCH(QPoint, expected);
    QCOMPARE(PopForm::placement(available, QSize(298, 248)), expected);
}

void TestPopForm::pageWithTheKeyword_showsAndCountsDown()
{
    showPop(5);
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    QCOMPARE(pop->pos(), PopForm::placement(screen, pop->size()));
    auto *view = pop->findChild<QWebEngineView *>();
    QVERIFY(view);
    QCOMPARE(view->parentWidget()->objectName(), QStringLiteral("horizontalLayoutWidget"));
    QVERIFY(pop->isCountingDown());
    QCOMPARE(pop->secondsLeft(), 5);
}

void TestPopForm::pageWithoutTheKeyword_staysHidden()
{
    pop = new PopForm;
    auto *host = pop->findChild<AxWidgetThread *>();
    QSignalSpy judged(host, &AxWidgetThread::loadComplete);
    pop->setUrl(writePage("Orvane 直播"));
    pop->startPop();
    QVERIFY(!pop->findChild<QWebEngineView *>()); // not laid out before a good load

    // The page really loaded, and its title check is over.
    QTRY_COMPARE_WITH_TIMEOUT(judged.count(), 1, LoadTimeout);
    QCOMPARE(host->axWidget->title(), QStringLiteral("Orvane 直播"));
    QVERIFY(!judged.first().first().toBool());
    QVERIFY(pop->isHidden());
    QVERIFY(!pop->isCountingDown());
}

void TestPopForm::emptyAddress_loadsNothingAndStaysHidden()
{
    pop = new PopForm;
    QSignalSpy judged(pop->findChild<AxWidgetThread *>(), &AxWidgetThread::loadComplete);
    pop->setUrl(QString());
    pop->startPop();
    // Nothing is asked of the page host; a load started anyway would end within this time.
    QTest::qWait(200);
    QCOMPARE(judged.count(), 0);
    QVERIFY(pop->isHidden());
    QVERIFY(!pop->isCountingDown());
}

void TestPopForm::stay_data()
{
    QTest::addColumn<int>("stay");
    QTest::addColumn<int>("ticks");
    QTest::newRow("three seconds") << 3 << 3;
    QTest::newRow("one second") << 1 << 1;
    QTest::newRow("zero closes on the first tick") << 0 << 1;
    QTest::newRow("negative closes on the first tick") << -5 << 1;
}

void TestPopForm::stay()
{
    QFETCH(int, stay);
    QFETCH(int, ticks);
    showPop(stay);
    // Drive the one-second countdown tick by tick.
    for (int tick = 1; tick < ticks; ++tick) {
        QMetaObject::invokeMethod(pop, "myStay");
        QVERIFY2(pop->isVisible(), qPrintable(QStringLiteral("closed early, after %1 ticks").arg(tick)));
    }
    QMetaObject::invokeMethod(pop, "myStay");
    QVERIFY(pop->isHidden());
    QVERIFY(!pop->isCountingDown());
}

void TestPopForm::closeButton_stopsTheCountdown()
{
    showPop(30);
    QTest::mouseClick(pop->findChild<QPushButton *>(QStringLiteral("pushButton_close")), Qt::LeftButton);
    QVERIFY(pop->isHidden());
    QVERIFY(!pop->isCountingDown());
    QCOMPARE(pop->secondsLeft(), 30);
}

ORVANE_WEB_TEST_MAIN(TestPopForm)
#include "tst_popform.moc"
