#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>

// The demo's update server folder as demo/service serves it: the demo package and its configuration,
// signed with the demo key by the release tool. False, with the tool's output in `log`, on failure.
inline bool makeDemoUpdate(const QString &root, QString *log)
{
    const QString soft = root + QStringLiteral("/soft");
    const QString package = QStringLiteral(DEMO_DIR "/update/soft/orvane-update-demo.sh");
    if (!QDir().mkpath(soft) || !QFile::copy(package, soft + QStringLiteral("/orvane-update-demo.sh")))
        return false;
    QProcess tool;
    tool.start(QStringLiteral(RELEASE_TOOL_PATH),
               {QStringLiteral("sign"), QStringLiteral("--key"), QStringLiteral(DEMO_DIR "/keys/demo-release.key"),
                QStringLiteral("--version"), QStringLiteral("1.2.0.21131"), QStringLiteral("--package"), package,
                QStringLiteral("--url"), QStringLiteral("/soft/orvane-update-demo.sh"), QStringLiteral("--notes"),
                QStringLiteral(DEMO_DIR "/update-notes.html")});
    const bool ran = tool.waitForFinished(30000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    *log = QString::fromUtf8(tool.readAllStandardError());
    QFile config(soft + QStringLiteral("/config.ini"));
    return ran && config.open(QIODevice::WriteOnly) && config.write(tool.readAllStandardOutput()) > 0;
}
