// Both programs send their HTTP traffic through the proxy the system names; on Linux without a
// desktop's settings that is the http_proxy environment variable. The proxy here is a local server
// that records what it is asked for and answers 404. Neither Qt Network (through libproxy) nor the
// web engine proxies loopback addresses, so the servers get names that only the proxy sees: ".invalid"
// names are reserved and resolve nowhere.
#include "faultserver.h"
#include "processtest.h"

#include <QTest>

namespace {
// Requests through a proxy name the whole address.
bool asked(const FaultServer &proxy, const QByteArray &address)
{
    const QList<HttpRequest> requests = proxy.requests();
    return std::any_of(requests.begin(), requests.end(), [&](const HttpRequest &request) {
        return request.path == address;
    });
}

QByteArray seen(const FaultServer &proxy)
{
    QByteArray list;
    for (const HttpRequest &request : proxy.requests())
        list += request.method + ' ' + request.path + '\n';
    return list;
}

QProcessEnvironment throughProxy(const ProcessTest &test, const FaultServer &proxy)
{
    QProcessEnvironment env = test.environment();
    for (const char *name : {"no_proxy", "NO_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("http_proxy"), proxy.url());
    env.insert(QStringLiteral("ORVANE_SERVER_URL"), QStringLiteral("http://tv.orvane.invalid"));
    env.insert(QStringLiteral("ORVANE_UPDATE_SERVER_URL"), QStringLiteral("http://update.orvane.invalid"));
    return env;
}
} // namespace

class TestProxy : public QObject
{
    Q_OBJECT

private slots:
    void updater_checksThroughTheSystemProxy();
    void client_loadsPagesThroughTheSystemProxy();
};

void TestProxy::updater_checksThroughTheSystemProxy()
{
    FaultServer proxy;
    QVERIFY(proxy.start([](const HttpRequest &) {
        return HttpAnswer{404, {}, "not here"};
    }));
    ProcessTest test;
    test.start(QStringLiteral(RENOVO_PATH), {}, throughProxy(test, proxy));
    QTRY_VERIFY2_WITH_TIMEOUT(asked(proxy, "http://update.orvane.invalid/soft/config.ini"), seen(proxy).constData(),
                              10000);
}

void TestProxy::client_loadsPagesThroughTheSystemProxy()
{
    FaultServer proxy;
    QVERIFY(proxy.start([](const HttpRequest &) {
        return HttpAnswer{404, {}, "not here"};
    }));
    ProcessTest test;
    QProcess *client = test.start(QStringLiteral(ORVN_PATH), {}, throughProxy(test, proxy));
    // The first channel page, loaded by the web engine.
    QTRY_VERIFY2_WITH_TIMEOUT(asked(proxy, "http://tv.orvane.invalid/soft/iflive.html"),
                              (seen(proxy) + ProcessTest::output(client).toUtf8()).constData(), 20000);
    // The server configuration, fetched by the client itself half a second after start.
    QTRY_VERIFY2_WITH_TIMEOUT(asked(proxy, "http://tv.orvane.invalid/soft/config.ini"),
                              (seen(proxy) + ProcessTest::output(client).toUtf8()).constData(), 20000);
}

QTEST_GUILESS_MAIN(TestProxy)
#include "tst_proxy.moc"
