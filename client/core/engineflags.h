#pragma once

#include <QByteArray>

// The client's choices on the web engine's command line.
namespace EngineFlags {

// `flags` with views of one site sharing one renderer process, unless they already choose a process
// model. A renderer never serves two profiles, so the banner and the pop-up (the advertisements'
// profile) share one renderer and the channel pages another: an advertisement that crashes or hangs
// never takes the channel page with it, and the client still runs one renderer fewer than a
// renderer per view (bench/view-memory).
QByteArray withSharedRenderers(const QByteArray &flags);

// `flags` with the script engine's gc() made available, unless they already pass flags of their own to
// it. This engine's renderers leave a page's garbage uncollected for as long as the page lives: a
// banner with one CSS animation grew its renderer by 1.2 MiB a minute. The views collect it now and
// then (AxWidgetThread).
QByteArray withCollectableGarbage(const QByteArray &flags);

// Applies the above to QTWEBENGINE_CHROMIUM_FLAGS; must run before the web engine starts.
void apply();

} // namespace EngineFlags
