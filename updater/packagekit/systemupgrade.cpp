#include "systemupgrade.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QLocale>
#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(lcPackageKit, "orvane.updater.packagekit", QtInfoMsg)

using SystemPackage::Outcome;
using SystemPackage::Step;

namespace {
const QString Service = QStringLiteral("org.freedesktop.PackageKit");
const QString RootPath = QStringLiteral("/org/freedesktop/PackageKit");
const QString RootInterface = QStringLiteral("org.freedesktop.PackageKit");
const QString TransactionInterface = QStringLiteral("org.freedesktop.PackageKit.Transaction");
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// PackageKit's bit fields: bit n stands for enumeration value n.
constexpr qulonglong FilterNone = 1ULL << 1;
constexpr qulonglong OnlyTrusted = 1ULL << 1;

// Starting the daemon by bus activation takes a moment; a transaction's call returns at once and its
// result comes as signals, however long the administrator takes to consent.
constexpr int CallTimeoutMs = 120000;

bool meansNoPackageKit(const QDBusError &error)
{
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::NoServer:
    case QDBusError::Disconnected:
        return true;
    default:
        return false;
    }
}
} // namespace

SystemUpgrade::SystemUpgrade(QObject *parent) : QObject(parent), bus(QDBusConnection::systemBus())
{
}

SystemUpgrade::~SystemUpgrade()
{
    connectTransaction(false);
}

void SystemUpgrade::start(const QString &package, const QString &version, const QStringList &ourUris)
{
    if (running)
        return;
    running = true;
    this->package = package;
    this->version = version;
    this->ourUris = ourUris;
    targetId.clear();
    qCInfo(lcPackageKit) << "upgrading" << package << "to" << version;
    if (!bus.isConnected()) {
        // Said once the caller has returned, like every other ending.
        const QString reason = bus.lastError().message();
        QTimer::singleShot(0, this, [this, reason] {
            end(Outcome::NoPackageKit, reason);
        });
        return;
    }
    watcher = new QDBusServiceWatcher(Service, bus, QDBusServiceWatcher::WatchForUnregistration, this);
    connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, &SystemUpgrade::onServiceGone);
    beginStep(Step::Refresh);
}

void SystemUpgrade::cancel()
{
    if (!running || transaction.isEmpty())
        return;
    qCInfo(lcPackageKit) << "asking to cancel" << transaction;
    bus.asyncCall(QDBusMessage::createMethodCall(Service, transaction, TransactionInterface, QStringLiteral("Cancel")));
}

void SystemUpgrade::beginStep(Step next)
{
    step = next;
    errorCode = 0;
    errorDetails.clear();
    listed.clear();
    emit statusChanged(SystemPackage::statusText(step, 0));
    emit progress(SystemPackage::overallPercent(step, 0));
    const QDBusMessage create =
        QDBusMessage::createMethodCall(Service, RootPath, RootInterface, QStringLiteral("CreateTransaction"));
    auto *call = new QDBusPendingCallWatcher(bus.asyncCall(create, CallTimeoutMs), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, &SystemUpgrade::onTransactionCreated);
}

void SystemUpgrade::onTransactionCreated(QDBusPendingCallWatcher *call)
{
    call->deleteLater();
    const QDBusPendingReply<QDBusObjectPath> reply = *call;
    if (!running)
        return;
    if (reply.isError()) {
        qCWarning(lcPackageKit) << "no transaction:" << reply.error().name() << reply.error().message();
        end(meansNoPackageKit(reply.error()) ? Outcome::NoPackageKit : Outcome::Failed, reply.error().message());
        return;
    }
    transaction = reply.value().path();
    connectTransaction(true);
    // Whether it may be cancelled is only signalled when that changes: ask once.
    QDBusMessage allowCancel =
        QDBusMessage::createMethodCall(Service, transaction, PropertiesInterface, QStringLiteral("Get"));
    allowCancel << TransactionInterface << QStringLiteral("AllowCancel");
    auto *answer = new QDBusPendingCallWatcher(bus.asyncCall(allowCancel, CallTimeoutMs), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this,
            [this, path = transaction](QDBusPendingCallWatcher *call) {
                call->deleteLater();
                const QDBusPendingReply<QDBusVariant> value = *call;
                if (!value.isError() && path == transaction)
                    emit cancellableChanged(value.value().variant().toBool());
            });
    // Interactive: PackageKit may ask the desktop's polkit agent for the administrator's consent.
    QDBusMessage hints =
        QDBusMessage::createMethodCall(Service, transaction, TransactionInterface, QStringLiteral("SetHints"));
    hints << QStringList{QStringLiteral("interactive=true"),
                         QStringLiteral("locale=%1.UTF-8").arg(QLocale::system().name())};
    bus.asyncCall(hints, CallTimeoutMs);
    runStep();
}

void SystemUpgrade::runStep()
{
    QDBusMessage call;
    switch (step) {
    case Step::Refresh:
        call =
            QDBusMessage::createMethodCall(Service, transaction, TransactionInterface, QStringLiteral("RefreshCache"));
        call << false;
        break;
    case Step::Resolve:
        call = QDBusMessage::createMethodCall(Service, transaction, TransactionInterface, QStringLiteral("Resolve"));
        call << FilterNone << QStringList{package};
        break;
    case Step::Update:
        // The one package at exactly the offered version, and only from a repository apt trusts.
        call = QDBusMessage::createMethodCall(Service, transaction, TransactionInterface,
                                              QStringLiteral("UpdatePackages"));
        call << OnlyTrusted << QStringList{targetId};
        break;
    }
    qCInfo(lcPackageKit) << transaction << call.member() << call.arguments();
    auto *pending = new QDBusPendingCallWatcher(bus.asyncCall(call, CallTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *answer) {
        answer->deleteLater();
        if (!answer->isError() || !running)
            return;
        const QDBusError error = answer->error();
        qCWarning(lcPackageKit) << "refused:" << error.name() << error.message();
        end(error.name().contains(QLatin1String("RefusedByPolicy")) ? Outcome::NotAuthorized : Outcome::Failed,
            error.message());
    });
}

void SystemUpgrade::connectTransaction(bool on)
{
    if (transaction.isEmpty())
        return;
    const auto link = [this, on](const QString &interface, const QString &name, const char *slot) {
        if (on)
            bus.connect(Service, transaction, interface, name, this, slot);
        else
            bus.disconnect(Service, transaction, interface, name, this, slot);
    };
    link(TransactionInterface, QStringLiteral("ErrorCode"), SLOT(onErrorCode(uint, QString)));
    link(TransactionInterface, QStringLiteral("Package"), SLOT(onPackage(uint, QString, QString)));
    link(TransactionInterface, QStringLiteral("Finished"), SLOT(onFinished(uint, uint)));
    link(PropertiesInterface, QStringLiteral("PropertiesChanged"),
         SLOT(onPropertiesChanged(QString, QVariantMap, QStringList)));
}

void SystemUpgrade::onErrorCode(uint code, const QString &details)
{
    qCInfo(lcPackageKit) << transaction << "error" << code << details;
    errorCode = code;
    errorDetails = details.trimmed();
}

void SystemUpgrade::onPackage(uint info, const QString &packageId, const QString &summary)
{
    Q_UNUSED(summary)
    qCInfo(lcPackageKit) << transaction << "package" << info << packageId;
    if (step == Step::Resolve)
        listed.append({info, packageId});
}

void SystemUpgrade::onPropertiesChanged(const QString &interface, const QVariantMap &changed,
                                        const QStringList &invalidated)
{
    Q_UNUSED(invalidated)
    if (interface != TransactionInterface)
        return;
    if (changed.contains(QStringLiteral("Percentage")))
        emit progress(SystemPackage::overallPercent(step, changed.value(QStringLiteral("Percentage")).toUInt()));
    if (changed.contains(QStringLiteral("Status")))
        emit statusChanged(SystemPackage::statusText(step, changed.value(QStringLiteral("Status")).toUInt()));
    if (changed.contains(QStringLiteral("AllowCancel")))
        emit cancellableChanged(changed.value(QStringLiteral("AllowCancel")).toBool());
}

void SystemUpgrade::onFinished(uint exitCode, uint runtime)
{
    qCInfo(lcPackageKit) << transaction << "finished" << exitCode << "after" << runtime << "ms";
    connectTransaction(false);
    transaction.clear();
    emit cancellableChanged(false);
    const Outcome outcome = SystemPackage::outcomeOf(step, exitCode, errorCode, errorDetails, ourUris);
    if (outcome != Outcome::Continue) {
        end(outcome, errorDetails);
        return;
    }
    switch (step) {
    case Step::Refresh:
        if (!errorDetails.isEmpty())
            qCWarning(lcPackageKit) << "other sources failed to refresh:" << errorDetails;
        beginStep(Step::Resolve);
        return;
    case Step::Resolve:
        targetId = SystemPackage::updateTarget(listed, package, version);
        if (targetId.isEmpty()) {
            end(Outcome::NotInRepository, QString());
            return;
        }
        beginStep(Step::Update);
        return;
    case Step::Update:
        break;
    }
}

void SystemUpgrade::onServiceGone()
{
    if (running && !transaction.isEmpty())
        end(Outcome::Failed, tr("系统的软件更新服务在升级结束前停止了。"));
}

void SystemUpgrade::end(Outcome outcome, const QString &details)
{
    if (!running)
        return;
    running = false;
    connectTransaction(false);
    transaction.clear();
    delete watcher;
    watcher = nullptr;
    qCInfo(lcPackageKit) << "outcome" << outcome << details;
    emit cancellableChanged(false);
    emit finished(outcome, details);
}
