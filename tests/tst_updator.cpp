#include "clientconfig.h"
#include "fixture.h"
#include "nginxserver.h"
#include "retryschedule.h"
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

const QByteArray SameVersion = "AppVersion=1.2.0.21128\n";

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

    // The key rules, without a network
    void applyServerFile_takesOnlyUsableValues_data();
    void applyServerFile_takesOnlyUsableValues();

    // Fetch outcomes against local servers
    void fetch_endsOnceWithoutLeftovers_data();
    void fetch_endsOnceWithoutLeftovers();
    void fetch_appliesTheServerKeys();
    void fetch_readsUtf8OrGbk_data();
    void fetch_readsUtf8OrGbk();
    void fetch_silentServerFailsAfterTheTransferTimeout();
    void fetch_readOnlyProgramFolderStillAppliesTheKeys();

    // Trying a failed fetch again
    void retryDelay_doublesFrom30sUpTo30min_data();
    void retryDelay_doublesFrom30sUpTo30min();
    void retrySchedule_isDueOnceAfterItsDelayInTicks();
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
    QTest::qWait(50);
    QCOMPARE(finished.count(), 1);
    QVERIFY2(!QFile::exists(programDir.filePath(QStringLiteral("SConfig.ini"))), "the temporary file is removed");
}

void TestUpdator::applyServerFile_takesOnlyUsableValues_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("positive delay taken") << QByteArray("popDelayTime=30") << "popDelayTime" << QVariant(30);
    QTest::newRow("zero delay ignored") << QByteArray("popDelayTime=0") << "popDelayTime" << QVariant(180);
    QTest::newRow("negative speed ignored") << QByteArray("textADSpeed=-2") << "textADSpeed" << QVariant(5);
    QTest::newRow("huge speed capped") << QByteArray("textADSpeed=99999999") << "textADSpeed" << QVariant(3600);
    QTest::newRow("non-number ignored") << QByteArray("popstayTime=soon") << "popstayTime" << QVariant(60);
    QTest::newRow("period taken") << QByteArray("popPeriod=600") << "popPeriod" << QVariant(600);
    QTest::newRow("quoted texts taken") << QByteArray("textADStr=\"甲;乙\"") << "textADStr"
                                        << QVariant(QStringLiteral("甲;乙"));
    QTest::newRow("unquoted comma kept whole")
        << QByteArray("textADStr=欢迎, 收看") << "textADStr" << QVariant(QStringLiteral("欢迎, 收看"));
    QTest::newRow("unquoted comma without space kept exactly")
        << QByteArray("textADStr=a,b") << "textADStr" << QVariant(QStringLiteral("a,b"));
    QTest::newRow("unquoted commas in an address kept exactly")
        << QByteArray("popUrl=http://127.0.0.1/p?ids=1,2,,3") << "popUrl"
        << QVariant(QStringLiteral("http://127.0.0.1/p?ids=1,2,,3"));
    QTest::newRow("only the general part counts") << QByteArray("[Other]\ntextADStr=u,v\n[General]\ntextADStr=x,y")
                                                  << "textADStr" << QVariant(QStringLiteral("x,y"));
    QTest::newRow("empty banner keeps the local page")
        << QByteArray("bannerADUrl=") << "bannerADUrl" << QVariant(QStringLiteral("<local>"));
    QTest::newRow("web banner taken") << QByteArray("bannerADUrl=http://127.0.0.1/b.html") << "bannerADUrl"
                                      << QVariant(QStringLiteral("http://127.0.0.1/b.html"));
    QTest::newRow("upper-case scheme is still the web") << QByteArray("popUrl=HTTP://127.0.0.1/p.html") << "popUrl"
                                                        << QVariant(QStringLiteral("HTTP://127.0.0.1/p.html"));
    QTest::newRow("script banner ignored")
        << QByteArray("bannerADUrl=javascript:alert(1)") << "bannerADUrl" << QVariant(QStringLiteral("<local>"));
    QTest::newRow("file pop-up ignored") << QByteArray("popUrl=file:///etc/passwd") << "popUrl" << QVariant(QString());
    QTest::newRow("ftp pop-up ignored") << QByteArray("popUrl=ftp://127.0.0.1/x") << "popUrl" << QVariant(QString());
    QTest::newRow("relative pop-up ignored") << QByteArray("popUrl=pop.html") << "popUrl" << QVariant(QString());
}

void TestUpdator::applyServerFile_takesOnlyUsableValues()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, field);
    QFETCH(QVariant, expected);
    const QString path = programDir.filePath(QStringLiteral("keys.ini"));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write("[General]\n" + file + "\nAppVersion=9.9\n");
    out.close();
    const QString localBanner = clientConfig->bannerADUrl;

    QCOMPARE(Updator::applyServerFile(path), QStringLiteral("9.9"));
    const ClientConfig &c = *clientConfig;
    const QHash<QString, QVariant> fields{
        {QStringLiteral("popDelayTime"), c.popDelayTime},
        {QStringLiteral("popstayTime"), c.popstayTime},
        {QStringLiteral("popPeriod"), c.popPeriod},
        {QStringLiteral("textADSpeed"), c.textADSpeed},
        {QStringLiteral("textADStr"), c.textADStr},
        {QStringLiteral("popUrl"), c.popUrl},
        {QStringLiteral("bannerADUrl"), c.bannerADUrl == localBanner ? QStringLiteral("<local>") : c.bannerADUrl}};
    QCOMPARE(fields.value(field), expected);
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

void TestUpdator::retryDelay_doublesFrom30sUpTo30min_data()
{
    QTest::addColumn<int>("failures");
    QTest::addColumn<int>("seconds");
    QTest::newRow("first failure") << 1 << 30;
    QTest::newRow("second") << 2 << 60;
    QTest::newRow("third") << 3 << 120;
    QTest::newRow("sixth") << 6 << 960;
    QTest::newRow("seventh reaches the cap") << 7 << 1800;
    QTest::newRow("long after: still the cap") << 200 << 1800;
}

void TestUpdator::retryDelay_doublesFrom30sUpTo30min()
{
    QFETCH(int, failures);
    QFETCH(int, seconds);
    QCOMPARE(RetrySchedule::delaySeconds(failures), seconds);
}

void TestUpdator::retrySchedule_isDueOnceAfterItsDelayInTicks()
{
    RetrySchedule schedule;
    QVERIFY(!schedule.tick()); // nothing failed yet
    for (int failure = 1; failure <= 3; ++failure) {
        schedule.failed();
        const int delay = RetrySchedule::delaySeconds(failure);
        for (int second = 1; second < delay; ++second)
            QVERIFY2(!schedule.tick(), qPrintable(QString::number(second)));
        QVERIFY(schedule.tick());
        QVERIFY(!schedule.isWaiting());
        QVERIFY(!schedule.tick());
    }
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
    QTest::qWait(200);
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
