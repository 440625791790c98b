#include "mainwindow.h"

#include "clientconfig.h"
#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLoggingCategory>
#include <QMouseEvent>
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

    ui->label_version->setAttribute(Qt::WA_TranslucentBackground);
    ui->label_version->setText(tr("当前版本:") + clientConfig->appVersion);
    ui->label_update->hide();

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
    if (trayIcon && trayIcon->isVisible())
        hide();
    else
        showMinimized();
}
