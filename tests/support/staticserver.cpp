#include "staticserver.h"

#include "serverprocess.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

namespace {

QString find(const QString &name)
{
    QString path = QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(name);
    return path;
}

bool writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) >= 0;
}

} // namespace

StaticServer::StaticServer() = default;

StaticServer::~StaticServer()
{
    stop();
}

QString StaticServer::program(Kind kind)
{
    switch (kind) {
    case Kind::Lighttpd:
        return find(QStringLiteral("lighttpd"));
    case Kind::Apache:
        return QFile::exists(QStringLiteral("/usr/lib/apache2/modules/mod_mpm_event.so"))
                   ? find(QStringLiteral("apache2"))
                   : QString();
    case Kind::Caddy:
        return find(QStringLiteral("caddy"));
    case Kind::PythonHttp:
        return find(QStringLiteral("python3"));
    }
    return QString();
}

bool StaticServer::start(Kind kind, const QString &root)
{
    stop();
    const QString exe = program(kind);
    if (exe.isEmpty())
        return false;
    listenPort = ServerProcess::freePort();
    const QString work = dir.path();
    const QString port = QString::number(listenPort);
    QStringList arguments;
    switch (kind) {
    case Kind::Lighttpd:
        if (!writeFile(work + QStringLiteral("/lighttpd.conf"),
                       QStringLiteral("server.document-root = \"%1\"\nserver.bind = \"127.0.0.1\"\n"
                                      "server.port = %2\nserver.errorlog = \"%3/error.log\"\n"
                                      "mimetype.assign = (\"\" => \"application/octet-stream\")\n")
                           .arg(root, port, work)))
            return false;
        arguments = {QStringLiteral("-D"), QStringLiteral("-f"), work + QStringLiteral("/lighttpd.conf")};
        break;
    case Kind::Apache: {
        const QString modules = QStringLiteral("/usr/lib/apache2/modules/");
        QString config;
        for (const char *module : {"mpm_event", "authz_core"}) {
            config += QStringLiteral("LoadModule %1_module %2mod_%1.so\n").arg(QLatin1String(module), modules);
        }
        config += QStringLiteral("ServerName 127.0.0.1\nListen 127.0.0.1:%1\nPidFile %2/apache.pid\n"
                                 "ErrorLog %2/error.log\nDocumentRoot \"%3\"\n"
                                 "<Directory \"%3\">\n    Require all granted\n</Directory>\n")
                      .arg(port, work, root);
        // Apache will not serve as root; the served folder is made readable for the user it takes.
        if (::geteuid() == 0)
            config += QStringLiteral("User nobody\nGroup nogroup\n");
        if (!writeFile(work + QStringLiteral("/apache.conf"), config))
            return false;
        arguments = {QStringLiteral("-DFOREGROUND"), QStringLiteral("-d"), work, QStringLiteral("-f"),
                     work + QStringLiteral("/apache.conf")};
        break;
    }
    case Kind::Caddy:
        // No admin endpoint: it listens on a fixed port that parallel runs would fight over.
        if (!writeFile(work + QStringLiteral("/Caddyfile"),
                       QStringLiteral("{\n    admin off\n    auto_https off\n}\n"
                                      "http://127.0.0.1:%1 {\n    root * %2\n    file_server\n}\n")
                           .arg(port, root)))
            return false;
        arguments = {QStringLiteral("run"), QStringLiteral("--config"), work + QStringLiteral("/Caddyfile"),
                     QStringLiteral("--adapter"), QStringLiteral("caddyfile")};
        break;
    case Kind::PythonHttp:
        arguments = {QStringLiteral("-m"),        QStringLiteral("http.server"), port, QStringLiteral("--bind"),
                     QStringLiteral("127.0.0.1"), QStringLiteral("--directory"), root};
        break;
    }

    process = ServerProcess::make();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Caddy keeps data under the home folder; these stay in the test's own.
    env.insert(QStringLiteral("HOME"), work);
    env.insert(QStringLiteral("XDG_DATA_HOME"), work);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), work);
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardOutputFile(work + QStringLiteral("/output.log"));
    process->start(exe, arguments);
    return ServerProcess::waitUntilListening(*process, listenPort, 15000);
}

void StaticServer::stop()
{
    ServerProcess::stop(process);
}

QString StaticServer::url(const QString &path) const
{
    return ServerProcess::url(listenPort, path);
}

QString StaticServer::log() const
{
    QString text;
    for (const char *name : {"/output.log", "/error.log"}) {
        QFile file(dir.path() + QLatin1String(name));
        if (file.open(QIODevice::ReadOnly))
            text += QString::fromUtf8(file.readAll());
    }
    return text;
}
