#pragma once

#include <QByteArray>
#include <QString>

#include <QtGlobal>

// Each program keeps a log of its own work in the user's state folder, beside what it prints on
// stderr: our categories ("orvane.*") from info up, every other category's warnings and errors.
// What stderr shows does not change. QT_LOGGING_RULES (e.g. "orvane.*.debug=true") adds more to both.
namespace LogFile {

// A log that reaches this size is moved to "<name>.1" (replacing an older one) and started afresh.
constexpr qint64 MaxSize = 1024 * 1024;

// "<state home>/orvane", where the state home is `stateHome` when it is an absolute path and
// "<home>/.local/state" otherwise (the base-directory rules ignore relative paths).
QString folderFor(const QString &stateHome, const QString &home);
// The same for this process's environment.
QString folder();

// Whether a message of `type` in `category` belongs in the log.
bool wanted(QtMsgType type, const char *category);

// Appends `line` to the file at `path`, first rotating a file of `maxSize` or more. False when nothing
// could be written.
bool append(const QString &path, const QByteArray &line, qint64 maxSize = MaxSize);

// Starts logging into folder() + "/" + `fileName`. Call before the application object; later calls
// change the file only.
void install(const QString &fileName);

} // namespace LogFile
