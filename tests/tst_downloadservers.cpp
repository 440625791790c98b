// The download against the web servers the distribution packages, with and without ranges.
#include "downloadcontrol.h"
#include "fixture.h"
#include "nginxserver.h"
#include "resumestate.h"
#include "staticserver.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

enum class Server { Nginx, Lighttpd, Apache, Caddy, PythonHttp };

QByteArray sha256(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

} // namespace

Q_DECLARE_METATYPE(Server)

class TestDownloadServers : public QObject
{
    Q_OBJECT

private slots:
    void everyServer_givesTheSameBytesAndContinuesAfterARestart_data();
    void everyServer_givesTheSameBytesAndContinuesAfterARestart();

private:
    static bool askValidators(const QString &url, ResumeState *state);
};

void TestDownloadServers::everyServer_givesTheSameBytesAndContinuesAfterARestart_data()
{
    QTest::addColumn<Server>("server");
    QTest::addColumn<bool>("ranges");
    QTest::newRow("nginx") << Server::Nginx << true;
    QTest::newRow("lighttpd") << Server::Lighttpd << true;
    QTest::newRow("apache2") << Server::Apache << true;
    QTest::newRow("caddy (416 for an upper-case unit)") << Server::Caddy << true;
    QTest::newRow("python3 http.server (no ranges)") << Server::PythonHttp << false;
}

void TestDownloadServers::everyServer_givesTheSameBytesAndContinuesAfterARestart()
{
    QFETCH(Server, server);
    QFETCH(bool, ranges);
    QTemporaryDir served;
    QTemporaryDir work;
    // Servers that drop root's rights must still read the package.
    QFile::setPermissions(served.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                             QFileDevice::ReadOther | QFileDevice::ExeOther);
    QByteArray content(3 * 1024 * 1024 + 7, Qt::Uninitialized);
    QRandomGenerator random(11);
    for (char &byte : content)
        byte = char(random.generate() & 0xff);
    QFile file(served.filePath(QStringLiteral("Setup-1.2.0.21131.exe")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    // A release is not changed in the second it is served; some servers refuse If-Range for one that was.
    file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-3600), QFileDevice::FileModificationTime);
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);

    NginxServer nginx;
    StaticServer other;
    QString url;
    if (server == Server::Nginx) {
        ORVANE_REQUIRE_FIXTURE(NginxServer::isAvailable(), "nginx");
        QVERIFY2(nginx.start(served.path()), qPrintable(nginx.errorLog()));
        url = nginx.url(QStringLiteral("/Setup-1.2.0.21131.exe"));
    } else {
        const auto kind = StaticServer::Kind(int(server) - 1);
        ORVANE_REQUIRE_FIXTURE(!StaticServer::program(kind).isEmpty(), "the web server of this row");
        QVERIFY2(other.start(kind, served.path()), qPrintable(other.log()));
        url = other.url(QStringLiteral("/Setup-1.2.0.21131.exe"));
    }

    const QString target = work.filePath(QStringLiteral("package.exe"));
    for (const bool restarted : {false, true}) {
        if (restarted) {
            // As if a first run had stopped halfway through every part: the server must accept If-Range
            // with its own validator, or the package comes again whole.
            QVERIFY(QFile::rename(target, target + QStringLiteral(".part")));
            ResumeState state;
            QVERIFY(askValidators(url, &state));
            state.url = url;
            state.size = content.size();
            state.saved = QDateTime::currentDateTimeUtc();
            for (const ByteRange &range : DownloadPlan::partition(content.size(), 5))
                state.parts.append({range, range.length() / 2});
            QVERIFY(ResumeStateFile::write(ResumeStateFile::statePath(target + QStringLiteral(".part")), state));
        }
        DownloadControl control;
        QSignalSpy progress(&control, &DownloadControl::FileDownloadProgress);
        QSignalSpy finished(&control, &DownloadControl::FileDownloadFinished);
        control.FetchFile(url, 5, target);
        QVERIFY(finished.wait(60000));
        QVERIFY2(control.ErrorString().isEmpty(), qPrintable(control.ErrorString()));
        QFile result(target);
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(sha256(result.readAll()), sha256(content));
        QCOMPARE(progress.last().at(0).toLongLong(), content.size());
        QCOMPARE(progress.last().at(1).toLongLong(), content.size());
        QCOMPARE(QDir(work.path()).entryList(QDir::Files), QStringList{QStringLiteral("package.exe")});
        QCOMPARE(control.FetchedInRanges(), ranges);
        if (restarted && ranges)
            QVERIFY2(control.FetchedBytes() <= content.size() / 2 + 5,
                     qPrintable(QString::number(control.FetchedBytes())));
    }
}

bool TestDownloadServers::askValidators(const QString &url, ResumeState *state)
{
    QNetworkAccessManager manager;
    QNetworkReply *reply = manager.head(QNetworkRequest(QUrl(url)));
    QSignalSpy done(reply, &QNetworkReply::finished);
    const bool answered = done.wait(10000);
    state->etag = reply->rawHeader("ETag");
    state->lastModified = reply->rawHeader("Last-Modified");
    delete reply;
    return answered && !state->validator().isEmpty();
}

QTEST_GUILESS_MAIN(TestDownloadServers)
#include "tst_downloadservers.moc"
