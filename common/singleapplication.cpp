#include "singleapplication.h"

#include "instancelock.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QThread>
#include <QTimer>

Q_LOGGING_CATEGORY(lcInstance, "orvane.instance", QtWarningMsg)

namespace {
constexpr int WaitMs = 1000;
// A question rather than a message: answered with the process id, never passed on.
const QByteArray ProcessIdQuestion = "pid?";
} // namespace

SingleApplication::SingleApplication(int &argc, char **argv, const QString &key)
    : QApplication(argc, argv), key(key), instanceLock(std::make_unique<InstanceLock>(key))
{
    switch (instanceLock->state()) {
    case InstanceLock::State::Secondary:
        running = true;
        break;
    case InstanceLock::State::Primary:
        listen();
        break;
    case InstanceLock::State::Failed:
        qDebug("Unable to create single instance.");
        qCWarning(lcInstance) << instanceLock->errorString();
        break;
    }
}

SingleApplication::~SingleApplication() = default;

void SingleApplication::listen()
{
    localServer = new QLocalServer(this);
    localServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(localServer, &QLocalServer::newConnection, this, &SingleApplication::receiveMessage);
    // We hold the key, so a socket under our name can only be left from an ended process.
    QLocalServer::removeServer(serverName());
    if (localServer->listen(serverName()))
        qCInfo(lcInstance) << "primary instance listening on" << serverName();
    else
        qCWarning(lcInstance) << "cannot listen on" << serverName() << localServer->errorString();
}

void SingleApplication::releaseKey()
{
    if (running)
        return;
    delete localServer;
    localServer = nullptr;
    instanceLock.reset();
}

bool SingleApplication::isRunning() const
{
    return running;
}

QString SingleApplication::serverName() const
{
    return InstanceLock::serverName(key);
}

bool SingleApplication::isListening() const
{
    return localServer && localServer->isListening();
}

bool SingleApplication::sendMessage(const QString &message)
{
    if (!running)
        return false;
    return deliver(serverName(), message);
}

bool SingleApplication::messageRunningInstance(const QString &key, const QString &message)
{
    // Decided before any application object exists, so a start that only hands over a message pays
    // for neither the window system nor what the program loads afterwards. A free key is released
    // again at once for the application object to take.
    const InstanceLock probe(key);
    if (probe.state() != InstanceLock::State::Secondary)
        return false;
    deliver(InstanceLock::serverName(key), message);
    return true;
}

bool SingleApplication::deliver(const QString &name, const QString &message)
{
    // The holder may have taken the key a moment ago and not be listening yet, so a missing server is
    // tried again within the wait.
    QLocalSocket socket;
    const QDeadlineTimer connectDeadline(WaitMs);
    for (;;) {
        socket.connectToServer(name, QIODevice::WriteOnly);
        if (socket.waitForConnected(int(connectDeadline.remainingTime())))
            break;
        const bool notYet = socket.error() == QLocalSocket::ServerNotFoundError ||
                            socket.error() == QLocalSocket::ConnectionRefusedError;
        if (!notYet || connectDeadline.hasExpired()) {
            qCDebug(lcInstance) << "cannot reach the running instance:" << socket.errorString();
            return false;
        }
        socket.abort();
        QThread::msleep(10);
    }
    socket.write(message.toUtf8());
    if (!socket.waitForBytesWritten(WaitMs) && socket.bytesToWrite() > 0) {
        qCDebug(lcInstance) << "cannot send to the running instance:" << socket.errorString();
        return false;
    }
    socket.disconnectFromServer();
    return true;
}

void SingleApplication::receiveMessage()
{
    // Read without blocking the GUI thread: a message is complete when its sender disconnects, and a
    // sender that says nothing within the wait is dropped so it cannot hold a connection open.
    while (QLocalSocket *connection = localServer->nextPendingConnection()) {
        auto *timer = new QTimer(connection);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, connection, [this, connection] {
            finishConnection(connection);
        });
        connect(connection, &QLocalSocket::disconnected, connection, [this, connection] {
            finishConnection(connection);
        });
        connect(connection, &QLocalSocket::readyRead, connection, [this, connection] {
            answerProcessId(connection);
        });
        timer->start(WaitMs);
    }
}

void SingleApplication::answerProcessId(QLocalSocket *connection)
{
    if (connection->peek(ProcessIdQuestion.size() + 1) != ProcessIdQuestion)
        return;
    connection->disconnect();
    for (QTimer *timer : connection->findChildren<QTimer *>())
        timer->stop();
    connection->readAll();
    connection->write(QByteArray::number(QCoreApplication::applicationPid()));
    // Written now: the connection is deleted before a later event loop pass could send it.
    connection->flush();
    connection->disconnectFromServer();
    connection->deleteLater();
}

qint64 SingleApplication::askProcessId(const QString &key, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(InstanceLock::serverName(key));
    const QDeadlineTimer deadline(timeoutMs);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return -1;
    socket.write(ProcessIdQuestion);
    socket.waitForBytesWritten(int(deadline.remainingTime()));
    QByteArray answer;
    while (socket.state() == QLocalSocket::ConnectedState && !deadline.hasExpired()) {
        socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        answer += socket.readAll();
    }
    answer += socket.readAll();
    bool ok = false;
    const qint64 pid = answer.toLongLong(&ok);
    return ok && pid > 0 ? pid : -1;
}

void SingleApplication::finishConnection(QLocalSocket *connection)
{
    // Whichever comes first, the sender's disconnect or the wait's end, settles the connection once.
    connection->disconnect();
    for (QTimer *timer : connection->findChildren<QTimer *>())
        timer->stop();

    QByteArray bytes = connection->readAll();
    if (bytes.isEmpty()) {
        qCDebug(lcInstance) << "a connection sent nothing:" << connection->errorString();
        connection->abort();
        connection->deleteLater();
        return;
    }
    const int zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    connection->disconnectFromServer();
    connection->deleteLater();
    emit messageAvailable(QString::fromUtf8(bytes));
}
