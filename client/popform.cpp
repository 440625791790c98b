#include "popform.h"

#include "axwidgetthread.h"
#include "clientconfig.h"
#include "producticon.h"
#include "ui_popform.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWebEngineView>

Q_LOGGING_CATEGORY(lcPopUp, "orvane.popup", QtWarningMsg)

PopForm::PopForm(QWidget *parent)
    : QWidget(parent), stayCount(clientConfig->popstayTime), stayTimer(new QTimer(this)),
      pageHost(new AxWidgetThread(QStringLiteral("首页"))), ui(new Ui::PopForm)
{
    ui->setupUi(this);
    // A child, so that its reports can be followed from outside (tests); deleted first all the same.
    pageHost->setParent(this);
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    // Task switchers and docks name it after the product rather than the form.
    setWindowTitle(clientConfig->productName);
    setWindowIcon(ProductIcon::forWindows());
    connect(pageHost, &AxWidgetThread::loadComplete, this, &PopForm::loadFinish);
    // A page whose renderer has ended shows an empty grey box above everything: an advertisement is
    // not worth bringing back, so the window goes.
    connect(pageHost, &AxWidgetThread::renderProcessEnded, this, &PopForm::on_pushButton_close_clicked);
    connect(stayTimer, &QTimer::timeout, this, &PopForm::myStay);
}

PopForm::~PopForm()
{
    delete ui;
    delete stayTimer;
    delete pageHost; // takes its view out of our layout first
}

QPoint PopForm::placement(const QSize &available, const QSize &window)
{
    return QPoint(available.width() - window.width(), available.height() - window.height());
}

void PopForm::setUrl(QString url)
{
    this->url = std::move(url);
}

void PopForm::startPop()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        availRect = screen->availableGeometry();
    const QPoint corner = placement(availRect.size(), size());
    popX = corner.x();
    popY = corner.y();
    // On Wayland the compositor alone places windows, so the move is only a wish there: weston, for
    // one, opens the pop-up where its own policy puts new windows, not necessarily in the corner.
    move(popX, popY);
    if (!url.isEmpty())
        pageHost->beginUrl(url);
}

bool PopForm::isCountingDown() const
{
    return stayTimer->isActive();
}

void PopForm::loadFinish(bool noError)
{
    if (!noError || !pageHost->axWidget)
        return;
    ui->hLayout->addWidget(pageHost->axWidget);
    show();
    qCInfo(lcPopUp) << "pop-up shown";
    stayTimer->start(1000);
}

void PopForm::myStay()
{
    if (--stayCount <= 0) {
        stayTimer->stop();
        close();
    }
}

void PopForm::on_pushButton_close_clicked()
{
    stayTimer->stop();
    close();
}

void PopForm::mousePressEvent(QMouseEvent *event)
{
    // The window's own surface does nothing, and nothing behind it should react either.
    event->accept();
}
