#include "logfile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>
#include <QRecursiveMutex>

namespace LogFile {

namespace {

bool isOwn(const char *category)
{
    return category && qstrncmp(category, "orvane.", 7) == 0;
}

struct State
{
    QRecursiveMutex mutex;
    QString path;
    QtMessageHandler previousHandler = nullptr;
    QLoggingCategory::CategoryFilter previousFilter = nullptr;
    // Our categories whose info messages the logging rules let through to stderr; the log takes them
    // whatever the rules say.
    QHash<QByteArray, bool> infoOnStderr;
};

State &state()
{
    static State s;
    return s;
}

const char *typeName(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return "debug";
    case QtInfoMsg:
        return "info";
    case QtWarningMsg:
        return "warning";
    case QtCriticalMsg:
        return "critical";
    case QtFatalMsg:
        return "fatal";
    }
    return "?";
}

void filter(QLoggingCategory *category)
{
    State &s = state();
    s.previousFilter(category);
    if (!isOwn(category->categoryName()))
        return;
    {
        QMutexLocker lock(&s.mutex);
        s.infoOnStderr.insert(category->categoryName(), category->isInfoEnabled());
    }
    category->setEnabled(QtInfoMsg, true);
}

void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    State &s = state();
    bool toStderr = true;
    QString path;
    QtMessageHandler previous;
    {
        QMutexLocker lock(&s.mutex);
        previous = s.previousHandler;
        path = s.path;
        if (type == QtInfoMsg && isOwn(context.category))
            toStderr = s.infoOnStderr.value(context.category, false);
    }
    if (!path.isEmpty() && wanted(type, context.category)) {
        const QByteArray line = QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8() + " [" +
                                QByteArray::number(QCoreApplication::applicationPid()) + "] " + typeName(type) + ' ' +
                                (context.category ? context.category : "default") + ": " + message.toUtf8() + '\n';
        QMutexLocker lock(&s.mutex);
        append(path, line);
    }
    if (toStderr && previous)
        previous(type, context, message);
}

} // namespace

QString folderFor(const QString &stateHome, const QString &home)
{
    const QString base = QDir::isAbsolutePath(stateHome) ? stateHome : home + QStringLiteral("/.local/state");
    return QDir::cleanPath(base + QStringLiteral("/orvane"));
}

QString folder()
{
    return folderFor(qEnvironmentVariable("XDG_STATE_HOME"), QDir::homePath());
}

bool wanted(QtMsgType type, const char *category)
{
    if (type == QtDebugMsg)
        return isOwn(category); // only there when the rules ask for it
    return type != QtInfoMsg || isOwn(category);
}

bool append(const QString &path, const QByteArray &line, qint64 maxSize)
{
    if (QFileInfo(path).size() >= maxSize) {
        const QString older = path + QStringLiteral(".1");
        QFile::remove(older);
        QFile::rename(path, older);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    return file.write(line) == line.size();
}

void install(const QString &fileName)
{
    State &s = state();
    const QString dir = folder();
    const bool ready = QDir().mkpath(dir);
    bool first = false;
    {
        QMutexLocker lock(&s.mutex);
        s.path = ready ? dir + QLatin1Char('/') + fileName : QString();
        first = !s.previousHandler;
    }
    if (!first)
        return;
    // Our filter runs at once for every category, so the one it defers to must be known first.
    s.previousFilter = QLoggingCategory::installFilter(nullptr);
    QLoggingCategory::installFilter(filter);
    QMutexLocker lock(&s.mutex);
    s.previousHandler = qInstallMessageHandler(handler);
}

} // namespace LogFile
