#pragma once

#include "folderinstall.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>

#include <memory>

// The updater's side of installing a program-folder archive: prepares the new folder while the
// client still runs, asks the client to quit, exchanges the folders once it has gone, starts the new
// client and keeps the new version only when that very process answers on the single-instance
// channel; otherwise the old version comes back and its client is started again.
class FolderUpdate final : public QObject
{
    Q_OBJECT

public:
    FolderUpdate(const QString &programFolder, QObject *parent = nullptr);
    ~FolderUpdate() override;

    void setClientKey(const QString &key);
    // Longest wait for the old client to quit (10 s); it then keeps running and nothing is installed.
    void setClientExitWait(int milliseconds);
    // Longest wait for the new client's answer (15 s).
    void setClientAnswerWait(int milliseconds);

    void start(const QString &archive, const QString &version);

signals:
    void progress(const QString &note);
    // `message` says why when nothing new is installed.
    void finished(bool installed, const QString &message);

private:
    void waitForClientToQuit();
    void swapAndStart();
    void waitForAnswer();
    void rollBack(const QString &why);
    void end(bool installed, const QString &message);
    bool startClient(qint64 *pid) const;

    QString folder;
    QString clientKey = QStringLiteral("ORVN");
    QString package;
    int clientExitWaitMs = 10000;
    int clientAnswerWaitMs = 15000;
    std::unique_ptr<FolderInstall> install;
    bool clientWasRunning = false;
    qint64 newClientPid = -1;
    QTimer poll;
    QDeadlineTimer deadline;
};
