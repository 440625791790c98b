#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

class QProcess;

// An nginx of the test's own on a free 127.0.0.1 port, serving one folder, ended with the object.
class NginxServer
{
public:
    NginxServer();
    ~NginxServer();

    // Whether nginx is installed; tests skip when it is not.
    static bool isAvailable();

    // Serves `root` with the given extra directives inside the server block (e.g. "limit_rate 1m;").
    bool start(const QString &root, const QString &serverDirectives = QString());
    void stop();

    quint16 port() const
    {
        return listenPort;
    }
    // "http://127.0.0.1:<port>" followed by `path` (which starts with "/").
    QString url(const QString &path = QString()) const;
    QString errorLog() const;

private:
    QTemporaryDir dir;
    std::unique_ptr<QProcess> process;
    quint16 listenPort = 0;
};
