#include "folderupdate.h"

#include "instancelock.h"
#include "singleapplication.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QThread>

#include <cerrno>
#include <csignal>

Q_LOGGING_CATEGORY(lcFolderUpdate, "orvane.updater", QtWarningMsg)

namespace {
constexpr int PollMs = 100;
constexpr int AskMs = 300;

// A process that has ended but is not yet reaped (the client is started detached, so its parent is
// whoever adopts it) counts as gone.
bool alive(qint64 pid)
{
    if (pid <= 0 || (::kill(pid_t(pid), 0) != 0 && errno != EPERM))
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const int end = line.lastIndexOf(')');
    return end < 0 || line.mid(end + 2, 1) != "Z";
}
} // namespace

FolderUpdate::FolderUpdate(const QString &programFolder, QObject *parent)
    : QObject(parent), folder(programFolder), install(std::make_unique<FolderInstall>(programFolder))
{
    poll.setInterval(PollMs);
}

FolderUpdate::~FolderUpdate() = default;

void FolderUpdate::setClientKey(const QString &key)
{
    clientKey = key;
}

void FolderUpdate::setClientExitWait(int milliseconds)
{
    clientExitWaitMs = milliseconds;
}

void FolderUpdate::setClientAnswerWait(int milliseconds)
{
    clientAnswerWaitMs = milliseconds;
}

void FolderUpdate::start(const QString &archive, const QString &version)
{
    package = QFileInfo(archive).fileName();
    emit progress(tr("正在准备新版本…"));
    // The new folder is made and checked while the client still runs: whatever goes wrong here leaves
    // the user exactly where they were.
    const FolderInstall::Result prepared = install->prepare(archive, version);
    if (!prepared.ok()) {
        qCWarning(lcFolderUpdate) << "cannot install" << archive << int(prepared.problem) << prepared.detail;
        end(false, installProblemText(prepared));
        return;
    }
    clientWasRunning = SingleApplication::messageRunningInstance(clientKey, QStringLiteral("updator"));
    emit progress(tr("正在安装新版本…"));
    waitForClientToQuit();
}

void FolderUpdate::waitForClientToQuit()
{
    deadline = QDeadlineTimer(clientExitWaitMs);
    poll.disconnect();
    connect(&poll, &QTimer::timeout, this, [this] {
        // The kernel drops the client's lock only once its process has ended.
        const InstanceLock probe(clientKey);
        if (probe.state() != InstanceLock::State::Secondary) {
            poll.stop();
            swapAndStart();
        } else if (deadline.hasExpired()) {
            poll.stop();
            // Never exchange the folder under a running client.
            install->abandon();
            end(false, tr("客户端没有退出，更新已取消，当前版本继续运行。"));
        }
    });
    poll.start();
}

void FolderUpdate::swapAndStart()
{
    const FolderInstall::Result swapped = install->swapIn(package);
    if (!swapped.ok()) {
        qCWarning(lcFolderUpdate) << "cannot exchange the folders" << int(swapped.problem) << swapped.detail;
        qint64 pid = -1;
        if (clientWasRunning)
            startClient(&pid);
        end(false, installProblemText(swapped));
        return;
    }
    qCInfo(lcFolderUpdate) << "folders exchanged; starting the new client";
    if (!startClient(&newClientPid)) {
        rollBack(QStringLiteral("the new client did not start"));
        return;
    }
    waitForAnswer();
}

void FolderUpdate::waitForAnswer()
{
    deadline = QDeadlineTimer(clientAnswerWaitMs);
    poll.disconnect();
    connect(&poll, &QTimer::timeout, this, [this] {
        // The very process that was started must answer: another client (say, one the user started
        // meanwhile from somewhere else) proves nothing about the new version.
        if (SingleApplication::askProcessId(clientKey, AskMs) == newClientPid) {
            poll.stop();
            qCInfo(lcFolderUpdate) << "the new client" << newClientPid << "answered; removing the old version";
            install->confirm();
            end(true, QString());
        } else if (!alive(newClientPid) || deadline.hasExpired()) {
            poll.stop();
            rollBack(alive(newClientPid) ? QStringLiteral("no answer") : QStringLiteral("the new client ended"));
        }
    });
    poll.start();
}

void FolderUpdate::rollBack(const QString &why)
{
    qCWarning(lcFolderUpdate) << "the new client did not come up:" << why << "; restoring the old version";
    if (alive(newClientPid)) {
        ::kill(pid_t(newClientPid), SIGKILL);
        for (int i = 0; i < 50 && alive(newClientPid); ++i)
            QThread::msleep(20);
    }
    const FolderInstall::Result back = install->rollBack();
    const QString message =
        back.ok() ? tr("新版本无法启动，已恢复原版本。") : tr("新版本无法启动，原版本将在下次启动时恢复。");
    qint64 oldClientPid = -1;
    if (!startClient(&oldClientPid)) {
        end(false, message);
        return;
    }
    // Said once the old client is up, so that the explanation is not hidden behind its window.
    deadline = QDeadlineTimer(clientAnswerWaitMs);
    poll.disconnect();
    connect(&poll, &QTimer::timeout, this, [this, oldClientPid, message] {
        if (SingleApplication::askProcessId(clientKey, AskMs) == oldClientPid || !alive(oldClientPid) ||
            deadline.hasExpired()) {
            poll.stop();
            end(false, message);
        }
    });
    poll.start();
}

bool FolderUpdate::startClient(qint64 *pid) const
{
    return QProcess::startDetached(folder + QStringLiteral("/ORVN"), {}, folder, pid);
}

void FolderUpdate::end(bool installed, const QString &message)
{
    emit finished(installed, message);
}
