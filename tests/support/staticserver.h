#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

class QProcess;

// A web server from the distribution, of the test's own, serving one folder on a free 127.0.0.1 port,
// ended with the object: for checking downloads against the servers packages are really served from.
class StaticServer
{
public:
    enum class Kind {
        Lighttpd,
        Apache,
        Caddy,
        PythonHttp, // answers every range with the whole file
    };

    StaticServer();
    ~StaticServer();

    static QString program(Kind kind);

    bool start(Kind kind, const QString &root);
    void stop();

    QString url(const QString &path = QString()) const;
    // The server's own error output, for failure messages.
    QString log() const;

private:
    QTemporaryDir dir;
    std::unique_ptr<QProcess> process;
    quint16 listenPort = 0;
};
