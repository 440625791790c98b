#include "mainwindow.h"

#include "aboutform.h"
#include "clientconfig.h"
#include "deployment.h"
#include "skinform.h"
#include "skins.h"
#include "ui_mainwindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QLoggingCategory>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>

Q_LOGGING_CATEGORY(lcWindow, "orvane.window", QtWarningMsg)

namespace {
const QPoint NoDrag(-1, -1);
}

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);

    // The window draws its own title bar; the flag keeps its taskbar entry and lets it be minimised.
    setWindowFlags((windowFlags() | Qt::FramelessWindowHint) & ~Qt::WindowMaximizeButtonHint);
    setFixedSize(852, 600);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(startPosition(screen->availableGeometry().size(), size()));

    setWindowTitle(clientConfig->productName);
    QCoreApplication::setApplicationName(clientConfig->productName);
    QCoreApplication::setApplicationVersion(clientConfig->appVersion);
    applyStartUpSkin();

    ui->label_version->setAttribute(Qt::WA_TranslucentBackground);
    setUpSkinChooser();
    ui->label_version->setText(tr("当前版本:") + clientConfig->appVersion);
    ui->label_update->hide();
    setUpTray();

    show();
}

MainWindow::~MainWindow()
{
    delete ui;
    delete clientConfig;
    clientConfig = nullptr;
}

QPoint MainWindow::startPosition(const QSize &available, const QSize &window)
{
    return QPoint((available.width() - window.width()) / 2, (available.height() - window.height()) / 2 - 30);
}

void MainWindow::receiveMessage(QString msg)
{
    if (msg == QLatin1String("client")) {
        qCInfo(lcWindow) << "another start asked for the window";
        showNormal();
        raise();
        activateWindow();
        setFocus(Qt::OtherFocusReason);
    } else if (msg == QLatin1String("updator")) {
        qCInfo(lcWindow) << "the updater asked the client to quit";
        // Not quit(): that first asks every window to close, and ours refuses, so it would be ignored.
        QCoreApplication::exit(0);
    }
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
        event->accept();
    }
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton) {
        if (dragOffset != NoDrag)
            move(event->globalPosition().toPoint() - dragOffset);
        event->accept();
    }
}

void MainWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        dragOffset = NoDrag;
        event->accept();
    }
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
    // Hiding is only safe while a tray icon can bring the window back; otherwise the user would be
    // left with a running program and no window, so minimise instead.
    if (trayIcon && trayIcon->isVisible() && systemTrayAvailable())
        hide();
    else
        showMinimized();
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
        qCInfo(lcWindow) << "no system tray: closing the window will minimise it";
    }

    auto makeAction = [this](const char *name, const QString &text, const QString &icon) {
        auto *action = new QAction(QIcon(icon), text, this);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    actionShow = makeAction("actionShow", tr(" 显示窗口"), QStringLiteral(":/img/img/ico.png"));
    connect(actionShow, &QAction::triggered, this, &QWidget::showNormal);
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
        showNormal();
        break;
    case QSystemTrayIcon::Context: // the icon opens its menu itself
    case QSystemTrayIcon::Unknown:
        break;
    }
}

void MainWindow::onActionClose()
{
    // Not quit(): that first asks every window to close, and ours refuses, so it would be ignored.
    QCoreApplication::exit(0);
}

void MainWindow::onActionAbout()
{
    auto *about = new AboutForm; // deletes itself when closed
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
