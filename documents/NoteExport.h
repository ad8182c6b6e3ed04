#pragma once
// What a note becomes when it leaves Quillet, and what a text file becomes when it comes in:
// the exported plain text, Markdown and HTML documents, the HTML of a few lines for the
// clipboard, an imported note's text, and the atomic write of an export. Any thread.

#include "engine/MarkdownOptions.h"
#include "engine/Range.h"
#include "platform/Status.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

namespace quillet {

enum class ExportFormat { plainText, markdown, html };

// The format a File > Export item names: "Plain Text", "Markdown", anything else HTML.
ExportFormat exportFormatForTitle(const QString& title);
// The save dialog's name filters for the format.
QStringList exportNameFilters(ExportFormat format);

struct HtmlExportRequest {
    QString text;
    QString title;
    QString language;
    MarkdownOptions options;
    // The style sheet's text, embedded in the head; empty: none.
    QString styleSheetText;
    // The folder the document is written to: the note's local images are copied there.
    std::optional<QString> imageFolder;
};

// The whole HTML document: the engine's document with the style sheet in a style element of its
// head, so that it looks like the preview wherever it is opened.
QString exportedHtmlDocument(const HtmlExportRequest& request);
// The same document cut, between top-level elements, into documents whose bodies hold about
// `partLength` characters each (at least one element each): a web engine lays out and prints a
// note of hundreds of pages only in such parts. A short note gives one part.
QStringList exportedHtmlParts(const HtmlExportRequest& request, qsizetype partLength);
// Adds a style element holding `cssText` at the end of the document's head.
QString embedStyleSheet(const QString& document, const QString& cssText);
// The text of the style sheet at a file: or qrc: URL; empty when it cannot be read.
QString readStyleSheetText(const QUrl& url);

// The body elements of the lines `selection` touches, one after the other, without a document
// around them; "" for an empty body.
QString htmlOfLines(const QString& text, Range selection, const MarkdownOptions& options);

// An imported file's note: its title line "# NAME #", then its text with LF line breaks.
QString importedNoteText(const QString& fileName, const QString& text);

// Writes `bytes` to `path` atomically (a new file renamed over the old one). Refuses a path that
// is the note `notePath` itself: an export never replaces its own note.
platform::Status writeExportFile(const QString& path, const QByteArray& bytes, const QString& notePath);
// Whether the two paths name the same file (through links; a missing file is compared by path).
bool isSameFile(const QString& a, const QString& b);

} // namespace quillet
