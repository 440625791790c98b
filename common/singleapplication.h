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

    // For the start of a program whose only job, when another process holds `key`, is to send it
    // `message`: true when it did (the start should then end), false when the key is free. Needs no
    // application object; a start that finds the key free goes on to build one.
    static bool messageRunningInstance(const QString &key, const QString &message);

    // Asks the process that holds `key` for its process id, which it answers from its event loop, so
    // only a program that has come up answers. -1 when nothing answers within `timeoutMs`.
    static qint64 askProcessId(const QString &key, int timeoutMs);

    // Gives up the key of a primary process (its server closes), so that a later start becomes
    // primary; for a program that only needs to know whether another one held the key at its start.
    void releaseKey();

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
    void answerProcessId(QLocalSocket *connection);
    static bool deliver(const QString &name, const QString &message);

    bool running = false;
    QString key;
    std::unique_ptr<InstanceLock> instanceLock;
    QLocalServer *localServer = nullptr;
};
