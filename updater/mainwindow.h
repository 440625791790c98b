#pragma once

#include "configfetch.h"
#include "downloadcontrol.h"
#include "releasemanifest.h"
#include "retrypolicy.h"
#include "systempackage.h"
#include "transferrate.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QMessageBox;
class SingleApplication;
class SystemUpgrade;

namespace Ui {
class MainWindow;
}

// The updater's only window: checks the configuration server half a second after it is built, offers
// the new version, downloads it in five parts and hands over to the package.
class MainWindow final : public QMainWindow
{
    Q_OBJECT

public:
    MainWindow(SingleApplication *app, QWidget *parent = nullptr);
    ~MainWindow() override;

    Q_DISABLE_COPY_MOVE(MainWindow)

    // Where the check looks; the update server's "/soft/config.ini" unless set before the check runs.
    void setConfigUrl(const QString &url);
    // Where the fetched configuration and the downloaded package go (the current folder unless set):
    // the program's own folder, or the user's private cache when the program's is not fit (see
    // SafeFolder::choose); empty when neither is, and then nothing is written.
    void setWorkFolder(const QString &folder);
    // Time without data after which the check or the download gives up (30 s).
    void setStallTimeout(int milliseconds);
    // Time after which the check gives up however slowly data still arrives (60 s).
    void setFetchDeadline(int milliseconds);
    // Longest wait for the client to go before the package starts anyway (10 s).
    void setClientExitWait(int milliseconds);
    // The folder an Orvane program-folder archive is installed over (the updater's own unless set).
    void setProgramFolder(const QString &folder);
    // Time from construction to the check (500 ms); a check still to come is put off or brought forward.
    void setCheckDelay(int milliseconds);
    // How far back the shown speed looks (5 s). The note is refreshed every tenth of that, and every
    // fifth the speed is measured even when nothing arrives, so that it falls away.
    void setSpeedWindow(int milliseconds);
    // How often and how long a broken download is retried.
    void setRetrySchedule(const RetryPolicy::Schedule &schedule);

    // The cause shown under "下载更新包失败！".
    static QString failureText(DownloadControl::Failure cause);

public slots:
    // Brings the window forward: a second start of the updater asks for it.
    void bringToFront();
    // The release keys a configuration must be signed with; none means no update is ever offered.
    void setTrustedKeys(const QList<QByteArray> &keys);

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void init();
    void onDownloadFinish();
    void onDownloadProgress(qint64 current, qint64 total);
    void onRetryPending(bool waiting);
    void onRateTick();
    void on_pushButton_update_clicked();
    void on_pushButton_cancel_clicked();

private:
    void setUpNotesLinks();
    QString folderPath() const;
    bool fetchServerConfig(const QString &url);
    void startDownload(const QStringList &mirrors);
    void waitForClientThen(const std::function<void()> &next);
    bool clientRunning() const;
    void startPackageAndClose(const QString &package);
    // Hands the verified package to whoever installs it: this updater, the package manager, or the package itself.
    void dispatch(const QString &package);
    void installProgramFolder(const QString &package);
    // Removes the downloaded file and says why when it is not exactly the signed package.
    bool packageIsTheSignedOne(const QString &package);
    // Says why the package is not the signed one; no update is offered again.
    void refuse(Release::Refusal refusal);
    // Speed and time left, or why nothing arrives.
    void showDownloadNote();
    // A package-managed install: PackageKit upgrades the package; the old client runs until it has.
    void startSystemUpgrade(const QString &package);
    void onSystemUpgradeFinished(SystemPackage::Outcome outcome, const QString &details);
    void startNewClientAndClose();

    SingleApplication *app = nullptr;
    Ui::MainWindow *ui = nullptr;
    DownloadControl *control = nullptr;
    QTimer checkTimer;
    int partCount = 5;
    QString updatePackUrl;
    bool downloading = false;
    // The client has been asked to quit and the package is about to start.
    bool handingOver = false;

    QList<QByteArray> trustedKeys;
    SignedRelease release;
    QString configUrl;
    QString workFolder;
    bool workFolderChosen = false;
    QString programFolder;
    ConfigFetch::Limits fetchLimits;
    int clientExitWaitMs = 10000;
    int speedWindowMs = 5000;
    QPointer<QMessageBox> cancelQuestion;

    QStringList updatePackMirrors;
    // The download under way spreads its parts over mirrors too.
    bool mirrorsInPlay = false;
    TransferRate rate;
    QElapsedTimer downloadClock;
    qint64 lastNoteMs = -1;
    qint64 lastCurrent = 0;
    qint64 lastTotal = 0;
    bool retryPending = false;
    // Lets the speed fall while nothing arrives.
    QTimer rateTimer;

    // Upgrades an install that the system's package manager owns.
    SystemUpgrade *systemUpgrade = nullptr;
};
