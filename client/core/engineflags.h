#pragma once

#include <QByteArray>

// The client's choices on the web engine's command line.
namespace EngineFlags {

// `flags` with views of one site sharing one renderer process, unless they already choose a process
// model. The channel page, the banner and the pop-up all come from the product's server, so this
// saves the client two renderers: scripts/measure-pages measured 45-95 MiB less PSS with all three
// views shown, and no later first page.
QByteArray withSharedRenderers(const QByteArray &flags);

// `flags` with the script engine's gc() made available, unless they already pass flags of their own to
// it. This engine's renderers leave a page's garbage uncollected for as long as the page lives: a
// banner with one CSS animation grew its renderer by 1.2 MiB a minute. The views collect it now and
// then (AxWidgetThread).
QByteArray withCollectableGarbage(const QByteArray &flags);

// Applies the above to QTWEBENGINE_CHROMIUM_FLAGS; must run before the web engine starts.
void apply();

} // namespace EngineFlags
