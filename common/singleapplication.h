#pragma once

#include <QApplication>

#include <memory>

class InstanceLock;
class QLocalServer;
class QLocalSocket;

// The application object of both programs. Whoever holds the key first is the primary process and
// listens for messages; a later start with the same key is secondary and can send it one.
class SingleApplication final : public QApplication
{
    Q_OBJECT

public:
    SingleApplication(int &argc, char **argv, const QString &key);
    ~SingleApplication() override;

    Q_DISABLE_COPY_MOVE(SingleApplication)

    // True when another process already held the key when this object was built.
    bool isRunning() const;
    // Sends `message` (raw UTF-8, no framing) to the primary process; true once the bytes are written.
    // Blocks for at most one second to connect and one second to write.
    bool sendMessage(const QString &message);

    // The native name the primary listens under; for diagnostics and tests.
    QString serverName() const;
    // True when this process is primary and its server listens.
    bool isListening() const;

signals:
    void messageAvailable(QString message);

public slots:
    void receiveMessage();

private:
    void listen();
    void finishConnection(QLocalSocket *connection);

    bool running = false;
    QString key;
    std::unique_ptr<InstanceLock> instanceLock;
    QLocalServer *localServer = nullptr;
};
