// Forged and tampered releases against the real update window: each is refused with its reason, and
// nothing runs, nothing is left behind and the client is never told to quit.
#include "faultserver.h"
#include "instancelock.h"
#include "mainwindow.h"
#include "singleapplication.h"
#include "testrelease.h"

#include <QDir>
#include <QLabel>
#include <QLocalServer>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <unistd.h>

namespace {
const QByteArray Script = "#!/bin/sh\necho ran > \"$(dirname \"$0\")/package-ran\"\n";
const QByteArray Evil = "#!/bin/sh\necho ran > \"$(dirname \"$0\")/package-ran\"\n#evil\n";
// Changes a genuine release, the package the server hands out, or the keys the build trusts.
using Forgery = std::function<void(TestRelease &, QByteArray &served, QList<QByteArray> &trusted)>;
} // namespace

Q_DECLARE_METATYPE(Forgery)
Q_DECLARE_METATYPE(Release::Refusal)

class TestUpdateTrust : public QObject
{
    Q_OBJECT

private slots:
    void forgery_isRefusedAndNothingRuns_data();
    void forgery_isRefusedAndNothingRuns();
};

void TestUpdateTrust::forgery_isRefusedAndNothingRuns_data()
{
    QTest::addColumn<Forgery>("forge");
    QTest::addColumn<Release::Refusal>("refusal");
    using R = Release::Refusal;
    const ReleaseKey stranger = TestRelease::key('z');
    const auto sha256 = [](const QByteArray &bytes) {
        return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    };

    QTest::newRow("genuine release runs")
        << Forgery([](TestRelease &, QByteArray &, QList<QByteArray> &) {}) << R::None;
    QTest::newRow("build without a key") << Forgery([](TestRelease &, QByteArray &, QList<QByteArray> &trusted) {
        trusted.clear();
    }) << R::NoTrustedKey;
    QTest::newRow("signature removed") << Forgery([](TestRelease &r, QByteArray &, QList<QByteArray> &) {
        r.manifest.signature.clear();
    }) << R::SignatureMissing;
    QTest::newRow("signature not base64") << Forgery([](TestRelease &r, QByteArray &, QList<QByteArray> &) {
        r.manifest.signature = QStringLiteral("not*a*signature");
    }) << R::SignatureMalformed;
    QTest::newRow("signed by a stranger") << Forgery([=](TestRelease &r, QByteArray &, QList<QByteArray> &) {
        r.resign(stranger);
    }) << R::UnknownKey;
    QTest::newRow("stranger claims the trusted key id")
        << Forgery([=](TestRelease &r, QByteArray &, QList<QByteArray> &) {
               const QString trustedId = r.manifest.keyId;
               r.resign(stranger).manifest.keyId = trustedId;
           })
        << R::BadSignature;
    QTest::newRow("version raised everywhere") << Forgery([](TestRelease &r, QByteArray &, QList<QByteArray> &) {
        r.appVersion = "9.0";
        r.manifest.version = QStringLiteral("9.0");
    }) << R::BadSignature;
    QTest::newRow("package renamed") << Forgery([](TestRelease &r, QByteArray &, QList<QByteArray> &) {
        r.packUrl = "/soft/other.sh";
    }) << R::BadSignature;
    QTest::newRow("package swapped with its size and hash")
        << Forgery([=](TestRelease &r, QByteArray &served, QList<QByteArray> &) {
               served = Evil;
               r.manifest.size = QString::number(Evil.size());
               r.manifest.sha256 = sha256(Evil);
           })
        << R::BadSignature;
    QTest::newRow("downgrade flag added") << Forgery([](TestRelease &r, QByteArray &, QList<QByteArray> &) {
        r.manifest.allowDowngrade = QStringLiteral("1");
    }) << R::BadSignature;
    QTest::newRow("expiry extended") << Forgery([](TestRelease &r, QByteArray &, QList<QByteArray> &) {
        r.manifest.expires = Release::expiryText(QDateTime::currentDateTimeUtc().addYears(1));
    }) << R::BadSignature;
    QTest::newRow("expiry not a UTC time") << Forgery([](TestRelease &r, QByteArray &, QList<QByteArray> &) {
        r.manifest.expires = QStringLiteral("2099-01-01T00:00:00+08:00");
    }) << R::ManifestMalformed;
    QTest::newRow("AppVersion is not the signed one") << Forgery([](TestRelease &r, QByteArray &, QList<QByteArray> &) {
        r.appVersion = "1.2.0.21132";
    }) << R::VersionMismatch;
    QTest::newRow("expired") << Forgery([](TestRelease &r, QByteArray &, QList<QByteArray> &) {
        r.manifest.expires = Release::expiryText(QDateTime::currentDateTimeUtc().addSecs(-60));
        r.resign();
    }) << R::Expired;
    QTest::newRow("older version signed without downgrade")
        << Forgery([](TestRelease &r, QByteArray &served, QList<QByteArray> &) {
               r = TestRelease::of(served, "1.2.0.9");
           })
        << R::Downgrade;
    QTest::newRow("package swapped on the server")
        << Forgery([](TestRelease &, QByteArray &served, QList<QByteArray> &) {
               served = QByteArray(Script).replace("echo ran", "echo pwn");
           })
        << R::HashMismatch;
    QTest::newRow("package cut short on the server")
        << Forgery([](TestRelease &, QByteArray &served, QList<QByteArray> &) {
               served.chop(1);
           })
        << R::SizeMismatch;
}

void TestUpdateTrust::forgery_isRefusedAndNothingRuns()
{
    QFETCH(Forgery, forge);
    QFETCH(Release::Refusal, refusal);
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const auto restore = qScopeGuard([&] {
        QDir::setCurrent(previous);
    });

    QByteArray served = Script;
    TestRelease release = TestRelease::of(Script);
    QList<QByteArray> trusted = {TestRelease::key('b').publicKey, TestRelease::key().publicKey};
    forge(release, served, trusted);
    FaultServer server;
    QVERIFY(server.start([&](const HttpRequest &request) {
        if (request.path == "/soft/config.ini") {
            HttpAnswer reply;
            reply.body = release.ini();
            return reply;
        }
        return FaultServer::honest(served, request);
    }));

    // A client that would be told to quit.
    const InstanceLock clientLock(QStringLiteral("ORVN"));
    QLocalServer client;
    QLocalServer::removeServer(InstanceLock::serverName(QStringLiteral("ORVN")));
    QVERIFY(client.listen(InstanceLock::serverName(QStringLiteral("ORVN"))));

    MainWindow window(nullptr);
    window.setCheckDelay(0);
    window.setConfigUrl(server.url(QStringLiteral("/soft/config.ini")));
    window.setTrustedKeys(trusted);
    window.setClientExitWait(200);
    window.show();
    auto *note = window.findChild<QLabel *>(QStringLiteral("label_note"));
    auto *update = window.findChild<QPushButton *>(QStringLiteral("pushButton_update"));
    QTRY_VERIFY(note->text() != QStringLiteral("正在检查更新..."));

    if (refusal == Release::Refusal::None) {
        update->click();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QStringLiteral("package-ran")), 10000);
        QVERIFY(client.hasPendingConnections());
        return;
    }
    if (refusal == Release::Refusal::SizeMismatch || refusal == Release::Refusal::HashMismatch) {
        QVERIFY(update->isEnabled());
        QString boxText;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                boxText = box->text();
                box->accept();
            }
        });
        poll.start(20);
        update->click();
        QTRY_VERIFY_WITH_TIMEOUT(!boxText.isEmpty(), 10000);
        QCOMPARE(boxText, Release::message(refusal));
    }
    QCOMPARE(note->text(), Release::message(refusal));
    QVERIFY(!update->isEnabled());
    // The refusal is complete by now; a moment more shows that nothing is started or left behind later.
    QTest::qWait(50);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    QVERIFY(!client.hasPendingConnections());
    QVERIFY(window.isVisible());
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    SingleApplication app(argc, argv, QStringLiteral("tst-updatetrust-%1").arg(::getpid()));
    app.setQuitOnLastWindowClosed(false);
    TestUpdateTrust test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_updatetrust.moc"
