#include "mainwindow.h"

#include "aboutform.h"
#include "advertising.h"
#include "axwidgetthread.h"
#include "clientconfig.h"
#include "deployment.h"
#include "pagearea.h"
#include "producticon.h"
#include "skinform.h"
#include "skins.h"
#include "traynotice.h"
#include "ui_mainwindow.h"
#include "updator.h"
#include "windowplacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWebEngineView>
#include <QWindow>

#include <iterator>

Q_LOGGING_CATEGORY(lcWindow, "orvane.window", QtWarningMsg)

namespace {

QString positionFile()
{
    return MainWindow::placementFile.isEmpty() ? WindowPlacement::defaultFile() : MainWindow::placementFile;
}

// The skin chooser (376 pixels wide) hangs below the skin button with its right end under the
// button's: its corner lies this far left of, and below, the button's bottom-right corner.
constexpr int ChooserLeftOfButton = 377;
constexpr int ChooserBelowButton = 3;

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    // The form's icon holds sizes too large for X11's window property, which then stays empty.
    setWindowIcon(ProductIcon::forWindows());
    setUpPageArea();
    setUpTabOrder();

    // The window draws its own title bar; the flag keeps its taskbar entry and lets it be minimised.
    setWindowFlags((windowFlags() | Qt::FramelessWindowHint) & ~Qt::WindowMaximizeButtonHint);
    qCInfo(lcWindow).noquote() << "window system:" << QGuiApplication::platformName();
    placeAtStart();

    setWindowTitle(clientConfig->productName);
    QCoreApplication::setApplicationName(clientConfig->productName);
    QCoreApplication::setApplicationVersion(clientConfig->appVersion);
    applyStartUpSkin();

    ui->label_version->setAttribute(Qt::WA_TranslucentBackground);
    ui->label_ad->setAttribute(Qt::WA_TranslucentBackground);
    setUpSkinChooser();
    ui->label_version->setText(tr("当前版本:") + clientConfig->appVersion);
    setUpAdvertising();
    setUpTray();
    setUpShortcuts();

    show();
    pageArea->loadingHost->axWidget->setFocus(Qt::OtherFocusReason);
}

MainWindow::~MainWindow()
{
    rememberPosition();
    delete ui;
    delete pageArea;
    delete advertising;
    delete clientConfig;
    clientConfig = nullptr;
}

bool MainWindow::placedByCompositor()
{
    // A Wayland client neither learns nor sets its global position.
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void MainWindow::placeAtStart()
{
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary || placedByCompositor())
        return;
    QList<WindowPlacement::Screen> screens{{primary->geometry(), primary->availableGeometry()}};
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen != primary)
            screens.append({screen->geometry(), screen->availableGeometry()});
    }
    move(WindowPlacement::opening(screens, WindowPlacement::remembered(positionFile()),
                                  WindowPlacement::startPosition(primary->availableGeometry().size(), size()), size()));
}

void MainWindow::rememberPosition()
{
    if (!placedByCompositor() && testAttribute(Qt::WA_WState_Created))
        WindowPlacement::remember(positionFile(), pos());
}

void MainWindow::receiveMessage(QString msg)
{
    if (msg == QLatin1String("client")) {
        qCInfo(lcWindow) << "another start asked for the window";
        restoreWindow();
    } else if (msg == QLatin1String("updator")) {
        qCInfo(lcWindow) << "the updater asked the client to quit";
        quitProgram();
    }
}

void MainWindow::contextMenuEvent(QContextMenuEvent *event)
{
    // Without a tray icon this is the only way to the about window and the feedback page.
    trayMenu->exec(event->globalPos());
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    drag.press(this, event);
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    drag.move(this, event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent *event)
{
    drag.release(event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->ignore();
    hideToTray();
}

void MainWindow::on_pushButton_close_clicked()
{
    hideToTray();
}

void MainWindow::on_pushButton_min_clicked()
{
    showMinimized();
}

void MainWindow::hideToTray()
{
    // Hiding is only safe while a tray icon can bring the window back. Without one there is no other
    // way to quit (the desktops without a tray), so closing ends the program.
    if (trayIcon && trayIcon->isVisible() && systemTrayAvailable()) {
        // Hidden minimised, some window managers map it minimised again on the next show.
        setWindowState(windowState() & ~Qt::WindowMinimized);
        hide();
        // A window that vanishes looks like a program that ended: say once where it went.
        if (TrayNotice::takeFirstTime(trayNoticeFile.isEmpty() ? TrayNotice::defaultFile() : trayNoticeFile))
            trayIcon->showMessage(
                clientConfig->productName,
                tr("%1 仍在系统托盘中运行，单击托盘图标即可恢复窗口。").arg(clientConfig->productName),
                QSystemTrayIcon::Information);
    } else {
        qCInfo(lcWindow) << "closed without a tray: quitting";
        quitProgram();
    }
}

void MainWindow::restoreWindow()
{
    // Qt may still believe the window normal while the window manager keeps it minimised (restored
    // from the taskbar, then hidden), so the state is set on the native window as well.
    setWindowState((windowState() & ~(Qt::WindowMinimized | Qt::WindowFullScreen)) | Qt::WindowActive);
    if (QWindow *native = windowHandle())
        native->setWindowStates(native->windowStates() & ~Qt::WindowMinimized);
    showNormal();
    raise();
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

void MainWindow::quitProgram()
{
    // Not quit(): that first asks every window to close, and ours refuses, so it would be ignored.
    QCoreApplication::exit(0);
}

void MainWindow::setUpTabOrder()
{
    // The page views join the window after its form: Tab leaves a page's last link for the window's
    // buttons, left to right, and comes back to the page after the last one.
    QWidget *const page = pageArea->pageHost->axWidget;
    QWidget *const chain[] = {ui->pushButton_page1,
                              ui->pushButton_page2,
                              ui->pushButton_book,
                              ui->pushButton_skin,
                              ui->pushButton_min,
                              ui->pushButton_close,
                              page};
    for (size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void MainWindow::setUpShortcuts()
{
    // Application-wide, so that they work from a full-screen page and the pop-up too.
    auto *quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this, this, &MainWindow::quitProgram,
                               Qt::ApplicationShortcut);
    quit->setObjectName(QStringLiteral("shortcutQuit"));
    auto *fullScreen =
        new QShortcut(QKeySequence(Qt::Key_F11), this, pageArea, &PageArea::toggleFullScreen, Qt::ApplicationShortcut);
    fullScreen->setObjectName(QStringLiteral("shortcutFullScreen"));
}

void MainWindow::applyStartUpSkin()
{
    onChangeSkin(Skins::imagePath(*clientConfig, clientConfig->currentSkinIndex));
}

void MainWindow::setUpSkinChooser()
{
    skinForm = new SkinForm(this);
    connect(skinForm, &SkinForm::changeSkin, this, &MainWindow::onChangeSkin);
}

void MainWindow::setUpTray()
{
    // The menu and its actions exist either way; only the icon needs a tray to live in.
    if (systemTrayAvailable()) {
        trayIcon = new QSystemTrayIcon(this);
        trayIcon->setIcon(QIcon(QStringLiteral(":/img/img/ico.png")));
        trayIcon->setToolTip(clientConfig->productName);
    } else {
        qCInfo(lcWindow) << "no system tray: closing the window will quit";
    }

    // The entries are the form's; the menu is built from them here, since a form holds no menu of its own
    // outside a menu bar.
    connect(ui->actionShow, &QAction::triggered, this, &MainWindow::restoreWindow);
    connect(ui->actionClose, &QAction::triggered, this, &MainWindow::onActionClose);
    connect(ui->actionAbout, &QAction::triggered, this, &MainWindow::onActionAbout);
    connect(ui->actionUrl1, &QAction::triggered, this, &MainWindow::onActionUrl1);
    connect(ui->actionUrl2, &QAction::triggered, this, &MainWindow::onActionUrl2);

    trayMenu = new QMenu(this);
    trayMenu->setObjectName(QStringLiteral("trayMenu"));
    trayMenu->setStyleSheet(QStringLiteral("border-image: url(\":/img/img/tray.jpg\");"));
    trayMenu->addAction(ui->actionShow);
    trayMenu->addSeparator();
    trayMenu->addAction(ui->actionUrl1);
    trayMenu->addAction(ui->actionUrl2);
    trayMenu->addSeparator();
    trayMenu->addAction(ui->actionAbout);
    trayMenu->addSeparator();
    trayMenu->addAction(ui->actionClose);

    if (trayIcon) {
        trayIcon->setContextMenu(trayMenu);
        trayIcon->setVisible(true);
        connect(trayIcon, &QSystemTrayIcon::activated, this, &MainWindow::iconActivated);
    }
}

void MainWindow::iconActivated(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::MiddleClick:
        restoreWindow();
        break;
    case QSystemTrayIcon::Context: // the icon opens its menu itself
    case QSystemTrayIcon::Unknown:
        break;
    }
}

void MainWindow::onActionClose()
{
    quitProgram();
}

void MainWindow::onActionAbout()
{
    auto *about = new AboutForm; // deletes itself when closed
    const QScreen *screen = QGuiApplication::screenAt(frameGeometry().center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    about->move(
        WindowPlacement::centredOver(frameGeometry(), about->size(), screen ? screen->availableGeometry() : QRect()));
    about->show();
}

void MainWindow::onActionUrl1()
{
    openWebSite();
}

void MainWindow::onActionUrl2()
{
    openWebSite();
}

void MainWindow::on_pushButton_book_clicked()
{
    openWebSite();
}

void MainWindow::openWebSite()
{
    QDesktopServices::openUrl(QUrl(Deployment::serverUrl() + QStringLiteral("/")));
}

void MainWindow::onChangeSkin(QString skinPath)
{
    setStyleSheet(Skins::windowStyleSheet(skinPath));
}

void MainWindow::on_pushButton_skin_clicked()
{
    if (!skinForm)
        return;
    const QPoint corner = mapToGlobal(ui->pushButton_skin->geometry().bottomRight());
    skinForm->move(corner.x() - ChooserLeftOfButton, corner.y() + ChooserBelowButton);
    skinForm->show();
}

void MainWindow::setUpPageArea()
{
    pageArea = new PageArea({ui->hLayout_main,
                             ui->hLayout_ad,
                             {ui->pushButton_page1, ui->pushButton_page2, ui->pushButton_page3, ui->pushButton_page4}},
                            this);
    connect(pageArea->bannerHost, &AxWidgetThread::loadComplete, this, &MainWindow::onBannerShow);
    connect(pageArea->pageHost, &AxWidgetThread::loadComplete, this, &MainWindow::onPageShow);
}

void MainWindow::on_pushButton_page1_clicked()
{
    pageArea->selectPage(1);
}

void MainWindow::on_pushButton_page2_clicked()
{
    pageArea->selectPage(2);
}

void MainWindow::on_pushButton_page3_clicked()
{
    pageArea->selectPage(3);
}

void MainWindow::on_pushButton_page4_clicked()
{
    pageArea->selectPage(4);
}

void MainWindow::onPageShow(bool noError)
{
    pageArea->pageLoaded(noError);
}

void MainWindow::onBannerShow(bool noError)
{
    pageArea->bannerLoaded(noError);
}

void MainWindow::setUpAdvertising()
{
    advertising = new Advertising(pageArea, ui->label_ad, ui->label_update, this);
    connect(advertising->popTimer, &QTimer::timeout, this, &MainWindow::onPopShow);
    connect(advertising->updator, &Updator::getInfoFinished, this, &MainWindow::onGetInfoFinished);
    connect(advertising->checkUpdateTimer, &QTimer::timeout, this, &MainWindow::onCheckUpdate);
}

void MainWindow::onCheckUpdate()
{
    advertising->startFetch();
}

void MainWindow::onGetInfoFinished()
{
    advertising->fetchFinished();
}

void MainWindow::onPopShow()
{
    advertising->popTick();
}

void MainWindow::on_label_update_linkActivated(QString)
{
    advertising->startUpdater();
}
