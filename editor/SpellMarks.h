#pragma once
// Continuous spell checking in the editor. The misspelled words of the lines shown are found a
// moment after typing pauses or the view scrolls, never while a key is handled, and are drawn
// as red wavy underlines over the text: nothing is set on the document, so the marks never
// enter the undo history, mark the text modified or disturb the styling. Each line keeps its
// words with its revision; a line is read again only when its text, its styling or the
// dictionary changed. Only prose is read (engine/SpellingWords.h).

#include "engine/Range.h"
#include "platform/DelayedCall.h"

#include <QObject>
#include <QString>
#include <vector>

class QMenu;
class QPainter;
class QRect;
class QTextBlock;

namespace quillet {

namespace platform {
class SpellChecker;
}

class MarkdownTextView;
class StyledTextDocument;

class SpellMarks final : public QObject {
    Q_OBJECT

public:
    SpellMarks(MarkdownTextView& view, StyledTextDocument& styled, platform::SpellChecker& checker,
               platform::Dispatcher& dispatcher);
    ~SpellMarks() override;

    // On: the shown lines are checked (a moment later) and their marks drawn. Off: no marks.
    void setEnabled(bool on);
    bool isEnabled() const { return enabled_; }
    // Style sheets and scripts are not prose: a text that is not read shows no marks.
    void setReadsText(bool reads);

    // Checks the lines shown now that are not checked yet (normally run after a pause).
    void checkShownLines();
    // The misspelled words of the shown lines as last checked, in document positions.
    std::vector<Range> marks() const;
    // The misspelled word at a document position, as last checked (empty when none).
    Range misspelledWordAt(int position) const;
    // Puts the suggestions for the misspelled word at `position`, "Add to Dictionary" and
    // "Ignore" at the top of `menu`; nothing when the word there is not marked.
    void addSpellingItems(QMenu& menu, int position);

    // The whole text was styled again: every line is read again.
    void stylingChanged();

private:
    bool active() const { return enabled_ && readsText_; }
    void scheduleCheck();
    void invalidateAll();
    void contentsChanged(int from, int removed, int added);
    void textEdited(Range restyledBeyond);
    void paint(QPainter& painter, const QRect& exposed) const;
    bool checkBlock(const QTextBlock& block);
    void replaceWord(Range word, const QString& replacement);

    MarkdownTextView& view_;
    StyledTextDocument& styled_;
    platform::SpellChecker& checker_;
    platform::DelayedCall checkCall_;
    bool enabled_ = true;
    bool readsText_ = true;
    unsigned epoch_ = 1; // bumped when every line must be read again
};

} // namespace quillet
