#include "editor/MarkdownKeyCommands.h"

#include "editor/LineShifting.h"
#include "editor/ListContinuation.h"
#include "editor/MarkdownViewController.h"
#include "engine/TextStore.h"
#include "platform/TypeIdentifiers.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace quillet {

MarkdownKeyCommands::MarkdownKeyCommands(MarkdownViewController& editor) : editor_(editor) {
    editor_.textView()->installEventFilter(this);
}

MarkdownKeyCommands::~MarkdownKeyCommands() {
    editor_.textView()->removeEventFilter(this);
}

bool MarkdownKeyCommands::eventFilter(QObject* watched, QEvent* event) {
    QPlainTextEdit& view = *editor_.textView();
    if (watched != &view || event->type() != QEvent::KeyPress || view.isReadOnly()) return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (const std::optional<LineShift> shift = lineShiftForKey(key)) {
        shiftLines(view, *shift);
        return true;
    }
    const bool plainReturn = (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
                             (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    return plainReturn && caretLineMayContinue() && continueList(view);
}

// The styling knows which lines are code or HTML: they hold no list markers.
bool MarkdownKeyCommands::caretLineMayContinue() const {
    if (editor_.fileUTI() != QLatin1String(platform::kMarkdownTypeIdentifier)) return false;
    const auto lineStart = static_cast<std::size_t>(editor_.textView()->textCursor().block().position());
    const TextAttributes attributes = editor_.textStorage().attributesAt(lineStart);
    return !attributes.mdCodeParagraph && !attributes.mdHtmlBlock;
}

} // namespace quillet
