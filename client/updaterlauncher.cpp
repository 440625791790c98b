#include "updaterlauncher.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QInputEvent>
#include <QLoggingCategory>
#include <QProcess>
#include <QUrl>

Q_LOGGING_CATEGORY(lcLauncher, "orvane.launcher", QtWarningMsg)

namespace UpdaterLauncher {

namespace {
std::function<bool()> &testStarter()
{
    static std::function<bool()> starter;
    return starter;
}

// Input events carry the window system's time: on X11 the server time that startup ids speak of.
class UserTime final : public QObject
{
public:
    using QObject::QObject;
    quint32 latest = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            latest = quint32(static_cast<QInputEvent *>(event)->timestamp());
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
};

UserTime *userTime = nullptr;

// The startup notification id handed to the updater in DESKTOP_STARTUP_ID: unique to this start, and
// ending in "_TIME<user time>", which window managers read to tell a start the user asked for from
// one that would steal the focus.
QString startupId(qint64 pid, int serial, quint32 time)
{
    return QStringLiteral("ORVN-%1-%2_TIME%3").arg(pid).arg(serial).arg(time);
}
} // namespace

void followUserTime()
{
    if (userTime || !QCoreApplication::instance())
        return;
    userTime = new UserTime(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(userTime);
}

bool start()
{
    if (testStarter())
        return testStarter()();
#ifdef Q_OS_WIN
    return QDesktopServices::openUrl(QUrl(QStringLiteral("Renovo.exe")));
#else
    // The desktop's open operation does not run programs here, so start it directly.
    QProcess process;
    process.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/Renovo"));
    process.setWorkingDirectory(QCoreApplication::applicationDirPath());
    // On X11 the window manager brings the updater's window to the front only when it can tell that
    // the user asked for it; on Wayland the compositor decides by itself.
    if (QGuiApplication::platformName() == QLatin1String("xcb") && userTime && userTime->latest) {
        static int serial = 0;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DESKTOP_STARTUP_ID"),
                   startupId(QCoreApplication::applicationPid(), ++serial, userTime->latest));
        process.setProcessEnvironment(env);
    }
    const bool started = process.startDetached();
    if (!started)
        qCWarning(lcLauncher) << "cannot start" << process.program();
    return started;
#endif
}

void setStarterForTest(std::function<bool()> starter)
{
    testStarter() = std::move(starter);
}

} // namespace UpdaterLauncher
