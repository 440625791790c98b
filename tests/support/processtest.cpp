#include "processtest.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

ProcessTest::ProcessTest()
{
    // A runtime folder must be private to count as one.
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

ProcessTest::~ProcessTest()
{
    for (auto &process : processes) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
    }
}

QProcessEnvironment ProcessTest::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("orvane.*.info=true"));
    // The programs follow the locale; the tests expect the texts as written, whatever the developer's.
    env.insert(QStringLiteral("LANG"), QStringLiteral("zh_CN.UTF-8"));
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
        env.remove(QLatin1String(variable));
    // The client's web engine refuses to start as root with its sandbox.
    if (::geteuid() == 0)
        env.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    // Nothing in these tests may reach a real server.
    env.insert(QStringLiteral("ORVANE_SERVER_URL"), QStringLiteral("http://127.0.0.1:9"));
    env.insert(QStringLiteral("ORVANE_UPDATE_SERVER_URL"), QStringLiteral("http://127.0.0.1:9"));
    return env;
}

QProcess *ProcessTest::start(const QString &program, const QStringList &arguments, const QProcessEnvironment &env)
{
    processes.push_back(std::make_unique<QProcess>());
    QProcess *process = processes.back().get();
    process->setProcessEnvironment(env.isEmpty() ? environment() : env);
    // A test that crashes must not leave its servers and programs running (and holding its output).
    process->setChildProcessModifier([] {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    });
    process->start(program, arguments);
    return process;
}

bool ProcessTest::waitForOutput(QProcess *process, const QString &text, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!output(process).contains(text)) {
        if (deadline.hasExpired())
            return false;
        if (process->state() == QProcess::NotRunning)
            return output(process).contains(text);
        process->waitForReadyRead(50);
    }
    return true;
}

QString ProcessTest::output(QProcess *process)
{
    // Keep what was read so that later calls still see it.
    QByteArray seen = process->property("seen").toByteArray();
    seen += process->readAllStandardOutput();
    seen += process->readAllStandardError();
    process->setProperty("seen", seen);
    return QString::fromUtf8(seen);
}
