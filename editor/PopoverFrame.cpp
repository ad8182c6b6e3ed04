#include "editor/PopoverFrame.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

namespace quillet {

PopoverFrame::PopoverFrame(QWidget* parent) : QFrame(parent, Qt::Popup) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::StyledPanel);
}

void PopoverFrame::showBelow(QWidget* view, const QRectF& anchor, const QSize& contentSize) {
    resize(contentSize);
    QPoint at = view->mapToGlobal(QPointF(anchor.left(), anchor.bottom()).toPoint());
    if (const QScreen* screen = QGuiApplication::screenAt(at)) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width())));
        // No room below: above the anchor instead.
        if (at.y() + height() > area.bottom())
            at.setY(std::max(area.top(), view->mapToGlobal(anchor.topLeft().toPoint()).y() - height()));
    }
    move(at);
    show();
}

void PopoverFrame::closeEvent(QCloseEvent* event) {
    if (!ended_) {
        ended_ = true;
        emit closed();
    }
    QFrame::closeEvent(event);
}

} // namespace quillet
