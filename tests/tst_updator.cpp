#include "clientconfig.h"
#include "fixture.h"
#include "nginxserver.h"
#include "productversion.h"
#include "updaterlauncher.h"
#include "updator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QByteArray SameVersion = "AppVersion=" ORVANE_PRODUCT_VERSION "\n";

// Waits for the question box and clicks the button with `text`; records what the box said.
class QuestionAnswerer : public QObject
{
public:
    explicit QuestionAnswerer(const QString &text) : answer(text)
    {
        timer.setInterval(20);
        connect(&timer, &QTimer::timeout, this, [this] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                auto *box = qobject_cast<QMessageBox *>(widget);
                if (!box || !box->isVisible())
                    continue;
                title = box->windowTitle();
                question = box->text();
                informative = box->informativeText();
                for (QAbstractButton *button : box->buttons()) {
                    buttons << button->text();
                    if (button->text() == answer)
                        QTimer::singleShot(0, button, &QAbstractButton::click);
                }
                ++seen;
                timer.stop();
            }
        });
        timer.start();
    }

    QString answer;
    QTimer timer;
    int seen = 0;
    QString title;
    QString question;
    QString informative;
    QStringList buttons;
};

} // namespace

class TestUpdator : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    // Fetch outcomes against local servers
    void fetch_endsOnceWithoutLeftovers_data();
    void fetch_endsOnceWithoutLeftovers();
    void fetch_appliesTheServerKeys();
    void fetch_readsUtf8OrGbk_data();
    void fetch_readsUtf8OrGbk();
    void fetch_silentServerFailsAfterTheTransferTimeout();
    void fetch_readOnlyProgramFolderStillAppliesTheKeys();

    // Trying a failed fetch again
    void fetchAgain_afterAFailureOnlyAndNeverAfterASuccess();

    // The question
    void otherVersion_askedAndAccepted_startsTheUpdater();
    void otherVersion_askedAndDeclined_keepsTheNotice();

private:
    void serve(const QByteArray &body);
    void runFetch(const QString &url, Updator *updator = nullptr);

    QTemporaryDir programDir;
    QTemporaryDir wwwDir;
    NginxServer nginx;
    QLabel *notice = nullptr;
    QString previousCurrent;
    int starts = 0;
    QSignalSpy *finishedSpy = nullptr;
};

void TestUpdator::initTestCase()
{
    ORVANE_REQUIRE_FIXTURE(NginxServer::isAvailable(), "nginx");
}

void TestUpdator::init()
{
    previousCurrent = QDir::currentPath();
    QDir::setCurrent(programDir.path());
    clientConfig = new ClientConfig;
    notice = new QLabel;
    notice->hide();
    starts = 0;
    UpdaterLauncher::setStarterForTest([this] {
        ++starts;
        return true;
    });
}

void TestUpdator::cleanup()
{
    UpdaterLauncher::setStarterForTest({});
    delete notice;
    delete clientConfig;
    clientConfig = nullptr;
    QDir::setCurrent(previousCurrent);
}

void TestUpdator::serve(const QByteArray &body)
{
    QDir(wwwDir.path()).mkpath(QStringLiteral("soft"));
    QFile file(wwwDir.filePath(QStringLiteral("soft/config.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(body);
    file.close();
    if (nginx.port() == 0)
        QVERIFY(nginx.start(wwwDir.path()));
}

void TestUpdator::runFetch(const QString &url, Updator *given)
{
    Updator local(url, notice);
    Updator *updator = given ? given : &local;
    QSignalSpy finished(updator, &Updator::getInfoFinished);
    updator->start();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 15000);
    QVERIFY(clientConfig->serverInfoReady);
    QVERIFY(updator->wait(5000));
    QCoreApplication::processEvents(); // whatever the ended thread posted has arrived
    QCOMPARE(finished.count(), 1);
    QVERIFY2(!QFile::exists(programDir.filePath(QStringLiteral("SConfig.ini"))), "the temporary file is removed");
}

void TestUpdator::fetch_endsOnceWithoutLeftovers_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("asks");
    QTest::newRow("same version") << "serve" << SameVersion << false;
    QTest::newRow("404") << "missing" << QByteArray() << false;
    QTest::newRow("connection refused") << "refused" << QByteArray() << false;
    QByteArray garbage;
    for (int i = 0; i < 5000; ++i)
        garbage += char((i * 131 + 7) % 256);
    QTest::newRow("garbage bytes") << "serve" << garbage << false;
    QTest::newRow("huge file") << "serve" << QByteArray(3 * 1024 * 1024, 'x') + "\n" + SameVersion << false;
    QTest::newRow("no version announced") << "serve" << QByteArray("otherKey=1\n") << false;
    QTest::newRow("empty address") << "address:" << QByteArray() << false;
    QTest::newRow("upper-case HTTP address") << "address:HTTP://127.0.0.1:1/soft/config.ini" << QByteArray() << false;
    QTest::newRow("script address") << "address:javascript:alert(1)" << QByteArray() << false;
    QTest::newRow("file address") << "address:file:///etc/hostname" << QByteArray() << false;
}

void TestUpdator::fetch_endsOnceWithoutLeftovers()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, body);
    QFETCH(bool, asks);
    QString url;
    if (kind == QLatin1String("serve") || kind == QLatin1String("missing")) {
        serve(body);
        url = nginx.url(kind == QLatin1String("serve") ? QStringLiteral("/soft/config.ini")
                                                       : QStringLiteral("/soft/absent.ini"));
    } else if (kind == QLatin1String("refused")) {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        url = QStringLiteral("http://127.0.0.1:%1/soft/config.ini").arg(closed.serverPort());
    } else {
        url = kind.mid(8);
    }
    QuestionAnswerer answerer(QStringLiteral("取消"));
    runFetch(url);
    QCOMPARE(answerer.seen > 0, asks);
    QCOMPARE(notice->isVisible(), asks);
    QCOMPARE(clientConfig->popDelayTime, 180);
    QCOMPARE(clientConfig->bannerADUrl, QDir::currentPath() + QStringLiteral("/html/errorb.html"));
    QCOMPARE(starts, 0);
}

void TestUpdator::fetch_appliesTheServerKeys()
{
    serve(SameVersion + "popDelayTime=30\npopstayTime=10\npopPeriod=600\npopUrl=http://127.0.0.1/pop.html\n"
                        "textADStr=\"第一条;第二条\"\ntextADLink=\"http://127.0.0.1/1;http://127.0.0.1/2\"\n"
                        "textADSpeed=0\n"
                        "bannerADUrl=\nunknownKey=1\n");
    runFetch(nginx.url(QStringLiteral("/soft/config.ini")));
    QCOMPARE(clientConfig->popDelayTime, 30);
    QCOMPARE(clientConfig->popstayTime, 10);
    QCOMPARE(clientConfig->popPeriod, 600);
    QCOMPARE(clientConfig->popUrl, QStringLiteral("http://127.0.0.1/pop.html"));
    QCOMPARE(clientConfig->textADStr, QStringLiteral("第一条;第二条"));
    QCOMPARE(clientConfig->textADLink, QStringLiteral("http://127.0.0.1/1;http://127.0.0.1/2"));
    QCOMPARE(clientConfig->textADSpeed, 5);
    QCOMPARE(clientConfig->bannerADUrl, QDir::currentPath() + QStringLiteral("/html/errorb.html"));
    QVERIFY(notice->isHidden());
}

void TestUpdator::fetch_readsUtf8OrGbk_data()
{
    QTest::addColumn<QByteArray>("body");
    const QString text = QStringLiteral("textADStr=\"欢迎收看;节目预告\"\n");
    QTest::newRow("UTF-8") << text.toUtf8();
    QTest::newRow("UTF-8 with byte-order mark") << "\xEF\xBB\xBF" + text.toUtf8();
    QStringEncoder gbk("GB18030");
    QTest::newRow("GBK") << QByteArray(gbk.encode(text));
}

void TestUpdator::fetch_readsUtf8OrGbk()
{
    QFETCH(QByteArray, body);
    serve(body + SameVersion);
    runFetch(nginx.url(QStringLiteral("/soft/config.ini")));
    QCOMPARE(clientConfig->textADStr, QStringLiteral("欢迎收看;节目预告"));
}

void TestUpdator::fetch_silentServerFailsAfterTheTransferTimeout()
{
    // Accepts the connection and never answers.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    QList<QTcpSocket *> held;
    connect(&silent, &QTcpServer::newConnection, this, [&] {
        held << silent.nextPendingConnection();
    });

    Updator updator(QStringLiteral("http://127.0.0.1:%1/soft/config.ini").arg(silent.serverPort()), notice);
    updator.setTransferTimeout(400);
    QElapsedTimer timer;
    timer.start();
    runFetch(QString(), &updator);
    QVERIFY(!held.isEmpty());
    QVERIFY2(timer.elapsed() >= 350 && timer.elapsed() < 5000, QByteArray::number(timer.elapsed()));
    QCOMPARE(clientConfig->popDelayTime, 180);
}

void TestUpdator::fetch_readOnlyProgramFolderStillAppliesTheKeys()
{
    serve(SameVersion + "popDelayTime=42\n");
    // A program folder that cannot hold the temporary file, even for root: the current folder's name
    // is taken by a plain file inside a removed folder.
    QTemporaryDir gone;
    QVERIFY(QDir::setCurrent(gone.path()));
    QVERIFY(gone.remove());
    runFetch(nginx.url(QStringLiteral("/soft/config.ini")));
    QCOMPARE(clientConfig->popDelayTime, 42);
}

void TestUpdator::fetchAgain_afterAFailureOnlyAndNeverAfterASuccess()
{
    serve(SameVersion + "popDelayTime=77\n");
    Updator updator(nginx.url(QStringLiteral("/soft/later.ini")), notice);
    runFetch(QString(), &updator);
    QVERIFY(!updator.succeeded());
    QCOMPARE(clientConfig->popDelayTime, 180);

    QFile::copy(wwwDir.filePath(QStringLiteral("soft/config.ini")), wwwDir.filePath(QStringLiteral("soft/later.ini")));
    QSignalSpy again(&updator, &Updator::getInfoFinished);
    updator.fetchAgain();
    QTRY_COMPARE_WITH_TIMEOUT(again.count(), 1, 15000);
    QVERIFY(updator.succeeded());
    QCOMPARE(clientConfig->popDelayTime, 77);

    QVERIFY(updator.wait(5000));
    updator.fetchAgain();
    QVERIFY(!updator.isRunning()); // fetchAgain starts its thread before it returns, or not at all
    QCoreApplication::processEvents();
    QCOMPARE(again.count(), 1);
    QFile::remove(wwwDir.filePath(QStringLiteral("soft/later.ini")));
}

void TestUpdator::otherVersion_askedAndAccepted_startsTheUpdater()
{
    serve("AppVersion=1.2.0.21127\n");
    QuestionAnswerer answerer(QStringLiteral("确定"));
    runFetch(nginx.url(QStringLiteral("/soft/config.ini")));
    QCOMPARE(answerer.seen, 1);
    QCOMPARE(answerer.title, QStringLiteral("提示"));
    QCOMPARE(answerer.question, QStringLiteral("检查到新的版本，是否立即升级?"));
    QCOMPARE(answerer.buttons, (QStringList{QStringLiteral("确定"), QStringLiteral("取消")}));
    // Both versions, so the user knows what the update brings.
    QVERIFY(answerer.informative.contains(QStringLiteral("1.2.0.21128")));
    QVERIFY(answerer.informative.contains(QStringLiteral("1.2.0.21127")));
    QCOMPARE(starts, 1);
    QVERIFY(notice->isVisible());
}

void TestUpdator::otherVersion_askedAndDeclined_keepsTheNotice()
{
    serve("AppVersion=2.0.0.1\n");
    QuestionAnswerer answerer(QStringLiteral("取消"));
    runFetch(nginx.url(QStringLiteral("/soft/config.ini")));
    QCOMPARE(answerer.seen, 1);
    QCOMPARE(starts, 0);
    QVERIFY(notice->isVisible());
}

QTEST_MAIN(TestUpdator)
#include "tst_updator.moc"
