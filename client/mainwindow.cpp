#include "mainwindow.h"

#include "axwidgetthread.h"
#include "clientconfig.h"
#include "ui_mainwindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QWebEngineView>

Q_LOGGING_CATEGORY(lcWindow, "orvane.window", QtWarningMsg)

Q_LOGGING_CATEGORY(lcPages, "orvane.pages", QtWarningMsg)

namespace {
const QPoint NoDrag(-1, -1);

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
    loadingHost->axWidget->setFocus(Qt::OtherFocusReason);
}

MainWindow::~MainWindow()
{
    delete ui;
    tearDownPageArea();
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
