#include "startupfailure.h"

#include <QList>
#include <QMessageLogContext>

#include <cstdio>
#include <cstdlib>

namespace StartupFailure {

namespace {

struct Held
{
    QtMsgType type;
    QByteArray category;
    QString message;
};

struct Guard
{
    const char *program = nullptr;
    QtMessageHandler previous = nullptr;
    QList<Held> held;
};

Guard &guard()
{
    static Guard g;
    return g;
}

// Platform names of plugins that need no window system.
bool needsWindowSystem(const QString &platform)
{
    static const QStringList windowless{QStringLiteral("offscreen"), QStringLiteral("minimal"),
                                        QStringLiteral("vnc"),       QStringLiteral("eglfs"),
                                        QStringLiteral("linuxfb"),   QStringLiteral("vkkhrdisplay")};
    for (const QString &candidate : platform.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (windowless.contains(candidate.section(QLatin1Char(':'), 0, 0).trimmed()))
            return false;
    }
    return true;
}

void holdingHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    Guard &g = guard();
    if (type != QtFatalMsg) {
        g.held.append({type, context.category, message});
        return;
    }
    // The plugin's own warning says what went wrong ("could not connect to display :5"); the fatal
    // message after it only lists plugins.
    QString reason;
    for (const Held &held : std::as_const(g.held)) {
        if (held.category.startsWith("qt.qpa") && held.type >= QtWarningMsg) {
            reason = held.message;
            break;
        }
    }
    if (reason.isEmpty())
        reason = message.section(QLatin1Char('\n'), 0, 0);
    std::fprintf(stderr, "%s: no display: %s\n", g.program, qPrintable(reason.simplified()));
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

QString missingDisplay(const QProcessEnvironment &env)
{
    if (!needsWindowSystem(env.value(QStringLiteral("QT_QPA_PLATFORM"))))
        return QString();
    if (!env.value(QStringLiteral("DISPLAY")).isEmpty() || !env.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty())
        return QString();
    return QStringLiteral("no display: neither DISPLAY nor WAYLAND_DISPLAY is set; start it in a desktop session");
}

bool checkDisplay(const char *program)
{
    const QString missing = missingDisplay(QProcessEnvironment::systemEnvironment());
    if (missing.isEmpty())
        return true;
    std::fprintf(stderr, "%s: %s\n", program, qPrintable(missing));
    return false;
}

bool engineRefusesUser(uint uid, const QProcessEnvironment &env)
{
    if (uid != 0)
        return false;
    // The engine only asks whether the variable is there, whatever its value.
    if (env.contains(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX")))
        return false;
    return !env.value(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"))
                .split(QLatin1Char(' '), Qt::SkipEmptyParts)
                .contains(QStringLiteral("--no-sandbox"));
}

void guardPlatform(const char *program)
{
    Guard &g = guard();
    g.program = program;
    g.held.clear();
    g.previous = qInstallMessageHandler(holdingHandler);
}

void platformReady()
{
    Guard &g = guard();
    qInstallMessageHandler(g.previous);
    const QList<Held> held = std::exchange(g.held, {});
    for (const Held &message : held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        g.previous(message.type, context, message.message);
    }
}

} // namespace StartupFailure
