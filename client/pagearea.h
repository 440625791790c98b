#pragma once

#include "rendererrecovery.h"

#include <QObject>

#include <array>

class AxWidgetThread;
class QBoxLayout;
class QPushButton;
class QTimer;

// The main window's channel page area and its banner area, with their three web page hosts: the
// selected channel page shows once loaded, the local loading page covers the area meanwhile, a page
// that fails gives way to its local error page, and a view whose renderer ended is loaded again.
// The window routes the hosts' reports here (its onPageShow and onBannerShow).
class PageArea final : public QObject
{
    Q_OBJECT

public:
    // The window's widgets that the area fills and drives.
    struct Widgets
    {
        QBoxLayout *pages = nullptr;
        QBoxLayout *banner = nullptr;
        std::array<QPushButton *, 4> buttons{};
    };

    // Creates the hosts, shows the loading page and starts loading the first channel page.
    PageArea(const Widgets &widgets, QObject *parent);
    ~PageArea() override;

    Q_DISABLE_COPY_MOVE(PageArea)

    // Selects page 1 to 4 (its button was clicked) and loads it behind the loading page.
    void selectPage(int page);
    // Selects the selected page again: loads it afresh behind the loading page.
    void reloadPage();
    // The page host's load ended.
    void pageLoaded(bool noError);
    // Sends the banner host to `url`; the banner enters its area once loaded.
    void loadBanner(const QString &url);
    // The banner host's load ended.
    void bannerLoaded(bool noError);
    // The selected channel page alone on the screen, or back in the window.
    void toggleFullScreen();

    // The first pause before a view whose renderer ended is loaded again; tests shorten it.
    void setRecoveryPause(qint64 milliseconds);

    // Owned here; their views sit in the window's layouts.
    AxWidgetThread *const bannerHost;
    AxWidgetThread *const loadingHost;
    AxWidgetThread *const pageHost;

private:
    void switchPage(int page);
    QPushButton *pageButton(int page) const;
    void showFallbackPage();
    void onPageRendererEnded();
    void onBannerRendererEnded();
    void onLoadingRendererEnded();

    Widgets widgets;
    int currentPage = 0;
    // Failed loads of a local error page in a row; bounded so that a broken install cannot keep
    // the area loading for ever.
    int pageErrorRounds = 0;
    int bannerErrorRounds = 0;

    RendererRecovery pageRecovery;
    RendererRecovery bannerRecovery;
    RendererRecovery loadingRecovery;
    QTimer *pageRecoveryTimer = nullptr;
    QTimer *bannerRecoveryTimer = nullptr;
    // The pause before the banner is reloaded, counted from when its local page shows; -1 for none.
    qint64 bannerRecoveryDelay = -1;
};
