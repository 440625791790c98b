#pragma once

#include <QString>

#include <memory>

class QProcess;

// What every server program a test runs on a loopback port shares: a free port, an end together with
// the test (even when the test crashes), a wait until it listens, and a stop.
namespace ServerProcess {

quint16 freePort();
// A process that ends when the test's process does.
std::unique_ptr<QProcess> make();
// Until 127.0.0.1:`port` accepts a connection: false when `process` ends first or time runs out.
bool waitUntilListening(QProcess &process, quint16 port, int timeoutMs);
void stop(std::unique_ptr<QProcess> &process);
// "http://127.0.0.1:<port>" followed by `path`.
QString url(quint16 port, const QString &path);

} // namespace ServerProcess
