#pragma once
// The editor pane: one text view showing the open file's text, the Markdown engine that styles it
// while it is typed, and the editor state the main controller reads and sets (edit state, file
// type, search target). The open note's state (unsaved edits, display name) belongs to the
// document session; the editor reports edits and first-line names to its host.
//
// Main thread only. The text-change hooks restyle only the edited lines (and the lines the engine
// continues to); styling never goes on the undo stack and never marks the text dirty.

#include "editor/EditorHost.h"
#include "engine/MarkdownOptions.h"
#include "engine/Range.h"
#include "platform/Dispatcher.h"

#include <QFont>
#include <QRectF>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <memory>

class QPlainTextEdit;
class QProgressBar;

namespace quillet {

class EditorPopovers;
class MarkdownString;
class SpellMarks;
class TextStore;

class MarkdownViewController : public QWidget {
    Q_OBJECT

public:
    explicit MarkdownViewController(platform::Dispatcher& dispatcher = platform::Dispatcher::shared(),
                                    QWidget* parent = nullptr);
    ~MarkdownViewController() override;

    void setHost(EditorHost* host);

    // The editor widget (its document holds the text) and the progress indicator the main
    // controller shows while a file loads.
    QPlainTextEdit* textView() const;
    QProgressBar* progressIndicator() const;
    MarkdownString& markdownString();
    // The styling's text store: the text view's characters with the attributes the engine set.
    TextStore& textStorage();

    // Shows a new text: line breaks converted, undo history cleared, styled, search target marked
    // again; editable exactly when the edit state is on.
    void setString(const QString& text);
    // Shows the note's text as another program changed it: like setString, keeping the caret
    // and the scroll position where the new text allows.
    void replaceString(const QString& text);
    QString string() const;

    void setEditState(bool editable);
    bool editState() const;
    void setFileUTI(const QString& typeIdentifier);
    QString fileUTI() const;

    void setSelectedFont(const QFont& font);
    QFont selectedFont() const;
    void setMarkdownOptions(const MarkdownOptions& options);

    // Stores the target and marks it; markSearchTarget only marks (exact, case-sensitive).
    void setSearchTarget(const QString& target);
    QString searchTarget() const;
    void markSearchTarget(const QString& target);

    // Selects without reporting the change to the host; clamps past-the-end locations.
    void setSelectedRange(Range range);
    Range selectedRange() const;

    // The bounding rectangle of the characters in text-view coordinates.
    QRectF rectForRange(Range range) const;
    void forceLayout();

    // For the main controller's close and clear: forget undo, and stop or resume reacting to
    // text changes (a detached editor does not style, mark dirty or schedule saves).
    void clearUndoHistory();
    void detachTextStorageDelegate();
    void attachTextStorageDelegate();

    // The first-line scan: derives the display name from the first line now (normally run 2
    // seconds after an edit of the first line).
    void scanFirstLine();

    // Whether the caret is drawn in the system blue for the active input method.
    bool usesInputMethodCaretColor() const;

    // The toolbar's Markdown commands: "header", "list", "quote", "link", "image", "bold" and
    // "italic" on the current line or selection, each one undo step; nothing on a locked text.
    void markdownButton(const QString& command);

    // Continuous spell checking (on by default): misspelled words of the shown lines are
    // underlined; style sheets and scripts are never checked.
    void setSpellChecking(bool on);
    bool spellChecking() const;
    SpellMarks& spellMarks();

    // Arithmetic: evaluates the expression before the caret and inserts "= RESULT " (one undo
    // step); nothing happens on a locked note or a line without an expression.
    void arithmeticOperation();

    // ---- Image links and the image popovers (EditorPopovers)
    // Asks for an image's URL in the add-image popover and inserts "![image](URL)" at the
    // selection when it closes with Add (or after a minute while it is still open).
    void setImageLink();
    // A click on a link of the text at `index`: the image popover for a web link or a local
    // image; another file goes to the desktop. True when the popover showed.
    bool textViewClickedOnLink(const QString& link, std::size_t index);
    void showImagePopover(const QUrl& url, const QRectF& rect, bool securityScope);
    EditorPopovers& popovers() const { return *popovers_; }

private:
    struct Private;
    std::unique_ptr<Private> d;
    EditorPopovers* popovers_ = nullptr; // a child
};

} // namespace quillet
