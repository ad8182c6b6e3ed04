#include "editor/StyledTextDocument.h"

#include "editor/QtFontProvider.h"
#include "engine/MarkdownString.h"

#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

namespace quillet {

namespace {

Range unionOf(Range a, Range b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return Range::fromBounds(std::min(a.location, b.location), std::max(a.end(), b.end()));
}

std::size_t documentLength(const QTextDocument& document) {
    return static_cast<std::size_t>(std::max(0, document.characterCount() - 1));
}

} // namespace

StyledTextDocument::StyledTextDocument(QPlainTextEdit& view, MarkdownString& engine, QtFontProvider& fonts)
    : view_(view), document_(*view.document()), engine_(engine), fonts_(fonts), renderer_(fonts) {
    renderer_.setPalette(view.palette());
    renderer_.setPixelsPerPoint(view.logicalDpiY() / 72.0);
    if (auto* layout = qobject_cast<IndentingDocumentLayout*>(document_.documentLayout()))
        layout->setStyleSource(this);
    connect(&document_, &QTextDocument::contentsChange, this, &StyledTextDocument::contentsChanged);
    store_.reset(documentText(0, documentLength(document_)));
}

StyledTextDocument::~StyledTextDocument() {
    disconnect(&document_, nullptr, this, nullptr);
    if (auto* layout = qobject_cast<IndentingDocumentLayout*>(document_.documentLayout()))
        layout->setStyleSource(nullptr);
}

void StyledTextDocument::setMarkdownStyling(bool on) {
    if (on == markdown_) return;
    markdown_ = on;
    if (!on) {
        store_.reset(store_.string());
        renderAllBlocks();
    }
}

void StyledTextDocument::setCodeLanguage(CodeLanguage language) {
    if (language == code_.language()) return;
    const bool wasColoured = code_.language() != CodeLanguage::none;
    code_.setLanguage(language);
    if (wasColoured) {
        store_.reset(store_.string());
        renderAllBlocks();
    }
}

void StyledTextDocument::setText(const QString& text) {
    if (attached_ && markdown_) engine_.preprocessMarkdown(store_, {0, store_.length()});
    ignoringChanges_ = true;
    view_.setPlainText(text);
    ignoringChanges_ = false;
    store_.reset(documentText(0, documentLength(document_)));
    marks_.clear();
    if (attached_ && markdown_) {
        engine_.processMarkdown(store_, {0, store_.length()});
        ++restyleCount_;
    } else if (attached_) {
        code_.highlightAll(store_);
    }
    store_.takeTouchedRange();
    renderAllBlocks();
    if (attached_) emit textEdited(0, store_.length(), Range{});
}

void StyledTextDocument::restyleAll() {
    if (markdown_) {
        engine_.processMarkdown(store_, {0, store_.length()});
        ++restyleCount_;
    } else {
        code_.highlightAll(store_);
    }
    store_.takeTouchedRange();
    renderAllBlocks();
}

void StyledTextDocument::markSearchTarget(const QString& target) {
    const std::vector<Range> previous = marks_.ranges();
    if (previous.empty() && target.isEmpty()) return;
    marks_.mark(store_.string(), target);
    renderBlocksWithMarks(previous);
    renderBlocksWithMarks(marks_.ranges());
}

void StyledTextDocument::paletteChanged() {
    renderer_.setPalette(view_.palette());
    renderAllBlocks();
}

// The document reports the characters it replaced, sometimes with unchanged characters at
// either end (a paragraph separator is counted as removed and added again); the store is
// brought along with exactly the characters that changed.
void StyledTextDocument::contentsChanged(int from, int removed, int added) {
    if (ignoringChanges_) return;
    const std::size_t oldLength = store_.length();
    const std::size_t newLength = documentLength(document_);
    std::size_t start = std::min(static_cast<std::size_t>(std::max(from, 0)), oldLength);
    std::size_t oldCount = std::min(static_cast<std::size_t>(std::max(removed, 0)), oldLength - start);
    const long long newCountSigned = static_cast<long long>(oldCount) + static_cast<long long>(newLength) -
                                     static_cast<long long>(oldLength);
    if (newCountSigned < 0 || start + static_cast<std::size_t>(newCountSigned) > newLength) {
        resynchronise();
        return;
    }
    std::size_t newCount = static_cast<std::size_t>(newCountSigned);
    const QString replacement = documentText(start, newCount);
    std::u16string scratch;
    const std::u16string_view old = store_.characters({start, oldCount}, scratch);
    std::size_t prefix = 0;
    while (prefix < oldCount && prefix < newCount && old[prefix] == replacement[prefix].unicode())
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < oldCount - prefix && suffix < newCount - prefix &&
           old[oldCount - 1 - suffix] == replacement[static_cast<qsizetype>(newCount - 1 - suffix)].unicode())
        ++suffix;
    if (prefix == oldCount && prefix == newCount) return; // formats only: nothing to restyle
    start += prefix;
    oldCount -= prefix + suffix;
    newCount -= prefix + suffix;

    const bool styling = attached_ && markdown_;
    if (styling) engine_.preprocessMarkdown(store_, {start, oldCount});
    store_.replaceCharacters(
        {start, oldCount},
        QStringView(replacement).mid(static_cast<qsizetype>(prefix), static_cast<qsizetype>(newCount)));
    marks_.textReplaced(start, oldCount, newCount);
    if (store_.length() != newLength) {
        resynchronise();
        return;
    }
    store_.takeTouchedRange();
    Range touched{start, newCount};
    if (styling) {
        engine_.processMarkdown(store_, {start, newCount});
        ++restyleCount_;
        touched = unionOf(touched, store_.takeTouchedRange());
    } else if (attached_) {
        touched = unionOf(touched, code_.textReplaced(store_, start, oldCount, newCount));
        touched = unionOf(touched, store_.takeTouchedRange());
    } else {
        code_.invalidate();
    }
    renderBlocks(touched);

    // The document lays out again the blocks it changed; the restyled lines beyond them too.
    const QTextBlock changedFirst = document_.findBlock(std::max(from, 0));
    const QTextBlock changedLast = document_.findBlock(std::max(from, 0) + std::max(added, 0));
    const std::size_t changedStart = static_cast<std::size_t>(changedFirst.position());
    const std::size_t changedEnd =
        changedLast.isValid() ? static_cast<std::size_t>(changedLast.position() + changedLast.length())
                              : newLength;
    const bool beyond = touched.location < changedStart || touched.end() > changedEnd;
    if (beyond) markDirty(touched.location, touched.length);
    if (attached_) emit textEdited(start, newCount, beyond ? touched : Range{});
}

QString StyledTextDocument::documentText(std::size_t from, std::size_t length) const {
    QString text;
    text.reserve(static_cast<qsizetype>(length));
    for (QTextBlock block = document_.findBlock(static_cast<int>(from));
         block.isValid() && static_cast<std::size_t>(text.size()) < length; block = block.next()) {
        const QString blockText = block.text();
        const std::size_t blockStart = static_cast<std::size_t>(block.position());
        const std::size_t offset = from > blockStart ? from - blockStart : 0;
        const std::size_t wanted = length - static_cast<std::size_t>(text.size());
        if (offset < static_cast<std::size_t>(blockText.size()))
            text.append(
                QStringView(blockText).mid(static_cast<qsizetype>(offset), static_cast<qsizetype>(wanted)));
        if (static_cast<std::size_t>(text.size()) < length && block.next().isValid()) text.append(u'\n');
    }
    return text;
}

// The store lost step with the document (a change reported in a way not foreseen): take the
// whole text again.
void StyledTextDocument::resynchronise() {
    store_.reset(documentText(0, documentLength(document_)));
    marks_.clear();
    restyleAll();
    if (attached_) emit textEdited(0, store_.length(), Range{});
}

void StyledTextDocument::renderBlocks(Range range) {
    const int first = static_cast<int>(range.location);
    const int last = static_cast<int>(range.empty() ? range.location : range.end() - 1);
    const QTextBlock end = document_.findBlock(last).next();
    for (QTextBlock block = document_.findBlock(first); block.isValid() && block != end; block = block.next())
        renderBlock(block);
}

void StyledTextDocument::renderAllBlocks() {
    for (QTextBlock block = document_.begin(); block.isValid(); block = block.next())
        renderBlock(block);
    markDirty(0, documentLength(document_) + 1);
}

void StyledTextDocument::renderBlocksWithMarks(const std::vector<Range>& marks) {
    if (marks.empty()) return;
    int lastRendered = -1;
    for (const Range& mark : marks) {
        const Range inText = Range::fromBounds(mark.location, std::min(mark.end(), store_.length()));
        if (inText.empty()) continue;
        const QTextBlock end = document_.findBlock(static_cast<int>(inText.end() - 1)).next();
        for (QTextBlock block = document_.findBlock(static_cast<int>(inText.location));
             block.isValid() && block != end; block = block.next()) {
            if (block.blockNumber() <= lastRendered) continue;
            renderBlock(block);
            lastRendered = block.blockNumber();
        }
    }
    const std::size_t from = marks.front().location;
    markDirty(from, std::min(marks.back().end(), store_.length() + 1) - std::min(from, store_.length()));
}

void StyledTextDocument::renderBlock(const QTextBlock& block) {
    const std::size_t start = static_cast<std::size_t>(block.position());
    const std::size_t textLength = static_cast<std::size_t>(std::max(0, block.length() - 1));
    const std::size_t end = std::min(start + textLength, store_.length());
    QList<QTextLayout::FormatRange> formats;
    if (end > start)
        formats = renderer_.formats(store_.attributeRuns(Range::fromBounds(start, end)),
                                    marks_.within(start, end), start);
    ignoringChanges_ = true;
    block.layout()->setFormats(formats);
    ignoringChanges_ = false;
}

void StyledTextDocument::markDirty(std::size_t from, std::size_t length) {
    ignoringChanges_ = true;
    document_.markContentsDirty(static_cast<int>(from), static_cast<int>(length));
    ignoringChanges_ = false;
}

ParagraphGeometry StyledTextDocument::blockGeometry(const QTextBlock& block) {
    const double tabInterval = 4 * QFontMetricsF(document_.defaultFont()).horizontalAdvance(QLatin1Char(' '));
    if (!markdown_) {
        // Unstyled text keeps the view's line heights, with tab stops every four characters.
        ParagraphGeometry geometry =
            renderer_.geometry(engine_.defaultAttributes().paragraphStyle.get(), tabInterval);
        geometry.tabStops = renderer_.geometry(nullptr, tabInterval).tabStops;
        return geometry;
    }
    const std::size_t start = static_cast<std::size_t>(block.position());
    if (start < store_.length()) {
        const TextAttributes attributes = store_.attributesAt(start);
        if (attributes.paragraphStyle)
            return renderer_.geometry(attributes.paragraphStyle.get(), tabInterval);
    }
    return renderer_.geometry(engine_.defaultAttributes().paragraphStyle.get(), tabInterval);
}

double StyledTextDocument::wrapWidth() const {
    if (view_.lineWrapMode() == QPlainTextEdit::NoWrap) return 0;
    return view_.viewport()->width();
}

} // namespace quillet
