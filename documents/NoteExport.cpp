#include "documents/NoteExport.h"

#include "documents/PreviewConversion.h"
#include "editor/LineBreaks.h"
#include "engine/MarkdownString.h"
#include "engine/RQXMLElement.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <filesystem>

namespace quillet {

namespace {

std::u16string_view engineText(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())};
}

// The lines `selection` touches, with the line break that ends the last one.
Range lineRange(const QString& text, Range selection) {
    const qsizetype length = text.size();
    const qsizetype from = std::min<qsizetype>(qsizetype(selection.location), length);
    const qsizetype to = std::min<qsizetype>(from + qsizetype(selection.length), length);
    const qsizetype start = from == 0 ? 0 : text.lastIndexOf(QLatin1Char('\n'), from - 1) + 1;
    // An empty selection at a line's start, or a selection ending after a line break, stays on
    // the line it ends in.
    const qsizetype lastChar = to > from ? to - 1 : to;
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), lastChar);
    const qsizetype end = lineEnd < 0 ? length : lineEnd + 1;
    return Range{std::size_t(start), std::size_t(end - start)};
}

} // namespace

ExportFormat exportFormatForTitle(const QString& title) {
    if (title == QLatin1String("Plain Text")) return ExportFormat::plainText;
    if (title == QLatin1String("Markdown")) return ExportFormat::markdown;
    return ExportFormat::html;
}

QStringList exportNameFilters(ExportFormat format) {
    switch (format) {
    case ExportFormat::plainText:
        return {QStringLiteral("Plain Text (*.txt *.text)"), QStringLiteral("Markdown (*.md *.markdown)")};
    case ExportFormat::markdown:
        return {QStringLiteral("Markdown (*.md *.markdown)")};
    case ExportFormat::html:
        break;
    }
    return {QStringLiteral("HTML (*.html *.htm)"), QStringLiteral("XML (*.xml *.xhtml)")};
}

QString exportedHtmlDocument(const HtmlExportRequest& request) {
    MarkdownString engine;
    engine.setMarkdownOptions(request.options);
    std::optional<std::filesystem::path> imageFolder;
    if (request.imageFolder) imageFolder = std::filesystem::path(request.imageFolder->toStdString());
    const RQXMLElementRef body = engine.bodyElementFromString(engineText(request.text), imageFolder);
    const QString document = QString::fromStdU16String(MarkdownString::htmlStringFromBody(
        body, engineText(request.title), engineText(request.language), std::u16string_view()));
    return embedStyleSheet(document, request.styleSheetText);
}

// Cuts where the raw HTML so far leaves no element open. A run that stays open (an unclosed
// "<div>") is cut all the same once it is twice the part's length: the web engine closes its
// elements at the part's end, a smaller change than a part it cannot print.
QStringList exportedHtmlParts(const HtmlExportRequest& request, qsizetype partLength) {
    std::optional<std::filesystem::path> imageFolder;
    if (request.imageFolder) imageFolder = std::filesystem::path(request.imageFolder->toStdString());
    const QStringList pieces = PreviewConversion::bodyPieces(request.text, request.options, imageFolder,
                                                             PreviewConversion::PieceJoining::asWritten);
    const QString shell = embedStyleSheet(QString::fromStdU16String(MarkdownString::htmlStringFromBody(
                                              nullptr, engineText(request.title), engineText(request.language), {})),
                                          request.styleSheetText);
    const QLatin1String emptyBody("<body/>");
    const qsizetype bodyAt = shell.indexOf(emptyBody);
    QStringList parts;
    QString body;
    HtmlNesting nesting;
    const auto flush = [&] {
        parts.append(shell.left(bodyAt) + QLatin1String("<body>") + body + QLatin1String("</body>") +
                     shell.mid(bodyAt + emptyBody.size()));
        body.clear();
        nesting = HtmlNesting();
    };
    for (const QString& piece : pieces) {
        const bool full = body.size() + piece.size() > partLength;
        if (!body.isEmpty() && full && (nesting.isBalanced() || body.size() > 2 * partLength)) flush();
        nesting.scan(piece);
        body += piece;
    }
    if (!body.isEmpty() || parts.isEmpty()) flush();
    return parts;
}

QString embedStyleSheet(const QString& document, const QString& cssText) {
    if (cssText.isEmpty()) return document;
    const qsizetype headEnd = document.indexOf(QLatin1String("</head>"));
    if (headEnd < 0) return document;
    // Only "</style" can end the element early; CSS reads "<\/" as "</".
    static const QRegularExpression styleEnd(QStringLiteral("</(style)"), QRegularExpression::CaseInsensitiveOption);
    QString css = cssText;
    css.replace(styleEnd, QStringLiteral("<\\/\\1"));
    const QString element = QStringLiteral("<style type=\"text/css\">\n") + css + QStringLiteral("\n</style>");
    return document.left(headEnd) + element + document.mid(headEnd);
}

QString readStyleSheetText(const QUrl& url) {
    const QString path = url.scheme() == QLatin1String("qrc") ? QLatin1Char(':') + url.path() : url.toLocalFile();
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

QString htmlOfLines(const QString& text, Range selection, const MarkdownOptions& options) {
    const Range lines = lineRange(text, selection);
    const QString part = text.mid(qsizetype(lines.location), qsizetype(lines.length));
    MarkdownString engine;
    engine.setMarkdownOptions(options);
    // Link definitions elsewhere in the note still resolve the lines' links.
    engine.registerLinkDefinitions(engineText(text));
    const RQXMLElementRef body = engine.bodyElementFromString(engineText(part), std::nullopt);
    std::u16string html;
    if (body)
        for (const RQXMLChild& child : body->children()) child.appendXMLString(html);
    return QString::fromStdU16String(html);
}

QString importedNoteText(const QString& fileName, const QString& text) {
    return QStringLiteral("# %1 #\n").arg(fileName) + convertLineBreak(text);
}

bool isSameFile(const QString& a, const QString& b) {
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.exists() && second.exists()) return first.canonicalFilePath() == second.canonicalFilePath();
    return first.absoluteFilePath() == second.absoluteFilePath();
}

platform::Status writeExportFile(const QString& path, const QByteArray& bytes, const QString& notePath) {
    if (!notePath.isEmpty() && isSameFile(path, notePath))
        return platform::Status::failure(
            QStringLiteral("“%1” is the note itself; choose another file.").arg(QFileInfo(path).fileName()));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return platform::Status::failure(QStringLiteral("“%1”: %2").arg(QFileInfo(path).fileName(), file.errorString()));
    return platform::Status::success();
}

} // namespace quillet
