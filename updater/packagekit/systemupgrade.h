#pragma once

#include "systempackage.h"

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

class QDBusPendingCallWatcher;
class QDBusServiceWatcher;

// Upgrades one package through PackageKit on the system bus: refreshes the package lists, finds the
// package at the offered version, and updates it to exactly that version. PackageKit asks the
// desktop's polkit agent for the administrator's consent; this class only reports what happens.
class SystemUpgrade final : public QObject
{
    Q_OBJECT

public:
    explicit SystemUpgrade(QObject *parent = nullptr);
    ~SystemUpgrade() override;

    Q_DISABLE_COPY_MOVE(SystemUpgrade)

    // Starts the upgrade of `package` to release `version`. `ourUris` are the package's repository
    // addresses (see SystemPackage::outcomeOf). Ends with exactly one finished().
    void start(const QString &package, const QString &version, const QStringList &ourUris);
    // Asks PackageKit to stop; it does so only while it allows it (cancellableChanged).
    void cancel();
    bool isRunning() const
    {
        return running;
    }

signals:
    // The whole upgrade's progress in percent, -1 while PackageKit cannot tell.
    void progress(int percent);
    // What PackageKit is doing now, as the window shows it.
    void statusChanged(const QString &text);
    void cancellableChanged(bool cancellable);
    // `details` is PackageKit's own explanation when it gave one.
    void finished(SystemPackage::Outcome outcome, const QString &details);

private slots:
    void onErrorCode(uint code, const QString &details);
    void onPackage(uint info, const QString &packageId, const QString &summary);
    void onFinished(uint exitCode, uint runtime);
    void onPropertiesChanged(const QString &interface, const QVariantMap &changed, const QStringList &invalidated);
    void onServiceGone();

private:
    void beginStep(SystemPackage::Step step);
    void onTransactionCreated(QDBusPendingCallWatcher *call);
    void runStep();
    void connectTransaction(bool connect);
    void end(SystemPackage::Outcome outcome, const QString &details);

    QDBusConnection bus;
    QDBusServiceWatcher *watcher = nullptr;
    bool running = false;
    SystemPackage::Step step = SystemPackage::Step::Refresh;
    QString transaction;
    QString package;
    QString version;
    QStringList ourUris;
    QString targetId;
    QList<SystemPackage::Listed> listed;
    uint errorCode = 0;
    QString errorDetails;
};
