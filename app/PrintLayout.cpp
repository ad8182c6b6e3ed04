#include "app/PrintLayout.h"

#include "editor/MarkdownViewController.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <memory>

namespace quillet {

namespace {

constexpr double kSideInset = 50.0;
constexpr double kTopAndBottom = 36.0;
constexpr double kPrintPointSize = 10.0;

// The editor keeps its styling in the blocks' layouts, which a copy of the document loses: the
// copy gets it as character formats.
void copyStyling(const QTextDocument& styled, QTextDocument& copy) {
    QTextCursor cursor(&copy);
    for (QTextBlock block = styled.begin(); block.isValid(); block = block.next()) {
        const QTextLayout* layout = block.layout();
        if (!layout) continue;
        for (const QTextLayout::FormatRange& range : layout->formats()) {
            cursor.setPosition(block.position() + range.start);
            cursor.setPosition(block.position() + range.start + range.length, QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(range.format);
        }
    }
}

} // namespace

QPageLayout notePageLayout() {
    const QPageSize paper = QPrinter().pageLayout().pageSize();
    return QPageLayout(paper, QPageLayout::Portrait, QMarginsF(kSideInset, kTopAndBottom, kSideInset, kTopAndBottom),
                       QPageLayout::Point);
}

bool printTextLayout(QPrinter& printer, const QString& text, const QFont& editorFont, const MarkdownOptions& options,
                     int* pages) {
    QFont font(editorFont.family());
    font.setPointSizeF(kPrintPointSize);
    MarkdownViewController editor;
    editor.setSelectedFont(font);
    editor.setMarkdownOptions(options);
    editor.setString(text);

    QTextDocument document;
    document.documentLayout()->setPaintDevice(&printer);
    document.setDefaultFont(font);
    document.setPlainText(editor.string());
    copyStyling(*editor.textView()->document(), document);

    // The insets are the page's frame; the printer itself keeps no margins.
    printer.setFullPage(true);
    // The layout takes frame lengths at 96 dots per inch and scales them to the device itself.
    constexpr double perPoint = 96.0 / 72.0;
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    QTextFrameFormat frame = document.rootFrame()->frameFormat();
    frame.setLeftMargin(kSideInset * perPoint);
    frame.setRightMargin(kSideInset * perPoint);
    frame.setTopMargin(kTopAndBottom * perPoint);
    frame.setBottomMargin(kTopAndBottom * perPoint);
    document.rootFrame()->setFrameFormat(frame);
    document.setPageSize(paper.size());

    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const int count = document.pageCount();
    for (int page = 0; page < count; ++page) {
        if (page > 0) printer.newPage();
        const QRectF area(0, page * paper.height(), paper.width(), paper.height());
        painter.save();
        painter.translate(0, -area.top());
        document.drawContents(&painter, area);
        painter.restore();
    }
    if (pages) *pages = count;
    return painter.end();
}

} // namespace quillet
