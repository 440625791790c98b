#pragma once

#include "windowdrag.h"

#include <QMainWindow>
#include <QSystemTrayIcon>

class Advertising;
class PageArea;
class QMenu;
class SkinForm;

namespace Ui {
class MainWindow;
}

// The client's skinned, frameless main window: its frame, tray icon and skins. Closing it only hides
// it while a tray icon can bring it back; without a tray, closing ends the program, as do the tray
// menu's exit, Ctrl+Q and the updater's request. The page area (PageArea) and the reaction to the
// server configuration (Advertising) are rooms of their own; the window's slots lead to them.
class MainWindow final : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    Q_DISABLE_COPY_MOVE(MainWindow)

    // Whether the desktop offers a system tray. Without one no tray icon is made and closing ends the
    // program; tests replace it to exercise the tray headless.
    static inline bool (*systemTrayAvailable)() = &QSystemTrayIcon::isSystemTrayAvailable;
    // Where the window's last position is kept between runs (empty: the user's config folder); tests
    // point it elsewhere.
    static inline QString placementFile;
    // Where it is remembered that the window's first hiding to the tray was explained (empty: the
    // user's config folder); tests point it elsewhere.
    static inline QString trayNoticeFile;
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

    // The page area
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
    void setUpPageArea();
    void setUpAdvertising();
    void applyStartUpSkin();
    void setUpSkinChooser();
    void setUpTray();
    void openWebSite();

    QSystemTrayIcon *trayIcon = nullptr;
    QMenu *trayMenu = nullptr;
    WindowDrag drag;
    SkinForm *skinForm = nullptr;
    PageArea *pageArea = nullptr;
    Advertising *advertising = nullptr;
    Ui::MainWindow *ui = nullptr;
};
