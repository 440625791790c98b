#pragma once

#include <QString>
#include <QUrl>

// The new version's notes come from a server: they are reduced to a small, safe piece of rich text
// whose layout cost stays proportional to its length, whatever the server sends.
namespace ReleaseNotes {

// Lists deeper than this are flattened into their parent.
inline constexpr int MaxDepth = 8;

// Paragraphs, line breaks, headings, bold and italic text, lists and http(s) links survive; every
// other tag is dropped with its text kept, scripts and styles with their text. Text that does not
// look like markup is shown as plain text with its line breaks.
QString toSafeHtml(const QString &notes);

// Only web addresses leave the window, and only for the default browser.
bool opensInBrowser(const QUrl &link);

} // namespace ReleaseNotes
