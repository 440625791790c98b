#include "startuplogging.h"

#include <QLoggingCategory>

namespace StartupLogging {

bool verbose()
{
    const QByteArray value = qgetenv("ORVANE_VERBOSE");
    return !value.isEmpty() && value != "0";
}

QByteArray quietEngineFlags(const QByteArray &flags)
{
    if (flags.contains("--log-level") || flags.contains("--enable-logging"))
        return flags;
    // The engine logs D-Bus and GPU set-up failures as errors although it carries on without them.
    return flags.isEmpty() ? QByteArray("--log-level=3") : flags + " --log-level=3";
}

void apply()
{
    if (verbose())
        return;
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", quietEngineFlags(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS")));
    // Our own reports have categories of their own; uncategorised notes come from libraries only.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false\n"
                                                    "qt.webenginecontext.debug=false\n"
                                                    "qt.dbus.*.info=false\n"
                                                    "qt.dbus.*.warning=false\n"
                                                    "default.info=false\n"
                                                    "default.debug=false"));
}

} // namespace StartupLogging
