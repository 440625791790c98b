#pragma once

#include "popschedule.h"
#include "retryschedule.h"

#include <QObject>

class PageArea;
class PopForm;
class QLabel;
class QTimer;
class ScrollLabel;
class Updator;

// The main window's reaction to the server configuration: the fetch shortly after start (tried again
// while it fails), the scrolling texts and the banner it sets up, the pop-up schedule and the update
// notice. The window routes its timers' ticks and the fetch's end here (its onCheckUpdate, onPopShow
// and onGetInfoFinished).
class Advertising final : public QObject
{
    Q_OBJECT

public:
    // The schedule's intervals, taken at construction; tests shorten them.
    struct Timing
    {
        int fetchStartMs = 500;
        int popTickMs = 1000;
        int retryTickMs = 1000;
    };
    static Timing timing;

    // Hides the update notice, which the fetch shows when the server announces another version, and
    // starts the timers.
    Advertising(PageArea *pages, ScrollLabel *texts, QLabel *updateNotice, QObject *parent);
    ~Advertising() override;

    Q_DISABLE_COPY_MOVE(Advertising)

    // Starts the one fetch of the server configuration.
    void startFetch();
    // The fetch ended, successful or not.
    void fetchFinished();
    // One second of the retry countdown after a failed fetch.
    void retryTick();
    // One second of the pop-up schedule.
    void popTick();
    // The update notice's link: starts the updater beside the client.
    void startUpdater();

    // The pop-up window now in existence, if any.
    PopForm *currentPop() const
    {
        return popForm;
    }

    // The window connects the first three to its slots; tests drive all four.
    QTimer *const popTimer;
    QTimer *const checkUpdateTimer;
    Updator *const updator;
    // Ticks once a second while a failed fetch waits to be tried again.
    QTimer *const retryTimer;

private:
    void stopServerFetch();

    PageArea *pages;
    ScrollLabel *texts;
    RetrySchedule retrySchedule;
    PopForm *popForm = nullptr;
    PopSchedule popSchedule;
};
