#include "advertising.h"

#include "clientconfig.h"
#include "pagearea.h"
#include "popform.h"
#include "scrolllabel.h"
#include "updaterlauncher.h"
#include "updator.h"

#include <QLabel>
#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(lcAdvertising, "orvane.window", QtWarningMsg)

Advertising::Timing Advertising::timing;

Advertising::Advertising(PageArea *pages, ScrollLabel *texts, QLabel *updateNotice, QObject *parent)
    : QObject(parent), popTimer(new QTimer(this)), checkUpdateTimer(new QTimer(this)),
      updator(new Updator(clientConfig->serverConfigUrl, updateNotice)), retryTimer(new QTimer(this)), pages(pages),
      texts(texts)
{
    setObjectName(QStringLiteral("advertising"));
    updateNotice->hide();
    popTimer->start(timing.popTickMs);
    checkUpdateTimer->start(timing.fetchStartMs);
    connect(retryTimer, &QTimer::timeout, this, &Advertising::retryTick);
}

Advertising::~Advertising()
{
    delete popForm;
    delete popTimer;
    stopServerFetch();
}

void Advertising::stopServerFetch()
{
    // A fetch still waiting for its server is dropped; the thread is given a moment to wind down, so
    // no running thread is torn down with the program.
    updator->exit(0);
    if (updator->wait(3000))
        delete updator;
    else
        qCWarning(lcAdvertising) << "the server configuration fetch did not end in time";
}

void Advertising::startFetch()
{
    checkUpdateTimer->stop();
    updator->start(QThread::InheritPriority);
}

void Advertising::fetchFinished()
{
    // A failed fetch is tried again until one succeeds (the service may have been down for a moment);
    // the local banner is shown meanwhile, once.
    if (!updator->succeeded()) {
        retrySchedule.failed();
        qCInfo(lcAdvertising) << "server configuration fetch failed; next attempt in"
                              << RetrySchedule::delaySeconds(retrySchedule.failureCount()) << "s";
        retryTimer->start(timing.retryTickMs);
        if (retrySchedule.failureCount() > 1)
            return;
    } else {
        retryTimer->stop();
        // The texts are only the server's: an empty list handed over after a failure would come first
        // in the rotation and hold back the first text by a whole rest.
        texts->setADText(clientConfig->textADStr, clientConfig->textADLink);
        // The service was down when the first page loaded, so what shows may be a remnant from the
        // cache or an error page; now that it answers, the page is loaded afresh.
        if (retrySchedule.failureCount() > 0)
            pages->reloadPage();
    }
    if (!clientConfig->bannerADUrl.isEmpty())
        pages->loadBanner(clientConfig->bannerADUrl);
}

void Advertising::retryTick()
{
    if (!retrySchedule.tick())
        return;
    retryTimer->stop();
    updator->fetchAgain();
}

void Advertising::popTick()
{
    if (!popSchedule.tick(clientConfig->serverInfoReady, clientConfig->popDelayTime, clientConfig->popPeriod))
        return;
    delete popForm;
    popForm = new PopForm;
    popForm->setUrl(clientConfig->popUrl);
    popForm->startPop();
}

void Advertising::startUpdater()
{
    UpdaterLauncher::start();
}
