#include "axwidgetthread.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEngineCertificateError>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineQuotaRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

Q_LOGGING_CATEGORY(lcHost, "orvane.web", QtWarningMsg)

namespace {

// A page that, like the embedded control it replaces, never asks the user anything.
class SilentPage final : public QWebEnginePage
{
public:
    explicit SilentPage(QObject *parent) : QWebEnginePage(AxWidgetThread::profile(), parent)
    {
        // The page area's own dark blue, instead of a white flash before the first page has painted.
        setBackgroundColor(QColor(0x1b, 0x25, 0x34));
        connect(this, &QWebEnginePage::featurePermissionRequested, this,
                [this](const QUrl &origin, QWebEnginePage::Feature feature) {
                    qCDebug(lcHost) << "denied permission" << feature << "to" << origin;
                    setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
                });
        connect(this, &QWebEnginePage::certificateError, this, [](const QWebEngineCertificateError &error) {
            qCDebug(lcHost) << "rejected certificate of" << error.url() << error.description();
            QWebEngineCertificateError copy = error;
            copy.rejectCertificate();
        });
        connect(this, &QWebEnginePage::quotaRequested, this, [](QWebEngineQuotaRequest request) {
            request.reject();
        });
        connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
                [](QWebEngineRegisterProtocolHandlerRequest request) {
                    request.reject();
                });
        connect(this, &QWebEnginePage::fileSystemAccessRequested, this, [](QWebEngineFileSystemAccessRequest request) {
            request.reject();
        });
    }

protected:
    QWebEnginePage *createWindow(WebWindowType) override
    {
        return nullptr;
    }
    QStringList chooseFiles(FileSelectionMode, const QStringList &, const QStringList &) override
    {
        return {};
    }
    void javaScriptAlert(const QUrl &, const QString &) override
    {
    }
    bool javaScriptConfirm(const QUrl &, const QString &msg) override
    {
        // The engine asks through here before leaving a page that set onbeforeunload; a "no" would
        // keep the page and stall every later navigation, so leaving is always allowed.
        return msg == leaveQuestion();
    }
    bool javaScriptPrompt(const QUrl &, const QString &, const QString &, QString *) override
    {
        return false;
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &, int, const QString &) override
    {
    }

private:
    static QString leaveQuestion()
    {
        return QCoreApplication::translate(
            "QWebEnginePage", "Are you sure you want to leave this page? Changes that you made may not be saved.");
    }
};

} // namespace

AxWidgetThread::AxWidgetThread(const QString &keyword) : titleKeyword(keyword)
{
    axWidget = new QWebEngineView;
    auto *page = new SilentPage(axWidget);
    axWidget->setPage(page);
    axWidget->setContextMenuPolicy(Qt::NoContextMenu);
    connect(page, &QWebEnginePage::loadFinished, this, &AxWidgetThread::onLoadFinished);
    connect(page, &QWebEnginePage::renderProcessTerminated, this, &AxWidgetThread::onRenderProcessTerminated);
    connect(page, &QWebEnginePage::newWindowRequested, this, &AxWidgetThread::onNewWindowRequested);
    connect(page, &QWebEnginePage::fullScreenRequested, this, [this](QWebEngineFullScreenRequest request) {
        request.accept();
        toggleFullScreen(request.toggleOn());
    });

    leaveFullScreen = new QAction(axWidget);
    leaveFullScreen->setShortcut(Qt::Key_Escape);
    leaveFullScreen->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    leaveFullScreen->setEnabled(false);
    connect(leaveFullScreen, &QAction::triggered, this, [this] {
        setFullScreen(false);
    });
    axWidget->addAction(leaveFullScreen);
}

AxWidgetThread::~AxWidgetThread()
{
    // A page being destroyed still answers its pending title request; nothing may be reported then.
    ++generation;
    watching = false;
    readingTitle = false;
    delete axWidget;
}

bool AxWidgetThread::titleMatches(const QString &title, const QString &keyword)
{
    return title.contains(keyword, Qt::CaseSensitive);
}

QUrl AxWidgetThread::toUrl(const QString &text)
{
    if (QDir::isAbsolutePath(text) && !text.contains(QLatin1String("://")))
        return QUrl::fromLocalFile(text);
    return QUrl(text);
}

bool AxWidgetThread::opensExternally(const QUrl &url)
{
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

bool RateLimit::admit(qint64 nowMs)
{
    while (!admitted.empty() && nowMs - admitted.front() >= spanMs)
        admitted.pop_front();
    if (int(admitted.size()) >= count)
        return false;
    admitted.push_back(nowMs);
    return true;
}

void AxWidgetThread::onNewWindowRequested(QWebEngineNewWindowRequest &request)
{
    // Never opened here: the request stays unanswered, so no window appears. A page (or whoever can
    // change it on its way) must not open the browser by itself, nor flood it on a click.
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    const QUrl url = request.requestedUrl();
    if (opensExternally(url) && request.isUserInitiated() && windowLimit.admit(clock.elapsed())) {
        qCInfo(lcHost) << "new window for" << url << "goes to the default browser";
        externalOpener()(url);
        return;
    }
    ++droppedWindows;
    qCDebug(lcHost) << "dropped new window for" << url << "user initiated:" << request.isUserInitiated()
                    << "dropped so far:" << droppedWindows;
}

QWebEngineProfile *AxWidgetThread::profile()
{
    static QPointer<QWebEngineProfile> profile;
    if (!profile) {
        // Owned by the application object, so it outlives every page of the run.
        profile = new QWebEngineProfile(QStringLiteral("client"), QCoreApplication::instance());
        const QString folder = QStringLiteral("/orvane/web");
        profile->setPersistentStoragePath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                                          folder);
        profile->setCachePath(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + folder);
        profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
        // Channel pages start playing by themselves, as a television does.
        profile->settings()->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
        profile->settings()->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
        connect(profile, &QWebEngineProfile::downloadRequested, profile, [](QWebEngineDownloadRequest *download) {
            qCDebug(lcHost) << "refused download of" << download->url();
            download->cancel();
        });
    }
    return profile;
}

std::function<void(const QUrl &)> &AxWidgetThread::externalOpener()
{
    static std::function<void(const QUrl &)> opener = [](const QUrl &url) {
        QDesktopServices::openUrl(url);
    };
    return opener;
}

void AxWidgetThread::beginUrl(QString url)
{
    ++generation;
    watching = true;
    readingTitle = false;
    if (axWidget)
        axWidget->load(toUrl(url));
}

void AxWidgetThread::onLoadFinished(bool ok)
{
    // A navigation that a newer one replaced ends too; only the end of the last one counts.
    if (!watching || !axWidget || axWidget->page()->isLoading())
        return;
    // The engine's own error page: its title may repeat the address, keyword and all.
    if (!ok) {
        finish(false);
        return;
    }
    watching = false;
    readingTitle = true;
    // The document's own title: the view's title() falls back to the address, which may well
    // contain the keyword (an install folder named after the product) without any page at all.
    const quint64 asked = generation;
    axWidget->page()->runJavaScript(QStringLiteral("document.title"), QWebEngineScript::ApplicationWorld,
                                    [this, guard = QPointer<AxWidgetThread>(this), asked](const QVariant &title) {
                                        // No value at all: the page went away before it answered.
                                        if (!guard || asked != generation || !readingTitle || !title.isValid())
                                            return;
                                        finish(titleMatches(title.toString(), titleKeyword));
                                    });
}

void AxWidgetThread::onRenderProcessTerminated(QWebEnginePage::RenderProcessTerminationStatus status, int exitCode)
{
    if (status == QWebEnginePage::NormalTerminationStatus) {
        // No title will ever come from a renderer that is gone.
        if (watching || readingTitle)
            finish(false);
        return;
    }
    qCInfo(lcHost) << "renderer of" << (axWidget ? axWidget->url() : QUrl()) << "ended:" << status << exitCode;
    // The owner decides how the view comes back; a pending title answer no longer counts.
    ++generation;
    watching = false;
    readingTitle = false;
    emit renderProcessEnded();
}

void AxWidgetThread::finish(bool noError)
{
    watching = false;
    readingTitle = false;
    qCDebug(lcHost) << "load of" << (axWidget ? axWidget->url() : QUrl()) << "ended, expected page:" << noError;
    emit loadComplete(noError);
}

bool AxWidgetThread::isFullScreen() const
{
    return axWidget && axWidget->isWindow();
}

void AxWidgetThread::setFullScreen(bool on)
{
    if (!on && axWidget)
        axWidget->page()->triggerAction(QWebEnginePage::ExitFullScreen);
    toggleFullScreen(on);
}

void AxWidgetThread::toggleFullScreen(bool on)
{
    if (!axWidget)
        return;
    if (on) {
        if (axWidget->isWindow())
            return;
        normalParent = axWidget->parentWidget();
        auto *layout = normalParent ? qobject_cast<QBoxLayout *>(normalParent->layout()) : nullptr;
        normalIndex = layout ? layout->indexOf(axWidget) : -1;
        QScreen *screen = axWidget->screen();
        axWidget->setParent(nullptr);
        // Without a window manager the full-screen state alone would not resize the window.
        if (screen)
            axWidget->setGeometry(screen->geometry());
        axWidget->showFullScreen();
        leaveFullScreen->setEnabled(true);
        return;
    }
    if (!axWidget->isWindow() || !normalParent)
        return;
    leaveFullScreen->setEnabled(false);
    axWidget->setWindowState(Qt::WindowNoState);
    axWidget->setParent(normalParent);
    if (auto *layout = qobject_cast<QBoxLayout *>(normalParent->layout()); layout && normalIndex >= 0)
        layout->insertWidget(normalIndex, axWidget);
    axWidget->show();
    axWidget->setFocus(Qt::OtherFocusReason);
    // The full-screen window had the keyboard. When it goes, the window system gives the keyboard
    // back to the page's own window, but Qt Widgets, which dropped its active window with the
    // full-screen one, may not hear of it (its focus window never changed), and then every key is
    // lost until a click. Tell it, once the window system has had its say.
    QTimer::singleShot(0, axWidget, [view = QPointer<QWebEngineView>(axWidget)] {
        if (!view || view->isWindow())
            return;
        QWidget *window = view->window();
        if (QGuiApplication::focusWindow() == window->windowHandle() && QApplication::activeWindow() != window)
            QApplication::setActiveWindow(window);
        view->setFocus(Qt::OtherFocusReason);
    });
}
