#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <vector>

// Runs test programs as real processes, each test under a private runtime folder so that its
// single-instance names never meet those of a client the developer is running.
class ProcessTest
{
public:
    ProcessTest();
    ~ProcessTest();

    QProcessEnvironment environment() const;
    QString runtimeDir() const
    {
        return dir.path();
    }

    // Starts `program`; the process is killed when this object goes away.
    QProcess *start(const QString &program, const QStringList &arguments,
                    const QProcessEnvironment &env = QProcessEnvironment());
    // Waits until `process` has printed a line containing `text` on stdout or stderr.
    static bool waitForOutput(QProcess *process, const QString &text, int timeoutMs = 10000);
    static QString output(QProcess *process);

private:
    QTemporaryDir dir;
    std::vector<std::unique_ptr<QProcess>> processes;
};
