#include "editor/SpellMarks.h"

#include "editor/MarkdownTextView.h"
#include "editor/StyledTextDocument.h"
#include "engine/SpellingWords.h"
#include "platform/SpellChecker.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <algorithm>

namespace quillet {

namespace {

// Long enough to fall between keystrokes of steady typing, short enough to feel immediate.
constexpr platform::Duration kCheckDelay = platform::seconds(0.25);
constexpr int kSuggestionCount = 5;
constexpr double kWaveHeight = 1.5;
constexpr double kWaveStep = 2.0;

QColor underlineColor() {
    return QColor(0xE0, 0x1B, 0x24);
}

struct MisspelledWord {
    int start; // in the block
    int length;
    QString text;
    int end() const { return start + length; }
    friend bool operator==(const MisspelledWord&, const MisspelledWord&) = default;
};

// A line's misspelled words, kept with the line (QTextBlock user data follows the line through
// edits above it and goes with it). They stay drawable after an edit of the line (shifted
// past it) until the line is read again.
struct BlockSpelling final : QTextBlockUserData {
    int revision = -1;  // the line's revision when it was read
    int shiftedAt = -1; // the revision the words were last moved for
    unsigned epoch = 0;
    std::vector<MisspelledWord> words;
};

BlockSpelling* spellingOf(const QTextBlock& block) {
    return dynamic_cast<BlockSpelling*>(block.userData());
}

// A word is drawn while the line still has it where it was found.
bool stillThere(const QTextBlock& block, const MisspelledWord& word) {
    return QStringView(block.text()).mid(word.start, word.length) == word.text;
}

void drawWave(QPainter& painter, double from, double to, double y) {
    QPainterPath path;
    path.moveTo(from, y);
    bool up = true;
    for (double x = from + kWaveStep; x < to + kWaveStep; x += kWaveStep, up = !up)
        path.lineTo(std::min(x, to), up ? y - kWaveHeight : y + kWaveHeight);
    painter.drawPath(path);
}

} // namespace

SpellMarks::SpellMarks(MarkdownTextView& view, StyledTextDocument& styled, platform::SpellChecker& checker,
                       platform::Dispatcher& dispatcher)
    : view_(view), styled_(styled), checker_(checker), checkCall_(dispatcher) {
    connect(view_.document(), &QTextDocument::contentsChange, this, &SpellMarks::contentsChanged);
    connect(&styled_, &StyledTextDocument::textEdited, this,
            [this](std::size_t, std::size_t, Range restyledBeyond) { textEdited(restyledBeyond); });
    connect(view_.verticalScrollBar(), &QScrollBar::valueChanged, this, &SpellMarks::scheduleCheck);
    connect(view_.verticalScrollBar(), &QScrollBar::rangeChanged, this, &SpellMarks::scheduleCheck);
    connect(&checker_, &platform::SpellChecker::wordsChanged, this, &SpellMarks::invalidateAll);
    view_.setOverlayPainter([this](QPainter& painter, const QRect& exposed) { paint(painter, exposed); });
    view_.setContextMenuExtender([this](QMenu& menu, const QPoint& at) {
        addSpellingItems(menu, view_.cursorForPosition(at).position());
    });
    scheduleCheck();
}

SpellMarks::~SpellMarks() {
    checkCall_.cancel();
    view_.setOverlayPainter(nullptr);
    view_.setContextMenuExtender(nullptr);
}

void SpellMarks::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    if (active()) scheduleCheck();
    view_.viewport()->update();
}

void SpellMarks::setReadsText(bool reads) {
    if (reads == readsText_) return;
    readsText_ = reads;
    invalidateAll();
}

void SpellMarks::stylingChanged() {
    invalidateAll();
}

void SpellMarks::invalidateAll() {
    ++epoch_;
    scheduleCheck();
    view_.viewport()->update();
}

void SpellMarks::scheduleCheck() {
    if (active()) checkCall_.schedule(kCheckDelay, [this] { checkShownLines(); });
}

void SpellMarks::checkShownLines() {
    checkCall_.cancel();
    if (!active()) return;
    bool changed = false;
    view_.forEachShownBlock([&](const QTextBlock& block, QPointF) {
        changed |= checkBlock(block);
        return true;
    });
    changed |= checkBlock(view_.textCursor().block());
    if (changed) view_.viewport()->update();
}

// Reads the line again unless it is current; true when its marks changed.
bool SpellMarks::checkBlock(const QTextBlock& block) {
    BlockSpelling* known = spellingOf(block);
    if (known && known->revision == block.revision() && known->epoch == epoch_) return false;
    const QString text = block.text();
    const std::size_t start = static_cast<std::size_t>(block.position());
    std::vector<Range> unread;
    const std::size_t stored = styled_.store().length();
    if (styled_.markdownStyling() && start < stored) {
        const Range line{start, std::min(static_cast<std::size_t>(text.size()), stored - start)};
        for (const auto& run : styled_.store().attributeRuns(line))
            if (!isProse(run.attributes)) unread.push_back({run.range.location - start, run.range.length});
    }
    std::vector<MisspelledWord> misspelled;
    for (const Range& word : wordsToCheck(u16view(text), unread)) {
        const QStringView letters =
            QStringView(text).mid(static_cast<qsizetype>(word.location), static_cast<qsizetype>(word.length));
        if (!checker_.isCorrect(letters))
            misspelled.push_back({int(word.location), int(word.length), letters.toString()});
    }
    if (!known) {
        known = new BlockSpelling;
        QTextBlock(block).setUserData(known);
    }
    const bool changed = known->words != misspelled;
    known->words = std::move(misspelled);
    known->revision = block.revision();
    known->shiftedAt = block.revision();
    known->epoch = epoch_;
    return changed;
}

// Keeps the marks of an edited line in place until it is read again: those before the edit
// stay, those after it move with the text, the word edited loses its mark.
void SpellMarks::contentsChanged(int from, int removed, int added) {
    const QTextBlock block = view_.document()->findBlock(from);
    BlockSpelling* known = spellingOf(block);
    if (known && known->shiftedAt != block.revision()) {
        known->shiftedAt = block.revision();
        const int offset = from - block.position();
        const bool withinLine = from + added < block.position() + block.length();
        std::erase_if(known->words, [&](MisspelledWord& word) {
            if (word.end() < offset) return false;
            if (!withinLine || word.start <= offset + removed) return true;
            word.start += added - removed;
            return false;
        });
    }
    scheduleCheck();
}

// Lines restyled beyond the edited ones (a fence opened or closed above them) may have turned
// into code or back: they are read again.
void SpellMarks::textEdited(Range restyledBeyond) {
    if (restyledBeyond.empty()) return;
    QTextDocument* document = view_.document();
    const QTextBlock end = document->findBlock(int(restyledBeyond.end())).next();
    for (QTextBlock block = document->findBlock(int(restyledBeyond.location));
         block.isValid() && block != end; block = block.next())
        if (BlockSpelling* known = spellingOf(block)) known->epoch = 0;
}

std::vector<Range> SpellMarks::marks() const {
    std::vector<Range> found;
    if (!active()) return found;
    for (QTextBlock block = view_.document()->begin(); block.isValid(); block = block.next())
        if (const BlockSpelling* known = spellingOf(block))
            for (const MisspelledWord& word : known->words)
                if (stillThere(block, word))
                    found.push_back({std::size_t(block.position() + word.start), std::size_t(word.length)});
    return found;
}

Range SpellMarks::misspelledWordAt(int position) const {
    const QTextBlock block = view_.document()->findBlock(position);
    const BlockSpelling* known = spellingOf(block);
    if (!active() || !known) return Range{};
    const int offset = position - block.position();
    for (const MisspelledWord& word : known->words)
        if (word.start <= offset && offset <= word.end() && stillThere(block, word))
            return {std::size_t(block.position() + word.start), std::size_t(word.length)};
    return Range{};
}

void SpellMarks::addSpellingItems(QMenu& menu, int position) {
    const Range word = misspelledWordAt(position);
    if (word.empty()) return;
    QTextCursor cursor(view_.document());
    cursor.setPosition(int(word.location));
    cursor.setPosition(int(word.end()), QTextCursor::KeepAnchor);
    const QString text = cursor.selectedText();
    QAction* first = menu.actions().value(0);
    const QStringList suggestions = checker_.suggestions(text, kSuggestionCount);
    const bool editable = !view_.isReadOnly();
    for (const QString& suggestion : suggestions) {
        auto* replace = new QAction(suggestion, &menu);
        QFont bold = replace->font();
        bold.setBold(true);
        replace->setFont(bold);
        replace->setEnabled(editable);
        connect(replace, &QAction::triggered, this,
                [this, word, suggestion] { replaceWord(word, suggestion); });
        menu.insertAction(first, replace);
    }
    if (suggestions.isEmpty()) {
        auto* none = new QAction(tr("No Suggestions"), &menu);
        none->setEnabled(false);
        menu.insertAction(first, none);
    }
    menu.insertSeparator(first);
    auto* add = new QAction(tr("Add to Dictionary"), &menu);
    connect(add, &QAction::triggered, this, [this, text] { checker_.addToPersonalDictionary(text); });
    auto* ignore = new QAction(tr("Ignore"), &menu);
    connect(ignore, &QAction::triggered, this, [this, text] { checker_.ignore(text); });
    menu.insertActions(first, {add, ignore});
    if (first) menu.insertSeparator(first);
}

// One undoable edit, like typing; nothing happens when the word changed since the menu opened.
void SpellMarks::replaceWord(Range word, const QString& replacement) {
    if (misspelledWordAt(int(word.location)) != word) return;
    QTextCursor cursor(view_.document());
    cursor.setPosition(int(word.location));
    cursor.setPosition(int(word.end()), QTextCursor::KeepAnchor);
    cursor.insertText(replacement);
    view_.setTextCursor(cursor);
}

void SpellMarks::paint(QPainter& painter, const QRect& exposed) const {
    if (!active()) return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(underlineColor(), 1.0));
    view_.forEachShownBlock([&](const QTextBlock& block, QPointF origin) {
        if (origin.y() > exposed.bottom()) return false;
        const BlockSpelling* known = spellingOf(block);
        const QTextLayout* layout = block.layout();
        if (!known || !layout) return true;
        for (const MisspelledWord& word : known->words) {
            if (!stillThere(block, word)) continue;
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                const int from = std::max(word.start, line.textStart());
                const int to = std::min(word.end(), line.textStart() + line.textLength());
                if (from >= to) continue;
                const double y = origin.y() + line.y() + line.ascent() + kWaveHeight + 0.5;
                drawWave(painter, origin.x() + line.cursorToX(from), origin.x() + line.cursorToX(to), y);
            }
        }
        return true;
    });
}

} // namespace quillet
