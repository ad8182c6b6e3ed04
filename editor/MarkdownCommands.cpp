#include "editor/MarkdownCommands.h"

#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace quillet {

namespace {

struct Line {
    int start = 0;
    QString text; // without its line break
    bool hasBreak = false;

    bool empty() const { return text.isEmpty() && !hasBreak; }
    QString withBreak() const { return hasBreak ? text + QLatin1Char('\n') : text; }
    int textEnd() const { return start + static_cast<int>(text.size()); }
};

Line currentLine(const QPlainTextEdit& view) {
    const QTextBlock block = view.document()->findBlock(view.textCursor().selectionStart());
    return {block.position(), block.text(), block.next().isValid()};
}

bool matches(const Line& line, const char* pattern) {
    return QRegularExpression(QLatin1String(pattern)).match(line.withBreak()).hasMatch();
}

// One edit block: the insertions are made in order, each at a position of the text as the
// previous ones left it; the caret ends after the last one, as after typing it.
class Edit {
public:
    explicit Edit(QPlainTextEdit& view) : view_(view), cursor_(view.document()) { cursor_.beginEditBlock(); }
    ~Edit() {
        cursor_.endEditBlock();
        view_.setTextCursor(cursor_);
        view_.ensureCursorVisible();
    }
    Edit(const Edit&) = delete;
    Edit& operator=(const Edit&) = delete;

    void insert(int position, const QString& text) {
        cursor_.setPosition(position);
        cursor_.insertText(text);
    }
    void replace(int from, int to, const QString& text) {
        cursor_.setPosition(from);
        cursor_.setPosition(to, QTextCursor::KeepAnchor);
        cursor_.insertText(text);
    }
    void select(int from, int to) {
        const int end = view_.document()->characterCount() - 1;
        cursor_.setPosition(std::min(from, end));
        cursor_.setPosition(std::min(to, end), QTextCursor::KeepAnchor);
    }

private:
    QPlainTextEdit& view_;
    QTextCursor cursor_;
};

// One level deeper ("#" more) or a new header, and the closing marker to match. A line holding
// only its line break has no last character to look at, and stays as it is.
void header(QPlainTextEdit& view) {
    const Line line = currentLine(view);
    if (line.text.isEmpty()) return;
    const QString opening = matches(line, "^#+\\s+\\S") ? QStringLiteral("#") : QStringLiteral("# ");
    const QString closing = line.text.endsWith(QLatin1Char('#')) ? QStringLiteral("#") : QStringLiteral(" #");
    Edit edit(view);
    edit.insert(line.start, opening);
    edit.insert(line.textEnd() + static_cast<int>(opening.size()), closing);
}

void list(QPlainTextEdit& view) {
    const Line line = currentLine(view);
    if (line.empty()) return;
    QString marker = QStringLiteral("- ");
    if (matches(line, "^[-*]+\\s+\\S"))
        marker = line.text.left(1);
    else if (matches(line, "^(\\d+\\.)+\\s+\\S"))
        marker = QStringLiteral("1.");
    Edit(view).insert(line.start, marker);
}

void quote(QPlainTextEdit& view) {
    const Line line = currentLine(view);
    if (line.empty()) return;
    Edit(view).insert(line.start, matches(line, "^>+\\s+\\S") ? QStringLiteral(">") : QStringLiteral("> "));
}

// The selected text becomes the link's address after "http://" and stays selected, so that the
// selection the command leaves is the text the user had chosen (an empty selection leaves the
// caret before the closing parenthesis).
void link(QPlainTextEdit& view) {
    const QTextCursor selection = view.textCursor();
    const int start = selection.selectionStart();
    const int end = selection.selectionEnd();
    const QString selected = selection.selection().toPlainText();
    constexpr int kAddressOffset = 14; // after "[link](http://"
    Edit edit(view);
    edit.replace(start, end, QStringLiteral("[link](http://") + selected + QLatin1Char(')'));
    edit.select(start + kAddressOffset, start + kAddressOffset + (end - start));
}

// Without a selection the word around the caret is wrapped; the caret ends after the opening
// marker (between the two markers where there is no word).
void wrap(QPlainTextEdit& view, const QString& marker) {
    QTextCursor range = view.textCursor();
    if (!range.hasSelection()) range.select(QTextCursor::WordUnderCursor);
    const int start = range.selectionStart();
    const int end = range.selectionEnd();
    Edit edit(view);
    edit.insert(end, marker);
    edit.insert(start, marker);
}

} // namespace

bool performMarkdownCommand(QPlainTextEdit& view, QStringView command) {
    if (command == u"header")
        header(view);
    else if (command == u"list")
        list(view);
    else if (command == u"quote")
        quote(view);
    else if (command == u"link")
        link(view);
    else if (command == u"bold")
        wrap(view, QStringLiteral("**"));
    else if (command == u"italic")
        wrap(view, QStringLiteral("_"));
    else
        return false;
    return true;
}

} // namespace quillet
