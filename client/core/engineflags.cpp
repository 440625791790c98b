#include "engineflags.h"

namespace EngineFlags {

QByteArray withSharedRenderers(const QByteArray &flags)
{
    for (const char *model : {"--process-per-site", "--process-per-tab", "--site-per-process", "--single-process"}) {
        if (flags.contains(model))
            return flags;
    }
    return flags.isEmpty() ? QByteArray("--process-per-site") : flags + " --process-per-site";
}

QByteArray withCollectableGarbage(const QByteArray &flags)
{
    if (flags.contains("--js-flags"))
        return flags;
    return flags.isEmpty() ? QByteArray("--js-flags=--expose-gc") : flags + " --js-flags=--expose-gc";
}

void apply()
{
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            withCollectableGarbage(withSharedRenderers(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"))));
}

} // namespace EngineFlags
