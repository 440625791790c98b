#include "pagearea.h"

#include "axwidgetthread.h"
#include "channelpages.h"
#include "clientconfig.h"

#include <QBoxLayout>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTimer>
#include <QWebEngineView>

Q_LOGGING_CATEGORY(lcPages, "orvane.pages", QtWarningMsg)

using ChannelPages::localPage;

PageArea::PageArea(const Widgets &widgets, QObject *parent)
    : QObject(parent), bannerHost(new AxWidgetThread(QStringLiteral("首页"))),
      loadingHost(new AxWidgetThread(QStringLiteral("Orvane"))), pageHost(new AxWidgetThread(QStringLiteral("Orvane"))),
      widgets(widgets)
{
    setObjectName(QStringLiteral("pageArea"));
    bannerHost->axWidget->setObjectName(QStringLiteral("bannerView"));
    loadingHost->axWidget->setObjectName(QStringLiteral("loadingView"));
    pageHost->axWidget->setObjectName(QStringLiteral("pageView"));

    loadingHost->beginUrl(localPage(QStringLiteral("load.html")));
    pageHost->axWidget->hide();
    widgets.pages->addWidget(loadingHost->axWidget, 0);
    widgets.pages->addWidget(pageHost->axWidget, 0);
    currentPage = 1;
    widgets.buttons[0]->setChecked(true);
    widgets.buttons[0]->setEnabled(false);
    pageHost->beginUrl(ChannelPages::address(*clientConfig, 1));

    pageRecoveryTimer = new QTimer(this);
    pageRecoveryTimer->setSingleShot(true);
    connect(pageRecoveryTimer, &QTimer::timeout, this, [this] {
        pageHost->beginUrl(ChannelPages::address(*clientConfig, currentPage));
    });
    bannerRecoveryTimer = new QTimer(this);
    bannerRecoveryTimer->setSingleShot(true);
    connect(bannerRecoveryTimer, &QTimer::timeout, this, [this] {
        bannerHost->beginUrl(clientConfig->bannerADUrl);
    });
    connect(pageHost, &AxWidgetThread::renderProcessEnded, this, &PageArea::onPageRendererEnded);
    connect(bannerHost, &AxWidgetThread::renderProcessEnded, this, &PageArea::onBannerRendererEnded);
    connect(loadingHost, &AxWidgetThread::renderProcessEnded, this, &PageArea::onLoadingRendererEnded);
}

PageArea::~PageArea()
{
    delete bannerHost;
    delete loadingHost;
    delete pageHost;
}

void PageArea::setRecoveryPause(qint64 milliseconds)
{
    pageRecovery = RendererRecovery(milliseconds);
    bannerRecovery = RendererRecovery(milliseconds);
    loadingRecovery = RendererRecovery(milliseconds);
}

void PageArea::selectPage(int page)
{
    pageRecoveryTimer->stop();
    switchPage(page);
    pageHost->beginUrl(ChannelPages::address(*clientConfig, page));
}

void PageArea::reloadPage()
{
    selectPage(currentPage);
}

void PageArea::switchPage(int page)
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

QPushButton *PageArea::pageButton(int page) const
{
    return page >= 1 && page <= ChannelPages::Count ? widgets.buttons[size_t(page - 1)] : nullptr;
}

void PageArea::pageLoaded(bool noError)
{
    if (noError) {
        pageErrorRounds = 0;
        qCInfo(lcPages) << "channel page" << currentPage << "shown";
        loadingHost->axWidget->hide();
        pageHost->axWidget->show();
        pageHost->axWidget->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (pageErrorRounds >= ChannelPages::MaxErrorRounds) {
        showFallbackPage();
        return;
    }
    ++pageErrorRounds;
    qCInfo(lcPages) << "channel page" << currentPage << "failed; showing its error page";
    pageHost->beginUrl(ChannelPages::errorPage(currentPage));
}

void PageArea::showFallbackPage()
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

void PageArea::loadBanner(const QString &url)
{
    bannerHost->beginUrl(url);
}

void PageArea::bannerLoaded(bool noError)
{
    if (noError) {
        bannerErrorRounds = 0;
        if (widgets.banner->indexOf(bannerHost->axWidget) < 0)
            widgets.banner->addWidget(bannerHost->axWidget, 0);
        bannerHost->axWidget->show();
        if (bannerRecoveryDelay >= 0)
            bannerRecoveryTimer->start(int(bannerRecoveryDelay));
        bannerRecoveryDelay = -1;
        return;
    }
    // The banner area simply stays empty when even the local banner page fails.
    if (bannerErrorRounds >= ChannelPages::MaxErrorRounds) {
        qCWarning(lcPages) << "the banner's error page cannot be shown; the banner area stays empty";
        return;
    }
    ++bannerErrorRounds;
    bannerHost->beginUrl(localPage(QStringLiteral("errorb.html")));
}

void PageArea::toggleFullScreen()
{
    pageHost->setFullScreen(!pageHost->isFullScreen());
}

void PageArea::onPageRendererEnded()
{
    const qint64 delay = pageRecovery.nextDelay(RendererRecovery::now());
    if (delay < 0) {
        qCWarning(lcPages) << "the renderer of channel page" << currentPage << "keeps ending; giving up on it";
        pageLoaded(false);
        return;
    }
    qCInfo(lcPages) << "the renderer of channel page" << currentPage << "ended; reloading in" << delay << "ms";
    // The page that asked for full screen is gone; its successor comes back in the window.
    pageHost->setFullScreen(false);
    pageHost->axWidget->hide();
    loadingHost->axWidget->show();
    pageRecoveryTimer->start(int(delay));
}

void PageArea::onBannerRendererEnded()
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

void PageArea::onLoadingRendererEnded()
{
    if (loadingRecovery.nextDelay(RendererRecovery::now()) >= 0)
        QTimer::singleShot(0, loadingHost, [this] {
            loadingHost->beginUrl(localPage(QStringLiteral("load.html")));
        });
}
