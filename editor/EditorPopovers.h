#pragma once
// The editor's popovers: the add-image popover with the link it inserts, the image popover of a
// clicked link, and the window an image popover becomes. At most one popover is open per editor.
//
// Inserting an image link waits for the add-image popover without blocking: the link goes in
// when the popover closes with Add, or after 60 seconds while it is still open, whichever comes
// first, once; it goes in only when a URL with a path was given, the text is editable, and the
// editor still shows the text it showed when the popover opened (no other note was opened since).

#include "editor/PopoverFrame.h"
#include "engine/Range.h"
#include "platform/DelayedCall.h"

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QUrl>
#include <functional>
#include <memory>

namespace quillet {

class AddImagePopoverController;
class MarkdownViewController;

// What a click on a link in the editor does.
enum class LinkClickAction {
    imagePopover,      // a web link (or one without a scheme): shown in the image popover
    localImagePopover, // a local image file: shown in the image popover
    openWithDesktop,   // another local file, or a mail address: opened by the desktop
};
LinkClickAction linkClickAction(const QUrl& url);

class EditorPopovers : public QObject {
    Q_OBJECT

public:
    static constexpr platform::Duration kImageLinkWait = platform::seconds(60.0);

    EditorPopovers(MarkdownViewController& editor, platform::Dispatcher& dispatcher);

    void setImageLink();
    bool clickedOnLink(const QString& link, std::size_t index);
    void showImagePopover(const QUrl& url, const QRectF& rect, bool securityScope);
    // The editor shows another text: a pending image link is dropped, unless the text is the
    // same note's as another program changed it (announced just before).
    void textReplaced() {
        if (!sameNoteNext_) ++textGeneration_;
        sameNoteNext_ = false;
    }
    void nextTextIsSameNote() { sameNoteNext_ = true; }

    PopoverFrame* popover() const { return popover_; }
    const QUrl& popoverImage() const { return popoverImage_; }
    // How URLs are opened (the desktop by default).
    void setURLOpener(std::function<void(const QUrl&)> open) { openURL_ = std::move(open); }

private:
    struct PendingLink {
        QPointer<AddImagePopoverController> controller;
        quint64 textGeneration = 0;
        bool finished = false;
    };
    void show(PopoverFrame* popover, const QRectF& anchor, const QSize& size);
    void finishImageLink(const std::shared_ptr<PendingLink>& pending, bool waitedOut);
    void insertImageLink(const QUrl& url);
    QRectF anchorAt(Range range) const;

    MarkdownViewController& editor_;
    platform::Dispatcher& dispatcher_;
    platform::DelayedCall imageLinkWait_;
    std::shared_ptr<PendingLink> pending_;
    quint64 textGeneration_ = 0;
    bool sameNoteNext_ = false;
    QPointer<PopoverFrame> popover_;
    QUrl popoverImage_;
    std::function<void(const QUrl&)> openURL_;
};

} // namespace quillet
