#include "mainwindow.h"

#include "aboutform.h"
#include "axwidgetthread.h"
#include "clientconfig.h"
#include "deployment.h"
#include "popform.h"
#include "scrolllabel.h"
#include "skinform.h"
#include "skins.h"
#include "ui_mainwindow.h"
#include "updaterlauncher.h"
#include "updator.h"
#include "windowplacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLoggingCategory>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWebEngineView>
#include <QWindow>

#include <iterator>

Q_LOGGING_CATEGORY(lcWindow, "orvane.window", QtWarningMsg)
Q_LOGGING_CATEGORY(lcPages, "orvane.pages", QtWarningMsg)

namespace {

QString positionFile()
{
    return MainWindow::placementFile.isEmpty() ? WindowPlacement::defaultFile() : MainWindow::placementFile;
}

// Loads of a local error page that may fail in a row before the area gives up on it.
constexpr int MaxErrorRounds = 3;

QString localPage(const QString &name)
{
    return QDir::currentPath() + QStringLiteral("/html/") + name;
}
} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    setUpPageArea();
    setUpTabOrder();
    setUpRendererRecovery();

    // The window draws its own title bar; the flag keeps its taskbar entry and lets it be minimised.
    setWindowFlags((windowFlags() | Qt::FramelessWindowHint) & ~Qt::WindowMaximizeButtonHint);
    setFixedSize(852, 600);
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
    loadingHost->axWidget->setFocus(Qt::OtherFocusReason);
}

MainWindow::~MainWindow()
{
    rememberPosition();
    delete ui;
    tearDownPageArea();
    delete popForm;
    delete popTimer;
    stopServerFetch();
    delete clientConfig;
    clientConfig = nullptr;
}

QPoint MainWindow::startPosition(const QSize &available, const QSize &window)
{
    return QPoint((available.width() - window.width()) / 2, (available.height() - window.height()) / 2 - 30);
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
                                  startPosition(primary->availableGeometry().size(), size()), size()));
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
    QWidget *const chain[] = {ui->pushButton_page1, ui->pushButton_page2, ui->pushButton_book, ui->pushButton_skin,
                              ui->pushButton_min,   ui->pushButton_close, pageHost->axWidget};
    for (size_t i = 1; i < std::size(chain); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void MainWindow::setUpShortcuts()
{
    // Application-wide, so that they work from a full-screen page and the pop-up too.
    auto *quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this, this, &MainWindow::quitProgram,
                               Qt::ApplicationShortcut);
    quit->setObjectName(QStringLiteral("shortcutQuit"));
    auto *fullScreen = new QShortcut(QKeySequence(Qt::Key_F11), this, this, &MainWindow::toggleCurrentPageFullScreen,
                                     Qt::ApplicationShortcut);
    fullScreen->setObjectName(QStringLiteral("shortcutFullScreen"));
}

void MainWindow::toggleCurrentPageFullScreen()
{
    if (pageHost)
        pageHost->setFullScreen(!pageHost->isFullScreen());
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

    auto makeAction = [this](const char *name, const QString &text, const QString &icon) {
        auto *action = new QAction(QIcon(icon), text, this);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    actionShow = makeAction("actionShow", tr(" 显示窗口"), QStringLiteral(":/img/img/ico.png"));
    connect(actionShow, &QAction::triggered, this, &MainWindow::restoreWindow);
    actionClose = makeAction("actionClose", tr(" 退出程序"), QStringLiteral(":/img/img/outs.png"));
    connect(actionClose, &QAction::triggered, this, &MainWindow::onActionClose);
    actionAbout = makeAction("actionAbout", tr(" 关于我们"), QStringLiteral(":/img/img/abtus.png"));
    connect(actionAbout, &QAction::triggered, this, &MainWindow::onActionAbout);
    actionUrl1 = makeAction("actionUrl1", tr(" 官方网站"), QStringLiteral(":/img/img/net.png"));
    connect(actionUrl1, &QAction::triggered, this, &MainWindow::onActionUrl1);
    actionUrl2 = makeAction("actionUrl2", tr(" 意见反馈"), QStringLiteral(":/img/img/books.png"));
    connect(actionUrl2, &QAction::triggered, this, &MainWindow::onActionUrl2);

    trayMenu = new QMenu(this);
    trayMenu->setObjectName(QStringLiteral("trayMenu"));
    trayMenu->setStyleSheet(QStringLiteral("border-image: url(\":/img/img/tray.jpg\");"));
    trayMenu->addAction(actionShow);
    trayMenu->addSeparator();
    trayMenu->addAction(actionUrl1);
    trayMenu->addAction(actionUrl2);
    trayMenu->addSeparator();
    trayMenu->addAction(actionAbout);
    trayMenu->addSeparator();
    trayMenu->addAction(actionClose);

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
    // Below the skin button, its right part reaching back towards the window's left edge.
    const QPoint corner = mapToGlobal(ui->pushButton_skin->geometry().bottomRight());
    skinForm->move(corner.x() - 377, corner.y() + 3);
    skinForm->show();
}

void MainWindow::setUpPageArea()
{
    bannerHost = new AxWidgetThread(QStringLiteral("首页"));
    loadingHost = new AxWidgetThread(QStringLiteral("Orvane"));
    pageHost = new AxWidgetThread(QStringLiteral("Orvane"));
    bannerHost->axWidget->setObjectName(QStringLiteral("bannerView"));
    loadingHost->axWidget->setObjectName(QStringLiteral("loadingView"));
    pageHost->axWidget->setObjectName(QStringLiteral("pageView"));
    connect(bannerHost, &AxWidgetThread::loadComplete, this, &MainWindow::onBannerShow);
    connect(pageHost, &AxWidgetThread::loadComplete, this, &MainWindow::onPageShow);

    loadingHost->beginUrl(localPage(QStringLiteral("load.html")));
    pageHost->axWidget->hide();
    ui->hLayout_main->addWidget(loadingHost->axWidget, 0);
    ui->hLayout_main->addWidget(pageHost->axWidget, 0);
    currentPage = 1;
    ui->pushButton_page1->setChecked(true);
    ui->pushButton_page1->setEnabled(false);
    pageHost->beginUrl(pageUrl(1));
}

void MainWindow::tearDownPageArea()
{
    delete bannerHost;
    delete loadingHost;
    delete pageHost;
    bannerHost = loadingHost = pageHost = nullptr;
}

void MainWindow::on_pushButton_page1_clicked()
{
    selectPage(1);
}

void MainWindow::on_pushButton_page2_clicked()
{
    selectPage(2);
}

void MainWindow::on_pushButton_page3_clicked()
{
    selectPage(3);
}

void MainWindow::on_pushButton_page4_clicked()
{
    selectPage(4);
}

void MainWindow::selectPage(int page)
{
    pageRecoveryTimer->stop();
    switchPage(page);
    pageHost->beginUrl(pageUrl(page));
}

void MainWindow::switchPage(int page)
{
    if (QPushButton *previous = pageButton(currentPage)) {
        previous->setChecked(false);
        previous->setEnabled(true);
    }
    currentPage = page;
    pageButton(page)->setEnabled(false);
    pageErrorRounds = 0;
    pageHost->axWidget->hide();
    loadingHost->axWidget->show();
}

QPushButton *MainWindow::pageButton(int page) const
{
    switch (page) {
    case 1:
        return ui->pushButton_page1;
    case 2:
        return ui->pushButton_page2;
    case 3:
        return ui->pushButton_page3;
    case 4:
        return ui->pushButton_page4;
    default:
        return nullptr;
    }
}

QString MainWindow::pageUrl(int page) const
{
    const QString urls[] = {clientConfig->pageUrl1, clientConfig->pageUrl2, clientConfig->pageUrl3,
                            clientConfig->pageUrl4};
    return urls[page - 1];
}

void MainWindow::onPageShow(bool noError)
{
    if (noError) {
        pageErrorRounds = 0;
        qCInfo(lcPages) << "channel page" << currentPage << "shown";
        loadingHost->axWidget->hide();
        pageHost->axWidget->show();
        pageHost->axWidget->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (pageErrorRounds >= MaxErrorRounds) {
        showFallbackPage();
        return;
    }
    ++pageErrorRounds;
    qCInfo(lcPages) << "channel page" << currentPage << "failed; showing its error page";
    pageHost->beginUrl(localPage(QStringLiteral("error%1.html").arg(currentPage)));
}

void MainWindow::showFallbackPage()
{
    // The delivered error page itself cannot be shown (missing or damaged files): say so from
    // inside the program rather than leaving the loading page up for ever.
    qCWarning(lcPages) << "the error page of channel page" << currentPage << "cannot be shown either";
    pageHost->axWidget->setHtml(
        tr("<!doctype html><html><head><meta charset=\"utf-8\"><title>Orvane</title></head>"
           "<body style=\"margin:0;background:#0b2a55;color:#e8f0ff;font:14px sans-serif;"
           "display:flex;align-items:center;justify-content:center;height:100vh\">"
           "<div style=\"text-align:center\"><p style=\"font-size:20px\">页面暂时无法显示</p>"
           "<p>请检查网络连接后重新选择频道。如果问题依旧，请重新安装本程序。</p></div></body></html>"));
    loadingHost->axWidget->hide();
    pageHost->axWidget->show();
}

void MainWindow::onBannerShow(bool noError)
{
    if (noError) {
        bannerErrorRounds = 0;
        if (ui->hLayout_ad->indexOf(bannerHost->axWidget) < 0)
            ui->hLayout_ad->addWidget(bannerHost->axWidget, 0);
        bannerHost->axWidget->show();
        if (bannerRecoveryDelay >= 0)
            bannerRecoveryTimer->start(int(bannerRecoveryDelay));
        bannerRecoveryDelay = -1;
        return;
    }
    // The banner area simply stays empty when even the local banner page fails.
    if (bannerErrorRounds >= MaxErrorRounds) {
        qCWarning(lcPages) << "the banner's error page cannot be shown; the banner area stays empty";
        return;
    }
    ++bannerErrorRounds;
    bannerHost->beginUrl(localPage(QStringLiteral("errorb.html")));
}

void MainWindow::setUpRendererRecovery()
{
    pageRecoveryTimer = new QTimer(this);
    pageRecoveryTimer->setSingleShot(true);
    connect(pageRecoveryTimer, &QTimer::timeout, this, [this] {
        pageHost->beginUrl(pageUrl(currentPage));
    });
    bannerRecoveryTimer = new QTimer(this);
    bannerRecoveryTimer->setSingleShot(true);
    connect(bannerRecoveryTimer, &QTimer::timeout, this, [this] {
        bannerHost->beginUrl(clientConfig->bannerADUrl);
    });
    connect(pageHost, &AxWidgetThread::renderProcessEnded, this, &MainWindow::onPageRendererEnded);
    connect(bannerHost, &AxWidgetThread::renderProcessEnded, this, &MainWindow::onBannerRendererEnded);
    connect(loadingHost, &AxWidgetThread::renderProcessEnded, this, [this] {
        if (loadingRecovery.nextDelay(RendererRecovery::now()) >= 0)
            QTimer::singleShot(0, loadingHost, [this] {
                loadingHost->beginUrl(localPage(QStringLiteral("load.html")));
            });
    });
}

void MainWindow::onPageRendererEnded()
{
    const qint64 delay = pageRecovery.nextDelay(RendererRecovery::now());
    if (delay < 0) {
        qCWarning(lcPages) << "the renderer of channel page" << currentPage << "keeps ending; giving up on it";
        onPageShow(false);
        return;
    }
    qCInfo(lcPages) << "the renderer of channel page" << currentPage << "ended; reloading in" << delay << "ms";
    // The page that asked for full screen is gone; its successor comes back in the window.
    pageHost->setFullScreen(false);
    pageHost->axWidget->hide();
    loadingHost->axWidget->show();
    pageRecoveryTimer->start(int(delay));
}

void MainWindow::onBannerRendererEnded()
{
    // The local banner page stands in at once: until the banner is back, or for good once the tries
    // are spent.
    bannerRecoveryDelay = bannerRecovery.nextDelay(RendererRecovery::now());
    qCInfo(lcPages) << "the banner's renderer ended; reloading it:" << (bannerRecoveryDelay >= 0);
    bannerRecoveryTimer->stop();
    QTimer::singleShot(0, bannerHost, [this] {
        bannerHost->beginUrl(localPage(QStringLiteral("errorb.html")));
    });
}

void MainWindow::setUpAdvertising()
{
    popTimer = new QTimer(this);
    connect(popTimer, &QTimer::timeout, this, &MainWindow::onPopShow);
    popTimer->start(1000);

    ui->label_update->hide();
    updator = new Updator(clientConfig->serverConfigUrl, ui->label_update);
    connect(updator, &Updator::getInfoFinished, this, &MainWindow::onGetInfoFinished);

    checkUpdateTimer = new QTimer(this);
    connect(checkUpdateTimer, &QTimer::timeout, this, &MainWindow::onCheckUpdate);
    checkUpdateTimer->start(500);

    retryTimer = new QTimer(this);
    connect(retryTimer, &QTimer::timeout, this, &MainWindow::onRetryTick);
}

void MainWindow::stopServerFetch()
{
    // A fetch still waiting for its server is dropped; the thread is given a moment to wind down, so
    // no running thread is torn down with the program.
    if (!updator)
        return;
    updator->exit(0);
    if (updator->wait(3000))
        delete updator;
    else
        qCWarning(lcWindow) << "the server configuration fetch did not end in time";
    updator = nullptr;
}

void MainWindow::onCheckUpdate()
{
    checkUpdateTimer->stop();
    updator->start(QThread::InheritPriority);
}

void MainWindow::onGetInfoFinished()
{
    // A failed fetch is tried again until one succeeds (the service may have been down for a moment);
    // the local banner is shown meanwhile, once.
    if (!updator->succeeded()) {
        retrySchedule.failed();
        qCInfo(lcWindow) << "server configuration fetch failed; next attempt in"
                         << RetrySchedule::delaySeconds(retrySchedule.failureCount()) << "s";
        retryTimer->start(1000);
        if (retrySchedule.failureCount() > 1)
            return;
    } else {
        retryTimer->stop();
        // The texts are only the server's: an empty list handed over after a failure would come first
        // in the rotation and hold back the first text by a whole rest.
        ui->label_ad->setADText(clientConfig->textADStr, clientConfig->textADLink);
        // The service was down when the first page loaded, so what shows may be a remnant from the
        // cache or an error page; now that it answers, the page is loaded afresh.
        if (retrySchedule.failureCount() > 0)
            selectPage(currentPage);
    }
    if (!clientConfig->bannerADUrl.isEmpty())
        bannerHost->beginUrl(clientConfig->bannerADUrl);
}

void MainWindow::onRetryTick()
{
    if (!retrySchedule.tick())
        return;
    retryTimer->stop();
    updator->fetchAgain();
}

void MainWindow::onPopShow()
{
    if (!popSchedule.tick(clientConfig->serverInfoReady, clientConfig->popDelayTime, clientConfig->popPeriod))
        return;
    delete popForm;
    popForm = new PopForm;
    popForm->setUrl(clientConfig->popUrl);
    popForm->startPop();
}

void MainWindow::on_label_update_linkActivated(QString)
{
    UpdaterLauncher::start();
}
