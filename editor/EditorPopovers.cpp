#include "editor/EditorPopovers.h"

#include "editor/AddImagePopoverController.h"
#include "editor/DetachedPopoverController.h"
#include "editor/ImagePopoverController.h"
#include "editor/MarkdownTextView.h"
#include "editor/MarkdownViewController.h"
#include "engine/TextStore.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QTextCursor>

namespace quillet {

namespace {
// The anchor is a sliver at the selection, one line tall: the popover opens just below it.
constexpr QSizeF kAnchorSize{1.0, 30.0};
} // namespace

LinkClickAction linkClickAction(const QUrl& url) {
    if (url.scheme() == QLatin1String("mailto")) return LinkClickAction::openWithDesktop;
    if (!url.isLocalFile()) return LinkClickAction::imagePopover;
    return isImageFileName(url.toLocalFile()) ? LinkClickAction::localImagePopover
                                              : LinkClickAction::openWithDesktop;
}

EditorPopovers::EditorPopovers(MarkdownViewController& editor, platform::Dispatcher& dispatcher)
    : QObject(&editor), editor_(editor), dispatcher_(dispatcher), imageLinkWait_(dispatcher),
      openURL_([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    auto* view = qobject_cast<MarkdownTextView*>(editor.textView());
    if (!view) return;
    view->setLinkLookup([this](int position) {
        const auto index = static_cast<std::size_t>(position);
        if (index >= editor_.textStorage().length()) return QString();
        const auto link = editor_.textStorage().attributesAt(index).link;
        return link ? QString::fromStdU16String(*link) : QString();
    });
    connect(view, &MarkdownTextView::linkClicked, this,
            [this](const QString& link, int index) { clickedOnLink(link, static_cast<std::size_t>(index)); });
}

QRectF EditorPopovers::anchorAt(Range range) const {
    const QRectF rect = editor_.rectForRange(range);
    return QRectF(rect.topLeft(), kAnchorSize);
}

void EditorPopovers::show(PopoverFrame* popover, const QRectF& anchor, const QSize& size) {
    if (popover_) popover_->close();
    popover_ = popover;
    connect(popover, &PopoverFrame::closed, this, [this, popover] {
        if (popover_ == popover) popover_ = nullptr;
    });
    popover->showBelow(editor_.textView()->viewport(), anchor, size);
}

void EditorPopovers::setImageLink() {
    auto* controller = new AddImagePopoverController(editor_.textView());
    auto pending = std::make_shared<PendingLink>();
    pending->controller = controller;
    pending->textGeneration = textGeneration_;
    pending_ = pending;
    connect(controller, &PopoverFrame::closed, this, [this, pending] { finishImageLink(pending, false); });
    imageLinkWait_.schedule(kImageLinkWait, [this, pending] { finishImageLink(pending, true); });
    show(controller, anchorAt(editor_.selectedRange()), AddImagePopoverController::kContentSize);
    controller->urlField()->setFocus(Qt::PopupFocusReason);
}

void EditorPopovers::finishImageLink(const std::shared_ptr<PendingLink>& pending, bool waitedOut) {
    if (pending->finished) return;
    pending->finished = true;
    if (pending == pending_) imageLinkWait_.cancel();
    const AddImagePopoverController* controller = pending->controller;
    if (!controller || (!waitedOut && !controller->added())) return;
    const std::optional<QUrl>& url = controller->url();
    if (!url || url->path().isEmpty() || pending->textGeneration != textGeneration_) return;
    insertImageLink(*url);
}

void EditorPopovers::insertImageLink(const QUrl& url) {
    QPlainTextEdit* view = editor_.textView();
    if (view->isReadOnly()) return;
    QTextCursor cursor = view->textCursor();
    cursor.insertText(QStringLiteral("![image](%1)").arg(QString::fromUtf8(url.toEncoded())));
    view->setTextCursor(cursor);
}

bool EditorPopovers::clickedOnLink(const QString& link, std::size_t index) {
    const QUrl url(link);
    const LinkClickAction action = linkClickAction(url);
    if (action == LinkClickAction::openWithDesktop) {
        openURL_(url);
        return false;
    }
    showImagePopover(url, editor_.rectForRange({index, 0}), action == LinkClickAction::localImagePopover);
    return true;
}

void EditorPopovers::showImagePopover(const QUrl& url, const QRectF& rect, bool securityScope) {
    auto* controller = new ImagePopoverController(dispatcher_, editor_.textView());
    controller->setSecurityScope(securityScope);
    controller->setURLOpener(openURL_);
    controller->setImageURL(url);
    popoverImage_ = url;
    connect(controller, &ImagePopoverController::detachRequested, this, [this](const QUrl& image) {
        auto* window = new DetachedPopoverController(dispatcher_, editor_.window());
        window->setImageURL(image);
        window->show();
    });
    show(controller, QRectF(rect.topLeft(), kAnchorSize), ImagePopoverController::kContentSize);
}

} // namespace quillet
