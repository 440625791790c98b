#include "nginxserver.h"

#include "serverprocess.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

namespace {

QString nginxPath()
{
    QString path = QStandardPaths::findExecutable(QStringLiteral("nginx"));
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(QStringLiteral("nginx"), {QStringLiteral("/usr/sbin")});
    return path;
}

} // namespace

NginxServer::NginxServer() = default;

NginxServer::~NginxServer()
{
    stop();
}

bool NginxServer::isAvailable()
{
    return !nginxPath().isEmpty();
}

bool NginxServer::start(const QString &root, const QString &serverDirectives)
{
    stop();
    listenPort = ServerProcess::freePort();
    const QString prefix = dir.path();
    const QString config = QStringLiteral(R"(%1
worker_processes 1;
daemon off;
pid %2/nginx.pid;
error_log %2/error.log warn;
events { worker_connections 128; }
http {
    types { text/html html; text/plain ini txt; application/octet-stream bin exe; video/mp4 mp4; }
    default_type application/octet-stream;
    charset utf-8;
    access_log off;
    client_body_temp_path %2/body;
    proxy_temp_path %2/proxy;
    fastcgi_temp_path %2/fastcgi;
    uwsgi_temp_path %2/uwsgi;
    scgi_temp_path %2/scgi;
    server {
        listen 127.0.0.1:%3;
        root %4;
        %5
    }
}
)")
                               .arg(::geteuid() == 0 ? QStringLiteral("user root;") : QString(), prefix)
                               .arg(listenPort)
                               .arg(root, serverDirectives);
    QFile file(prefix + QStringLiteral("/nginx.conf"));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(config.toUtf8());
    file.close();

    process = ServerProcess::make();
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(nginxPath(), {QStringLiteral("-p"), prefix, QStringLiteral("-c"), file.fileName(),
                                 QStringLiteral("-e"), prefix + QStringLiteral("/error.log")});
    return ServerProcess::waitUntilListening(*process, listenPort, 10000);
}

void NginxServer::stop()
{
    ServerProcess::stop(process);
}

QString NginxServer::url(const QString &path) const
{
    return ServerProcess::url(listenPort, path);
}

QString NginxServer::errorLog() const
{
    QFile file(dir.path() + QStringLiteral("/error.log"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
