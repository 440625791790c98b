#include "faultserver.h"

#include <QPointer>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 206:
        return "Partial Content";
    case 404:
        return "Not Found";
    case 416:
        return "Range Not Satisfiable";
    case 429:
        return "Too Many Requests";
    case 503:
        return "Service Unavailable";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

bool hasHeader(const HttpAnswer &answer, const QByteArray &name)
{
    for (const auto &header : answer.headers) {
        if (header.first.toLower() == name)
            return true;
    }
    return false;
}

void resetConnection(QTcpSocket *socket)
{
#ifdef Q_OS_UNIX
    // A zero linger time makes close() send RST instead of an orderly FIN.
    struct linger hard = {1, 0};
    ::setsockopt(int(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
#endif
    socket->abort();
}

} // namespace

QByteArray HttpRequest::header(const QByteArray &name) const
{
    for (const auto &header : headers) {
        if (header.first == name.toLower())
            return header.second;
    }
    return QByteArray();
}

FaultServer::FaultServer(QObject *parent) : QObject(parent), server(new QTcpServer(this))
{
}

FaultServer::~FaultServer() = default;

bool FaultServer::start(Handler answer)
{
    handler = std::move(answer);
    connect(server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = server->nextPendingConnection())
            serve(socket);
    });
    return server->listen(QHostAddress::LocalHost, 0);
}

void FaultServer::setChunkSize(int bytes)
{
    chunkSize = bytes;
}

void FaultServer::resumeHeld()
{
    resumed = true;
    for (const QPointer<QTimer> &timer : std::as_const(held)) {
        if (timer)
            timer->start();
    }
    held.clear();
}

quint16 FaultServer::port() const
{
    return server->serverPort();
}

QString FaultServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void FaultServer::serve(QTcpSocket *socket)
{
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        if (socket->property("answered").toBool())
            return;
        QByteArray head = socket->property("head").toByteArray() + socket->readAll();
        socket->setProperty("head", head);
        const int end = head.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        socket->setProperty("answered", true);
        const QList<QByteArray> lines = head.left(end).split('\n');
        HttpRequest request;
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.path = first.value(1);
        for (int i = 1; i < lines.size(); ++i) {
            const int colon = lines.at(i).indexOf(':');
            if (colon > 0)
                request.headers.append(
                    {lines.at(i).left(colon).trimmed().toLower(), lines.at(i).mid(colon + 1).trimmed()});
        }
        seen.append(request);
        respond(socket, request);
    });
}

void FaultServer::respond(QTcpSocket *socket, const HttpRequest &request)
{
    const HttpAnswer answer = handler(request);
    QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' + reasonPhrase(answer.status) + "\r\n";
    for (const auto &header : answer.headers)
        head += header.first + ": " + header.second + "\r\n";
    if (answer.sendContentLength && !hasHeader(answer, "content-length"))
        head += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";

    const QByteArray body = request.method == "HEAD" ? QByteArray() : answer.body;
    const qint64 limit = answer.cutAfter >= 0 ? qMin<qint64>(answer.cutAfter, body.size()) : body.size();
    const int chunk = answer.chunkSize > 0 ? answer.chunkSize : chunkSize;

    // Sends the body a chunk per timer tick, so that several answers interleave.
    auto sent = std::make_shared<qint64>(0);
    QPointer<QTcpSocket> guard(socket);
    auto *timer = new QTimer(socket);
    timer->setInterval(answer.chunkDelayMs);
    connect(timer, &QTimer::timeout, socket, [this, guard, timer, sent, body, limit, chunk, answer] {
        if (!guard)
            return;
        if (answer.holdAfter >= 0 && *sent >= answer.holdAfter && !resumed) {
            timer->stop();
            held.append(timer);
            return;
        }
        if (*sent < limit) {
            const qint64 size = qMin<qint64>(chunk, limit - *sent);
            guard->write(body.constData() + *sent, size);
            *sent += size;
            sentBytes += size;
            return;
        }
        timer->stop();
        if (answer.end == HttpAnswer::End::Stall && answer.cutAfter >= 0)
            return;
        if (answer.end == HttpAnswer::End::Reset && answer.cutAfter >= 0) {
            guard->flush();
            guard->waitForBytesWritten(1000);
            resetConnection(guard);
            return;
        }
        guard->disconnectFromHost();
    });
    QTimer::singleShot(answer.delayMs, socket, [guard, head, timer] {
        if (!guard)
            return;
        guard->write(head);
        timer->start();
    });
}

bool FaultServer::requestedRange(const HttpRequest &request, qint64 *first, qint64 *last)
{
    static const QRegularExpression form(QStringLiteral(R"(^bytes=(\d+)-(\d+)$)"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(QString::fromLatin1(request.header("range")));
    if (!match.hasMatch())
        return false;
    *first = match.captured(1).toLongLong();
    *last = match.captured(2).toLongLong();
    return true;
}

HttpAnswer FaultServer::honest(const QByteArray &content, const HttpRequest &request, Ranges ranges,
                               const QByteArray &etag)
{
    HttpAnswer answer;
    answer.headers.append(
        qMakePair(QByteArray("Accept-Ranges"), QByteArray(ranges == Ranges::None ? "none" : "bytes")));
    if (!etag.isEmpty())
        answer.headers.append(qMakePair(QByteArray("ETag"), etag));
    qint64 first = 0;
    qint64 last = 0;
    const QByteArray ifRange = request.header("if-range");
    if (request.header("range").isEmpty() || request.method == "HEAD" || ranges == Ranges::None ||
        ranges == Ranges::Ignored || (!ifRange.isEmpty() && ifRange != etag)) {
        answer.body = content;
        return answer;
    }
    const bool unitRefused =
        ranges == Ranges::Refused || (ranges == Ranges::LowerCaseOnly && !request.header("range").startsWith("bytes="));
    if (unitRefused || !requestedRange(request, &first, &last) || first > last || first >= content.size()) {
        answer.status = 416;
        answer.headers.append(qMakePair(QByteArray("Content-Range"), "bytes */" + QByteArray::number(content.size())));
        return answer;
    }
    last = qMin<qint64>(last, content.size() - 1);
    answer.status = 206;
    const QByteArray range = "bytes " + QByteArray::number(first) + '-' + QByteArray::number(last) + '/' +
                             QByteArray::number(content.size());
    answer.headers.append(qMakePair(QByteArray("Content-Range"), range));
    answer.body = content.mid(first, last - first + 1);
    return answer;
}

bool FaultServer::startServing(const QByteArray &content, const Shape &shape, Ranges ranges, const QByteArray &etag)
{
    return start([=](const HttpRequest &request) {
        HttpAnswer answer = honest(content, request, ranges, etag);
        if (shape)
            shape(request, answer);
        return answer;
    });
}
