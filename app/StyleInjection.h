#pragma once
// How the preview applies a style sheet: the sheet's text, read as UTF-8, is added to the loaded
// page as a style element by a script run in the application's own script world.

#include <QString>
#include <QUrl>
#include <optional>

namespace quillet {

// The text of the style sheet at a file: or qrc: URL; none when it cannot be read or is not
// valid UTF-8.
std::optional<QString> readStyleSheet(const QUrl& url);

// `text` as the body of a single-quoted JavaScript string literal: backslashes and quotes are
// escaped, and line breaks (which end a literal) become spaces, which CSS reads the same way.
QString javaScriptStringBody(const QString& text);

// The script that appends a style element holding `cssText` to the page's head.
QString styleInjectionScript(const QString& cssText);

} // namespace quillet
