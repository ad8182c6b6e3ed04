#pragma once
// Keeps the editor's text styled while it changes. Each change of the text view's document is
// replayed on the styling's text store; for a Markdown text the engine withdraws the link
// definitions of the old lines before the change is replayed, then restyles the edited lines
// and the lines below while their block state changes. The restyled lines get their formats in
// their block layouts (every block's layout always holds its current formats) and are laid out
// again. Nothing touches the document's formats, so the undo history holds the user's typing
// only and styling never marks the document modified.

#include "editor/EditorTextStore.h"
#include "editor/IndentingDocumentLayout.h"
#include "editor/SearchMarks.h"
#include "editor/StyleRenderer.h"
#include "engine/CodeHighlighter.h"

#include <QObject>
#include <QString>

class QPlainTextEdit;
class QTextDocument;

namespace quillet {

class MarkdownString;
class QtFontProvider;

class StyledTextDocument final : public QObject, public BlockStyleSource {
    Q_OBJECT

public:
    // `view`'s document must use an IndentingDocumentLayout.
    StyledTextDocument(QPlainTextEdit& view, MarkdownString& engine, QtFontProvider& fonts);
    ~StyledTextDocument() override;

    // Whether edits are restyled by the engine (a Markdown text) or left unstyled.
    // Turning it off drops the styling at once; turning it on styles at the next restyleAll().
    void setMarkdownStyling(bool on);
    bool markdownStyling() const { return markdown_; }
    // A style sheet or script is coloured by the code highlighter (with Markdown styling off);
    // a new language takes effect at the next setText() or restyleAll().
    void setCodeLanguage(CodeLanguage language);
    CodeLanguage codeLanguage() const { return code_.language(); }
    // While detached, changes are followed but not styled or reported.
    void setAttached(bool attached) { attached_ = attached; }
    bool attached() const { return attached_; }

    // Replaces the whole text (the view's undo history is cleared) and styles it.
    void setText(const QString& text);
    QString text() const { return store_.string(); }
    std::size_t length() const { return store_.length(); }
    EditorTextStore& store() { return store_; }
    const SearchMarks& searchMarks() const { return marks_; }

    // Styles the whole text again (a new font or new options).
    void restyleAll();
    // Marks every occurrence of `target`; an empty target clears the marks. Never restyles.
    void markSearchTarget(const QString& target);
    // The colours come from the view's palette: call after it changed.
    void paletteChanged();

    // How many times the engine restyled (the whole text or after an edit).
    std::uint64_t restyleCount() const { return restyleCount_; }

    // ---- BlockStyleSource ----
    ParagraphGeometry blockGeometry(const QTextBlock& block) override;
    double wrapWidth() const override;

signals:
    // After an edit (while attached): the edited characters in the new text, and the characters
    // restyled when the restyling reached lines beyond the edited ones (else empty).
    void textEdited(std::size_t location, std::size_t length, quillet::Range restyledBeyond);

private:
    void contentsChanged(int from, int removed, int added);
    QString documentText(std::size_t from, std::size_t length) const;
    void resynchronise();
    void renderBlocks(Range range);
    void renderAllBlocks();
    void renderBlocksWithMarks(const std::vector<Range>& marks);
    void markDirty(std::size_t from, std::size_t length);
    void renderBlock(const QTextBlock& block);

    QPlainTextEdit& view_;
    QTextDocument& document_;
    MarkdownString& engine_;
    QtFontProvider& fonts_;
    CodeHighlighter code_;
    EditorTextStore store_;
    StyleRenderer renderer_;
    SearchMarks marks_;
    bool markdown_ = true;
    bool attached_ = true;
    bool ignoringChanges_ = false;
    std::uint64_t restyleCount_ = 0;
};

} // namespace quillet
