#pragma once

#include "releasemanifest.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

class DownloadControl;
class QMessageBox;
class SingleApplication;

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
    // the program's own folder, or a folder of the user's when the program's is read-only.
    void setWorkFolder(const QString &folder);
    // Time without data after which the check or the download gives up (30 s).
    void setStallTimeout(int milliseconds);
    // Longest wait for the client to go before the package starts anyway (10 s).
    void setClientExitWait(int milliseconds);
    // The release keys a configuration must be signed with; none means no update is ever offered.
    void setTrustedKeys(const QList<QByteArray> &keys);

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void init();
    void onDownloadFinish();
    void onDownloadProgress(qint64 current, qint64 total);
    void on_pushButton_update_clicked();
    void on_pushButton_cancel_clicked();

private:
    void setUpNotesLinks();
    bool fetchServerConfig(const QString &url);
    void waitForClientThenStart(const QString &package);
    bool clientAnswers() const;
    void startPackageAndClose(const QString &package);
    // Removes the downloaded file and says why when it is not exactly the signed package.
    bool packageIsTheSignedOne(const QString &package);

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
    int stallTimeoutMs = 30000;
    int clientExitWaitMs = 10000;
    QPointer<QMessageBox> cancelQuestion;
};
