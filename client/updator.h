#pragma once

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QThread>

class QNetworkReply;
class QWidget;

// The fetch of the server configuration. The network request runs on this thread's own event loop;
// the reply is only ever touched there, and the finished body is handed to the GUI thread, which
// stores it briefly as "SConfig.ini", takes its keys into the configuration record, asks about a new
// version and emits getInfoFinished() exactly once per attempt. A failed attempt may be followed by
// another (fetchAgain()); a successful one is final.
class Updator final : public QThread
{
    Q_OBJECT

public:
    Updator(const QString &url, QWidget *noticeParent);
    ~Updator() override;

    Q_DISABLE_COPY_MOVE(Updator)

    // Whether the last attempt read the server's file; GUI thread.
    bool succeeded() const
    {
        return success;
    }
    // Starts another attempt after a failed one; nothing after a success or while one is under way.
    void fetchAgain();

    // A request that receives nothing for this long fails; tests shorten it.
    void setTransferTimeout(int milliseconds);
    // A body larger than this is not a configuration file; the fetch fails.
    static constexpr qint64 MaxBodySize = 1024 * 1024;

signals:
    void getInfoFinished();

protected:
    void run() override;

private slots:
    void httpReadyRead();
    void httpFinished();

private:
    void finish(const QByteArray &body, const QString &error);
    void askToUpdate(const QString &announced);
    void endFetch();

    QString url;
    QPointer<QWidget> noticeParent;
    int transferTimeout = 30000;
    // Written only on the fetch thread until the reply has finished.
    QNetworkReply *reply = nullptr;
    QByteArray body;
    bool finished = false;
    bool success = false;
};
