#include "mainwindow.h"

#include "configfetch.h"
#include "deployment.h"
#include "downloadcontrol.h"
#include "folderupdate.h"
#include "instancelock.h"
#include "packagefile.h"
#include "packagelauncher.h"
#include "releasemanifest.h"
#include "releasenotes.h"
#include "safefolder.h"
#include "serverinfo.h"
#include "singleapplication.h"
#include "systemupgrade.h"
#include "ui_mainwindow.h"
#include "updateroute.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>

#include <limits>

Q_LOGGING_CATEGORY(lcUpdater, "orvane.updater", QtWarningMsg)

namespace {
const QString ServerConfigFile = QStringLiteral("ServerConfig.ini");
const QString ClientKey = QStringLiteral("ORVN");
constexpr int ClientPollMs = 100;
} // namespace

MainWindow::MainWindow(SingleApplication *app, QWidget *parent)
    : QMainWindow(parent), app(app), ui(new Ui::MainWindow),
      configUrl(Deployment::updateServerUrl() + QStringLiteral("/soft/config.ini")),
      programFolder(QCoreApplication::applicationDirPath())
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowMaximizeButtonHint);
    // The size is fixed by the form; the window opens in the middle of the screen's free area.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    QCoreApplication::setApplicationName(tr("Orvane网络电视"));
    setWindowTitle(QCoreApplication::applicationName() + tr(" 在线升级"));

    control = new DownloadControl;
    setUpNotesLinks();

    ui->pushButton_update->setEnabled(false);
    ui->label_note->setText(tr("正在检查更新..."));
    ui->label_title->setText(QCoreApplication::applicationName() + tr(" 在线升级程序"));

    connect(&checkTimer, &QTimer::timeout, this, &MainWindow::init);
    rateTimer.setInterval(speedWindowMs / 5);
    connect(&rateTimer, &QTimer::timeout, this, &MainWindow::onRateTick);
    checkTimer.start(500);
    if (app)
        connect(app, &SingleApplication::messageAvailable, this, &MainWindow::bringToFront);
}

void MainWindow::bringToFront()
{
    qCInfo(lcUpdater) << "brought forward by another start";
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void MainWindow::setRetrySchedule(const RetryPolicy::Schedule &schedule)
{
    control->SetRetrySchedule(schedule);
}

QString MainWindow::failureText(DownloadControl::Failure cause)
{
    switch (cause) {
    case DownloadControl::Failure::Unreachable:
        return tr("无法连接到更新服务器。");
    case DownloadControl::Failure::Unstable:
        return tr("网络连接一再中断。");
    case DownloadControl::Failure::Refused:
        return tr("服务器拒绝提供更新包。");
    case DownloadControl::Failure::Disk:
        return tr("无法保存更新包，磁盘空间可能不足。");
    case DownloadControl::Failure::Check:
        return tr("更新包未通过校验。");
    case DownloadControl::Failure::TooSlow:
        return tr("下载速度过慢，已暂停。");
    case DownloadControl::Failure::Unsafe:
        return tr("下载目录中有不属于更新的链接或文件，已拒绝写入。");
    case DownloadControl::Failure::None:
        break;
    }
    return QString();
}

MainWindow::~MainWindow()
{
    delete ui;
    delete control;
}

void MainWindow::setConfigUrl(const QString &url)
{
    configUrl = url;
}

void MainWindow::setWorkFolder(const QString &folder)
{
    workFolder = folder;
    workFolderChosen = true;
}

void MainWindow::setProgramFolder(const QString &folder)
{
    programFolder = folder;
}

void MainWindow::setStallTimeout(int milliseconds)
{
    fetchLimits.stallMs = milliseconds;
    control->SetStallTimeout(milliseconds);
}

void MainWindow::setFetchDeadline(int milliseconds)
{
    fetchLimits.deadlineMs = milliseconds;
}

QString MainWindow::folderPath() const
{
    // None was fit (chosen, but empty): nothing is written anywhere.
    return workFolderChosen ? workFolder : QDir::currentPath();
}

void MainWindow::setClientExitWait(int milliseconds)
{
    clientExitWaitMs = milliseconds;
}

void MainWindow::setCheckDelay(int milliseconds)
{
    if (checkTimer.isActive())
        checkTimer.start(milliseconds);
}

void MainWindow::setSpeedWindow(int milliseconds)
{
    speedWindowMs = milliseconds;
    rate = TransferRate(milliseconds);
    rateTimer.setInterval(milliseconds / 5);
}

void MainWindow::setTrustedKeys(const QList<QByteArray> &keys)
{
    trustedKeys = keys;
}

void MainWindow::init()
{
    checkTimer.stop();
    if (!fetchServerConfig(configUrl)) {
        ui->label_note->setText(tr("获取更新信息失败"));
        return;
    }

    const ServerInfo info = ServerInfoFile::read(QDir(folderPath()).absoluteFilePath(ServerConfigFile));
    SafeFolder(folderPath()).remove(ServerConfigFile);
    // A relative address names a file on the configuration server, so one file serves any host and port.
    const QUrl packUrl(info.updatePackUrl);
    updatePackUrl = !info.updatePackUrl.isEmpty() && packUrl.isRelative() ? QUrl(configUrl).resolved(packUrl).toString()
                                                                          : info.updatePackUrl;
    // Nothing the configuration says is believed before its signature is: a refused release is not offered.
    release = signedRelease(info, PackageFile::outputName(QUrl(updatePackUrl), QString()));
    const Release::Refusal refusal =
        Release::check(release, info.appVersion, QLatin1String(ServerInfoFile::BuiltInVersion), trustedKeys,
                       QDateTime::currentDateTimeUtc());
    if (refusal != Release::Refusal::None) {
        qCWarning(lcUpdater) << "release refused:" << Release::reason(refusal);
        updatePackUrl.clear();
        ui->label_note->setText(Release::message(refusal));
        return;
    }
    updatePackMirrors.clear();
    for (const QString &mirror : info.updatePackMirrors)
        updatePackMirrors.append(QUrl(configUrl).resolved(QUrl(mirror)).toString());

    if (!ServerInfoFile::offersUpdate(QLatin1String(ServerInfoFile::BuiltInVersion), info.appVersion)) {
        ui->label_note->setText(tr("恭喜，已经是最新版本！"));
        return;
    }
    ui->label_title->setText(QCoreApplication::applicationName() + tr(" 有新的更新可用！"));
    ui->label_note->setText(tr("是否立即升级到最新版?"));
    ui->pushButton_update->setEnabled(true);
    ui->textBrowser_newVersion->setHtml(ReleaseNotes::toSafeHtml(info.newVersionInfo));

    // For scripted runs (the demo, the end-to-end test): update without waiting for a click.
    if (qEnvironmentVariableIntValue("ORVANE_UPDATER_UNATTENDED") == 1)
        QTimer::singleShot(0, this, &MainWindow::on_pushButton_update_clicked);
}

void MainWindow::setUpNotesLinks()
{
    // The box never follows a link itself (its form says so), so no local file or other page can
    // appear in it; web addresses go to the browser.
    connect(ui->textBrowser_newVersion, &QTextBrowser::anchorClicked, this, [](const QUrl &link) {
        if (ReleaseNotes::opensInBrowser(link))
            QDesktopServices::openUrl(link);
    });
}

bool MainWindow::fetchServerConfig(const QString &url)
{
    const ConfigFetch::Result fetched = ConfigFetch::get(QUrl(url), fetchLimits);
    switch (fetched.outcome) {
    case ConfigFetch::Outcome::TooLarge:
        qCWarning(lcUpdater) << "configuration from" << url << "is larger than" << fetchLimits.maxBytes << "bytes";
        return false;
    case ConfigFetch::Outcome::Late:
        qCWarning(lcUpdater) << "configuration from" << url << "did not arrive within" << fetchLimits.deadlineMs
                             << "ms";
        return false;
    case ConfigFetch::Outcome::Failed:
        qCWarning(lcUpdater) << "cannot fetch" << url << fetched.error;
        return false;
    case ConfigFetch::Outcome::Fetched:
        break;
    }
    // Written without following a link: one planted in its place is refused, and nothing else is touched.
    SafeFolder folder(folderPath());
    QFile file;
    const bool written = folder.open(&file, ServerConfigFile, SafeFolder::Mode::Replace) &&
                         file.write(fetched.body) == fetched.body.size() && file.flush();
    if (!written)
        qCWarning(lcUpdater) << "cannot keep the configuration:" << folder.errorString();
    return written;
}

void MainWindow::on_pushButton_update_clicked()
{
    if (updatePackUrl.isEmpty())
        return;
    // Where the update goes is decided once. An install that the package manager owns needs no
    // download: PackageKit fetches the new version from the operator's apt repository.
    const QString systemPackage = SystemPackage::packageName(programFolder);
    if (UpdateRoute::choose(release.fileName, !systemPackage.isEmpty()) == UpdateRoute::Route::PackageManager) {
        startSystemUpgrade(systemPackage);
        return;
    }
    ui->pushButton_update->setEnabled(false);
    downloading = true;
    startDownload(updatePackMirrors);
}

void MainWindow::startDownload(const QStringList &mirrors)
{
    ui->label_note->setText(tr("正在下载更新文件..."));
    mirrorsInPlay = !mirrors.isEmpty();
    // The signed size proves a download complete even where the server tells no length.
    control->SetExpectedSize(release.size.toLongLong());
    control->SetSignedSha256(release.sha256);
    control->SetMirrors(mirrors);
    rate.clear();
    downloadClock.start();
    lastNoteMs = -1;
    lastCurrent = 0;
    lastTotal = 0;
    retryPending = false;
    rateTimer.start();
    control->FetchFile(updatePackUrl, partCount,
                       QDir(folderPath()).absoluteFilePath(PackageFile::outputName(QUrl(updatePackUrl), QString())));
    connect(control, &DownloadControl::FileDownloadProgress, this, &MainWindow::onDownloadProgress,
            Qt::UniqueConnection);
    connect(control, &DownloadControl::FileDownloadFinished, this, &MainWindow::onDownloadFinish, Qt::UniqueConnection);
    connect(control, &DownloadControl::RetryPending, this, &MainWindow::onRetryPending, Qt::UniqueConnection);
}

void MainWindow::onRetryPending(bool waiting)
{
    retryPending = waiting;
    showDownloadNote();
}

void MainWindow::onRateTick()
{
    if (!downloading) {
        rateTimer.stop();
        return;
    }
    rate.add(lastCurrent, downloadClock.elapsed());
    showDownloadNote();
}

void MainWindow::showDownloadNote()
{
    if (!downloading)
        return;
    lastNoteMs = downloadClock.isValid() ? downloadClock.elapsed() : 0;
    if (retryPending) {
        ui->label_note->setText(tr("连接中断，正在重试…"));
        return;
    }
    const double speed = rate.bytesPerSecond();
    if (speed <= 0) {
        ui->label_note->setText(tr("正在下载更新文件..."));
        return;
    }
    const qint64 left = rate.secondsLeft(lastTotal);
    ui->label_note->setText(left >= 0 ? tr("%1，剩余 %2").arg(TransferText::speed(speed), TransferText::duration(left))
                                      : TransferText::speed(speed));
}

void MainWindow::onDownloadProgress(qint64 current, qint64 total)
{
    // Speed and time left, refreshed every tenth of the speed window (twice a second) so the text can be read.
    const qint64 now = downloadClock.isValid() ? downloadClock.elapsed() : 0;
    // Fewer bytes than before: the download started over, and the old speed says nothing.
    const bool fell = current < lastCurrent;
    if (fell)
        rate.clear();
    rate.add(current, now);
    lastCurrent = current;
    lastTotal = total;
    if (lastNoteMs < 0 || now - lastNoteMs >= speedWindowMs / 10 || fell)
        showDownloadNote();
    if (total <= 0) {
        // The server told no size: the bar shows that something is happening.
        ui->progressBar_download->setRange(0, 0);
        return;
    }
    // The bar counts in int; larger packages are counted in coarser units instead of wrapping.
    int shift = 0;
    while ((total >> shift) > std::numeric_limits<int>::max())
        ++shift;
    ui->progressBar_download->setRange(0, int(total >> shift));
    ui->progressBar_download->setValue(int(qMin(current, total) >> shift));
}

void MainWindow::on_pushButton_cancel_clicked()
{
    if (systemUpgrade && systemUpgrade->isRunning()) {
        systemUpgrade->cancel();
        return;
    }
    if (!downloading) {
        close();
        return;
    }
    QMessageBox box(QMessageBox::Question, tr("提示"), tr("正在下载更新包，确定要取消吗?"), QMessageBox::NoButton,
                    this);
    QPushButton *yes = box.addButton(tr("确定"), QMessageBox::AcceptRole);
    box.addButton(tr("取消"), QMessageBox::RejectRole);
    cancelQuestion = &box;
    box.exec();
    cancelQuestion = nullptr;
    if (box.clickedButton() == yes && downloading)
        close();
}

void MainWindow::onDownloadFinish()
{
    // The question whether to cancel has been overtaken by the end of the download.
    if (cancelQuestion)
        cancelQuestion->reject();
    rateTimer.stop();

    const QString package = control->OutputFileName();
    if (package.isEmpty()) {
        // Nothing may be run and the client must keep running: the file is not the package.
        qCWarning(lcUpdater) << "download failed:" << control->ErrorString();
        // The server's file disagrees with the signed size: retrying cannot help, as with a finished
        // package that is not the signed one.
        if (control->FailureCause() == DownloadControl::Failure::Check) {
            refuse(Release::Refusal::SizeMismatch);
            return;
        }
        downloading = false;
        const QString cause = failureText(control->FailureCause());
        ui->label_note->setText(tr("下载更新包失败！") + cause);
        ui->label_note->setToolTip(cause);
        ui->progressBar_download->setRange(0, 100);
        ui->progressBar_download->setValue(0);
        ui->pushButton_update->setEnabled(true);
        QMessageBox box(QMessageBox::Warning, tr("提示"), tr("下载更新包失败！") + QLatin1Char('\n') + cause,
                        QMessageBox::NoButton, this);
        box.addButton(tr("确定"), QMessageBox::AcceptRole);
        box.exec();
        return;
    }

    if (!packageIsTheSignedOne(package))
        return;
    downloading = false;
    // Said until the package runs: the client and this window are about to go, which must not look
    // like a crash.
    ui->label_note->setText(tr("下载完成，正在启动更新…"));
    ui->label_note->setToolTip(QString());
    // The client is being asked to quit; leaving now would leave the user with neither program.
    handingOver = true;
    ui->pushButton_cancel->setEnabled(false);
    dispatch(package);
}

void MainWindow::dispatch(const QString &package)
{
    // An install that the package manager owns was handed to PackageKit before any download.
    switch (UpdateRoute::choose(QFileInfo(package).fileName(), false)) {
    case UpdateRoute::Route::ProgramFolder:
        installProgramFolder(package);
        return;
    case UpdateRoute::Route::PackageManager:
    case UpdateRoute::Route::RunPackage:
        break;
    }
    // Asked afresh: a client may have started, or ended, while the package came in.
    if (SingleApplication::messageRunningInstance(ClientKey, QStringLiteral("updator"))) {
        waitForClientThen([this, package] {
            startPackageAndClose(package);
        });
        return;
    }
    startPackageAndClose(package);
}

void MainWindow::installProgramFolder(const QString &package)
{
    auto *update = new FolderUpdate(programFolder, this);
    update->setClientKey(ClientKey);
    update->setClientExitWait(clientExitWaitMs);
    connect(update, &FolderUpdate::progress, ui->label_note, &QLabel::setText);
    connect(update, &FolderUpdate::finished, this, [this, update](bool installed, const QString &message) {
        update->deleteLater();
        handingOver = false;
        if (installed) {
            close();
            return;
        }
        ui->pushButton_cancel->setEnabled(true);
        ui->label_note->setText(message);
        ui->label_note->setToolTip(message);
        bringToFront();
        QMessageBox box(QMessageBox::Warning, tr("提示"), message, QMessageBox::NoButton, this);
        box.addButton(tr("确定"), QMessageBox::AcceptRole);
        box.exec();
    });
    update->start(package, release.version);
}

bool MainWindow::packageIsTheSignedOne(const QString &package)
{
    const Release::Refusal refusal = Release::checkPackage(release, package);
    if (refusal == Release::Refusal::None)
        return true;
    // A file that is not the signed package must not stay where something could run it.
    qCWarning(lcUpdater) << "package refused:" << Release::reason(refusal);
    QFile::remove(package);
    // One mirror serving another file of the same size spoils a download that had good parts too:
    // the primary, which the release names, is asked alone once more.
    if (refusal == Release::Refusal::HashMismatch && mirrorsInPlay) {
        qCWarning(lcUpdater) << "fetching the package again from" << updatePackUrl << "alone";
        startDownload({});
        return false;
    }
    refuse(refusal);
    return false;
}

void MainWindow::refuse(Release::Refusal refusal)
{
    downloading = false;
    ui->label_note->setText(Release::message(refusal));
    ui->progressBar_download->setRange(0, 100);
    ui->progressBar_download->setValue(0);
    QMessageBox box(QMessageBox::Warning, tr("提示"), Release::message(refusal), QMessageBox::NoButton, this);
    box.addButton(tr("确定"), QMessageBox::AcceptRole);
    box.exec();
}

void MainWindow::waitForClientThen(const std::function<void()> &next)
{
    // An installer must not meet a running client: go on once it has ended, or give up waiting.
    auto *poll = new QTimer(this);
    const QDeadlineTimer deadline(clientExitWaitMs);
    connect(poll, &QTimer::timeout, this, [this, poll, deadline, next] {
        const bool gone = !clientRunning();
        if (!gone && !deadline.hasExpired())
            return;
        if (!gone)
            qCWarning(lcUpdater) << "the client is still running; starting the package anyway";
        poll->stop();
        poll->deleteLater();
        next();
    });
    poll->start(ClientPollMs);
}

bool MainWindow::clientRunning() const
{
    QLocalSocket socket;
    socket.connectToServer(InstanceLock::serverName(ClientKey), QIODevice::WriteOnly);
    if (socket.waitForConnected(ClientPollMs)) {
        socket.abort();
        return true;
    }
    // The client closes its server while it is still shutting down; its lock goes only when the
    // process has ended. The probe holds the key for an instant only.
    const InstanceLock probe(ClientKey);
    return probe.state() == InstanceLock::State::Secondary;
}

void MainWindow::startPackageAndClose(const QString &package)
{
    handingOver = false;
    if (PackageLauncher::start(package)) {
        close();
        return;
    }
    // The client has been asked to quit already: the user must learn where the package is.
    qCWarning(lcUpdater) << "could not start" << package;
    ui->label_note->setText(tr("无法启动更新包！"));
    ui->pushButton_cancel->setEnabled(true);
    QMessageBox box(QMessageBox::Warning, tr("提示"),
                    tr("无法启动更新包，请手动运行：\n%1").arg(QDir::toNativeSeparators(package)),
                    QMessageBox::NoButton, this);
    box.addButton(tr("确定"), QMessageBox::AcceptRole);
    box.exec();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Between asking the client to quit and starting the package, closing would leave the user with
    // neither program. While PackageKit upgrades, "取消" is the way out: the upgrade would go on with
    // no window left to start the new client.
    if (handingOver || (systemUpgrade && systemUpgrade->isRunning())) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::startSystemUpgrade(const QString &package)
{
    ui->pushButton_update->setEnabled(false);
    ui->pushButton_cancel->setEnabled(false);
    ui->label_note->setToolTip(QString());
    if (!systemUpgrade) {
        systemUpgrade = new SystemUpgrade(this);
        connect(systemUpgrade, &SystemUpgrade::progress, this, [this](int percent) {
            ui->progressBar_download->setRange(0, percent < 0 ? 0 : 100);
            ui->progressBar_download->setValue(qMax(percent, 0));
        });
        connect(systemUpgrade, &SystemUpgrade::statusChanged, ui->label_note, &QLabel::setText);
        connect(systemUpgrade, &SystemUpgrade::cancellableChanged, ui->pushButton_cancel, &QPushButton::setEnabled);
        connect(systemUpgrade, &SystemUpgrade::finished, this, &MainWindow::onSystemUpgradeFinished);
    }
    systemUpgrade->start(package, release.version, SystemPackage::sourceUris(SystemPackage::sourceFile(package)));
}

void MainWindow::onSystemUpgradeFinished(SystemPackage::Outcome outcome, const QString &details)
{
    using SystemPackage::Outcome;
    const QString text = SystemPackage::message(outcome, release.version);
    ui->label_note->setText(text);
    ui->progressBar_download->setRange(0, 100);
    if (outcome == Outcome::Upgraded) {
        ui->progressBar_download->setValue(100);
        handingOver = true;
        ui->pushButton_cancel->setEnabled(false);
        if (SingleApplication::messageRunningInstance(ClientKey, QStringLiteral("updator"))) {
            waitForClientThen([this] {
                startNewClientAndClose();
            });
            return;
        }
        startNewClientAndClose();
        return;
    }

    // Nothing has changed: the old client keeps running, and the user may try again.
    ui->progressBar_download->setValue(0);
    ui->pushButton_cancel->setEnabled(true);
    ui->pushButton_update->setEnabled(true);
    if (outcome == Outcome::Cancelled)
        return;
    QMessageBox box(QMessageBox::Warning, tr("提示"), text, QMessageBox::NoButton, this);
    if (outcome == Outcome::NoPackageKit) {
        const QString commands = SystemPackage::aptCommands(SystemPackage::packageName(programFolder));
        QGuiApplication::clipboard()->setText(commands);
        box.setIcon(QMessageBox::Information);
        box.setText(tr("没有找到系统的软件更新服务（PackageKit）。请在终端中运行下面两条命令完成升级，"
                       "命令已复制到剪贴板：") +
                    QLatin1String("\n\n") + commands);
        box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    } else if (!details.isEmpty()) {
        // PackageKit's own words (apt's, mostly), for whoever looks after the machine; the box's
        // details button would bring an untranslated label.
        box.setInformativeText(details.section(QLatin1Char('\n'), 0, 1).left(400));
    }
    box.addButton(tr("确定"), QMessageBox::AcceptRole);
    box.exec();
}

void MainWindow::startNewClientAndClose()
{
    handingOver = false;
    const QString client = QDir(programFolder).filePath(QStringLiteral("ORVN"));
    if (QProcess::startDetached(client, {}, programFolder)) {
        close();
        return;
    }
    qCWarning(lcUpdater) << "could not start" << client;
    ui->label_note->setText(tr("升级完成，请重新打开 Orvane网络电视。"));
    ui->pushButton_cancel->setEnabled(true);
}
