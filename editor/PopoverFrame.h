#pragma once
// The frame of the editor's small popovers: a frameless popup that closes on Escape and on a
// click outside it, shown next to an anchor rectangle of a view, below it, kept on the screen.
// Closing in any way emits `closed` once; the popover then deletes itself.

#include <QFrame>
#include <QRectF>

namespace quillet {

class PopoverFrame : public QFrame {
    Q_OBJECT

public:
    explicit PopoverFrame(QWidget* parent = nullptr);

    // Shows the popover with its top edge on the anchor's bottom edge (in `view`'s coordinates),
    // its left edge at the anchor's left, with the given content size.
    void showBelow(QWidget* view, const QRectF& anchor, const QSize& contentSize);

    // Hides the popover for a dialog of its own (a popup would close at the dialog's first
    // click) and shows it again where it was.
    template <typename Dialog> auto whileHidden(Dialog dialog) {
        if (!isVisible()) return dialog();
        const QPoint at = pos();
        hide();
        auto result = dialog();
        move(at);
        show();
        return result;
    }

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool ended_ = false;
};

} // namespace quillet
