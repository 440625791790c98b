#pragma once

#include "windowdrag.h"

#include "popschedule.h"
#include "rendererrecovery.h"
#include "retryschedule.h"

#include <QMainWindow>
#include <QPoint>
#include <QSystemTrayIcon>

class AxWidgetThread;
class PopForm;
class QAction;
class QMenu;
class QPushButton;
class QTimer;
class SkinForm;
class Updator;

namespace Ui {
class MainWindow;
}

// The client's skinned, frameless main window. Closing it only hides it while a tray icon can bring
// it back; without a tray, closing ends the program, as do the tray menu's exit, Ctrl+Q and the
// updater's request.
class MainWindow final : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    Q_DISABLE_COPY_MOVE(MainWindow)

    // Frame corner of a window of `window` size centred on an available area of `available` size,
    // lifted by 30 pixels. The area's origin is deliberately not added.
    static QPoint startPosition(const QSize &available, const QSize &window);

    // Whether the desktop offers a system tray. Without one no tray icon is made and closing ends the
    // program; tests replace it to exercise the tray headless.
    static inline bool (*systemTrayAvailable)() = &QSystemTrayIcon::isSystemTrayAvailable;
    // Where the window's last position is kept between runs (empty: the user's config folder); tests
    // point it elsewhere.
    static inline QString placementFile;
    // True where the compositor alone decides where windows go (Wayland).
    static bool placedByCompositor();

public slots:
    // Messages from later starts: "client" brings the window back, "updator" ends the program.
    void receiveMessage(QString msg);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void on_pushButton_close_clicked();
    void on_pushButton_min_clicked();
    void on_pushButton_page1_clicked();
    void on_pushButton_page2_clicked();
    void on_pushButton_page3_clicked();
    void on_pushButton_page4_clicked();
    void onBannerShow(bool noError);
    void onPageShow(bool noError);

    // Tray icon, its menu and the skins
    void on_pushButton_skin_clicked();
    void on_pushButton_book_clicked();
    void onChangeSkin(QString skinPath);
    void onActionClose();
    void onActionAbout();
    void onActionUrl1();
    void onActionUrl2();
    void iconActivated(QSystemTrayIcon::ActivationReason reason);

    // The server configuration, the advertising it sets up and the update notice
    void onCheckUpdate();
    void onGetInfoFinished();
    void onRetryTick();
    void onPopShow();
    void on_label_update_linkActivated(QString link);

private:
    void hideToTray();
    // Every way back (tray icon, tray menu, another start) shows the window normal, raised and active.
    void restoreWindow();
    void quitProgram();
    void placeAtStart();
    void rememberPosition();
    void setUpShortcuts();
    void setUpTabOrder();
    void toggleCurrentPageFullScreen();
    void applyStartUpSkin();
    void setUpSkinChooser();
    void setUpTray();
    void openWebSite();
    // The channel page area and the banner area, with their three web page hosts.
    void setUpPageArea();
    void tearDownPageArea();
    void selectPage(int page);
    void switchPage(int page);
    QPushButton *pageButton(int page) const;
    QString pageUrl(int page) const;
    void showFallbackPage();
    void setUpAdvertising();
    void stopServerFetch();

    QSystemTrayIcon *trayIcon = nullptr;
    QMenu *trayMenu = nullptr;
    QAction *actionShow = nullptr;
    QAction *actionClose = nullptr;
    QAction *actionAbout = nullptr;
    QAction *actionUrl1 = nullptr;
    QAction *actionUrl2 = nullptr;
    WindowDrag drag;
    SkinForm *skinForm = nullptr;
    AxWidgetThread *bannerHost = nullptr;
    AxWidgetThread *loadingHost = nullptr;
    AxWidgetThread *pageHost = nullptr;
    int currentPage = 0;
    // Failed loads of a local error page in a row; bounded so that a broken install cannot keep
    // the area loading for ever.
    int pageErrorRounds = 0;
    int bannerErrorRounds = 0;
    QTimer *popTimer = nullptr;
    QTimer *checkUpdateTimer = nullptr;
    // Ticks once a second while a failed server configuration fetch waits to be tried again.
    QTimer *retryTimer = nullptr;
    RetrySchedule retrySchedule;
    PopForm *popForm = nullptr;
    PopSchedule popSchedule;
    Updator *updator = nullptr;
    Ui::MainWindow *ui = nullptr;

    // Views whose renderer ended come back by themselves.
    void setUpRendererRecovery();
    void onPageRendererEnded();
    void onBannerRendererEnded();
    RendererRecovery pageRecovery;
    RendererRecovery bannerRecovery;
    RendererRecovery loadingRecovery;
    QTimer *pageRecoveryTimer = nullptr;
    QTimer *bannerRecoveryTimer = nullptr;
    // The pause before the banner is reloaded, counted from when its local page shows; -1 for none.
    qint64 bannerRecoveryDelay = -1;

    friend class TestPageArea;
    friend class TestAdvertising;
};
