#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWebEnginePage>

#include <deque>
#include <functional>

class QAction;
class QTimer;
class QWebEngineNewWindowRequest;
class QWebEngineProfile;
class QWebEngineView;

// Admits at most `count` events in any `spanMs` milliseconds.
class RateLimit final
{
public:
    RateLimit(int count, qint64 spanMs) : count(count), spanMs(spanMs)
    {
    }
    bool admit(qint64 nowMs);

private:
    int count;
    qint64 spanMs;
    std::deque<qint64> admitted;
};

// Hosts one web view: navigates it on request and, once loading has stopped, says in one signal
// whether the expected page arrived, judged by a keyword in the document's title. The view never
// shows dialogs, grants no permissions and opens no windows of its own. Despite the name it lives
// on the GUI thread.
class AxWidgetThread final : public QObject
{
    Q_OBJECT

public:
    // Which web profile the view uses. Advertisements get one of their own, so that a page of theirs
    // that crashes, hangs or eats its memory takes down only their renderer, never the channel's.
    enum class Profile {
        Channel,
        Advertisement,
    };

    explicit AxWidgetThread(const QString &keyword, Profile profile = Profile::Channel);
    ~AxWidgetThread() override;

    Q_DISABLE_COPY_MOVE(AxWidgetThread)

    // The title rule: case-sensitive substring.
    static bool titleMatches(const QString &title, const QString &keyword);
    // An absolute local path becomes a file URL; anything else is taken as a URL.
    static QUrl toUrl(const QString &text);
    // Whether a new-window request for `url` may go to the user's default browser.
    static bool opensExternally(const QUrl &url);
    // A view sends at most this many new windows to the browser in WindowSpanMs, and only on a click.
    static constexpr int WindowsPerSpan = 3;
    static constexpr qint64 WindowSpanMs = 10000;

    // The channel pages' profile, persistent under the user's data folder; created on first use.
    static QWebEngineProfile *profile();
    // The advertisements' profile: off the record, so it keeps nothing on disk; created on first use.
    static QWebEngineProfile *advertisementProfile();
    // Where http(s) addresses of new-window requests go; the desktop's default browser unless
    // replaced (tests record them instead).
    static std::function<void(const QUrl &)> &externalOpener();

    // Owned by the host; the owner lays it out. Tracked so that a view already destroyed with its
    // parent window is not deleted twice.
    QPointer<QWebEngineView> axWidget;

    // A renderer that leaves a ping unanswered this long while a load waits is taken as hung (5 s).
    void setHangTimeout(int milliseconds);
    // How often the page's garbage is collected (60 s), where the engine lets it be (EngineFlags).
    void setCollectionInterval(int milliseconds);

    // The view alone filling the screen: asked for by its page, or by the user (F11). Leaving it also
    // takes the page out of its own full-screen mode.
    bool isFullScreen() const;
    void setFullScreen(bool on);

public slots:
    void beginUrl(QString url);

signals:
    // Once per watched navigation; for overlapping calls of beginUrl, only for the last one.
    void loadComplete(bool noError);
    // The view's renderer ended abnormally (crash, kill); the view shows nothing until it is loaded
    // again. A navigation being watched ends with this instead of loadComplete.
    void renderProcessEnded();

private slots:
    void onLoadFinished(bool ok);
    void onRenderProcessTerminated(QWebEnginePage::RenderProcessTerminationStatus status, int exitCode);
    void onNewWindowRequested(QWebEngineNewWindowRequest &request);
    void onHangCheck();
    void collectGarbage();

private:
    void finish(bool noError);
    void toggleFullScreen(bool on);

    QString titleKeyword;
    // Counts navigations started by beginUrl, so that late answers about an earlier one are dropped.
    quint64 generation = 0;
    bool watching = false;
    bool readingTitle = false;
    // While a load waits, the renderer is pinged; one that does not answer is ended and the load tried
    // again, once: a busy page must not hold every later navigation of its view.
    QTimer *hangCheck = nullptr;
    QTimer *collection = nullptr;
    int hangTimeoutMs = 5000;
    QUrl watchedUrl;
    // Since the renderer last answered a ping, or the load began.
    QElapsedTimer sinceAnswer;
    bool endingHungRenderer = false;
    int hangsOfThisLoad = 0;
    RateLimit windowLimit{WindowsPerSpan, WindowSpanMs};
    int droppedWindows = 0;
    // Where the view sat before a page took it full screen.
    QPointer<QWidget> normalParent;
    int normalIndex = -1;
    // Esc leaves full screen; enabled only then, so that pages get Esc otherwise.
    QAction *leaveFullScreen = nullptr;
};
