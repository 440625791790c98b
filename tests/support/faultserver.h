#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>

#include <functional>

class QTcpServer;
class QTcpSocket;
class QTimer;

// A request as the fault server saw it. Header names are lower case.
struct HttpRequest
{
    QByteArray method;
    QByteArray path;
    QList<QPair<QByteArray, QByteArray>> headers;

    QByteArray header(const QByteArray &name) const;
};

// What the fault server answers, and how it misbehaves while doing so.
struct HttpAnswer
{
    int status = 200;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    // Adds "Content-Length: <body size>" unless the headers carry one already.
    bool sendContentLength = true;
    // Ends the answer after this many body bytes (-1: the whole body).
    qint64 cutAfter = -1;
    // Holds the body after this many bytes until the server's resumeHeld() (-1: never).
    qint64 holdAfter = -1;
    enum class End {
        Close, // orderly close after the (possibly cut) body
        Reset, // connection reset (RST) at the cut
        Stall, // nothing more after the cut, the connection stays open
    };
    End end = End::Close;
    // Pause before the headers, and between chunks of the body.
    int delayMs = 0;
    int chunkDelayMs = 0;
    // Body chunk size for this answer; 0 uses the server's.
    int chunkSize = 0;
};

// A small HTTP/1.1 server on 127.0.0.1 whose answer is a function of the request, for the network
// behaviour a real server will not show: ignored ranges, wrong Content-Range, cut or reset
// connections, stalls, missing lengths, errors for one part only. One request per connection.
class FaultServer final : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<HttpAnswer(const HttpRequest &)>;
    // Changes an answer before it is sent.
    using Shape = std::function<void(const HttpRequest &, HttpAnswer &)>;

    explicit FaultServer(QObject *parent = nullptr);
    ~FaultServer() override;

    Q_DISABLE_COPY_MOVE(FaultServer)

    bool start(Handler handler);
    void setChunkSize(int bytes);
    // Sends the rest of every answer held by its holdAfter, and of those still to come.
    void resumeHeld();

    // Body bytes written to all connections so far.
    qint64 bodyBytesSent() const
    {
        return sentBytes;
    }

    quint16 port() const;
    // "http://127.0.0.1:<port>" followed by `path`.
    QString url(const QString &path = QString()) const;
    QList<HttpRequest> requests() const
    {
        return seen;
    }

    // How a server treats Range headers.
    enum class Ranges {
        Any,           // any spelling of the unit, as nginx reads it
        LowerCaseOnly, // 416 unless the unit is "bytes", as servers built on Go's library do
        None,          // "Accept-Ranges: none" and the whole package for every GET
        Ignored,       // claims ranges but sends the whole package with 200 anyway
        Refused,       // 416 for every range
    };

    // What an honest server answers for `content`: 200 to HEAD and plain GET, 206 with the exact range
    // for a single "bytes=a-b" range (case-insensitive, as nginx reads it), 416 for a range it cannot serve.
    // With an `etag`, answers carry it and an If-Range naming another one gets the whole package.
    static HttpAnswer honest(const QByteArray &content, const HttpRequest &request, Ranges ranges = Ranges::Any,
                             const QByteArray &etag = QByteArray());
    // The range a request asks for; false without a single well-formed range.
    static bool requestedRange(const HttpRequest &request, qint64 *first, qint64 *last);
    // Starts serving `content` at every path as honest() does, each answer changed by `shape` when given.
    bool startServing(const QByteArray &content, const Shape &shape = {}, Ranges ranges = Ranges::Any,
                      const QByteArray &etag = QByteArray());

private:
    void serve(QTcpSocket *socket);
    void respond(QTcpSocket *socket, const HttpRequest &request);

    QTcpServer *server = nullptr;
    Handler handler;
    int chunkSize = 16 * 1024;
    QList<HttpRequest> seen;
    qint64 sentBytes = 0;
    QList<QPointer<QTimer>> held;
    bool resumed = false;
};
