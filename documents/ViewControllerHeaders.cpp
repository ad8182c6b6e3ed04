// The headers popover over the editor: the open note's outline or search results.

#include "documents/DocumentSession.h"
#include "documents/Outline.h"
#include "documents/ViewController.h"
#include "documents/ViewControllerPrivate.h"
#include "editor/HeadersPopoverController.h"
#include "editor/MarkdownViewController.h"

#include <QListWidget>

namespace quillet {

namespace {
constexpr QSize kHeadersPopoverSize{280, 480};
}

void ViewController::showHeaders() {
    if (d->headersPopover) {
        d->headersPopover->close();
        return;
    }
    MarkdownViewController* editor = d->markdownViewController;
    auto* popover = new HeadersPopoverController(d->defaults, editor);
    connect(popover, &HeadersPopoverController::rangeDictDidSelect, this,
            [this](Range lineRange) { rangeDictDidSelect(lineRange); });
    const FileRep note = d->session->note();
    // The stored outline is the saved text's: with edits not yet saved its ranges would miss.
    OutlineNodeRef outline = note ? note->outline() : nullptr;
    if (outline && documentDirty()) outline = createOutline(editor->string());
    if (outline) popover->setOutlineRoot(outline);
    popover->setDisplayMode(QStringLiteral("outline"));
    popover->setSelectedRange(editor->selectedRange());
    if (auto results = note ? note->searchResults() : nullptr) {
        popover->setSearchResults(std::move(results));
        popover->setDisplayMode(QStringLiteral("search"));
    }
    popover->viewWillAppear();
    d->headersPopover = popover;
    connect(popover, &PopoverFrame::closed, this, [this] { d->headersPopover = nullptr; });
    const QRectF topCentre((editor->width() - kHeadersPopoverSize.width()) / 2.0, 0.0, 1.0, 0.0);
    popover->showBelow(editor, topCentre, kHeadersPopoverSize);
    popover->tableView()->setFocus(Qt::PopupFocusReason); // arrows and type-select move in the list
}

QWidget* ViewController::headersPopover() const {
    return d->headersPopover;
}

void ViewController::rangeDictDidSelect(Range lineRange) {
    d->markdownViewController->setSelectedRange(lineRange);
}

void ViewController::addImageTag() {
    if (d->session->note() && editState()) d->markdownViewController->setImageLink();
}

} // namespace quillet
