#include "editor/ImageView.h"

#include <QPixmap>

namespace quillet {

ImageView::ImageView(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignCenter);
    setMinimumSize(1, 1);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
}

void ImageView::setImage(const QImage& image) {
    image_ = image;
    rescale();
}

void ImageView::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    rescale();
}

void ImageView::rescale() {
    if (image_.isNull()) {
        clear();
        return;
    }
    const double ratio = devicePixelRatioF();
    const QSize room = contentsRect().size() * ratio;
    QImage shown = image_;
    if (shown.width() > room.width() || shown.height() > room.height())
        shown = shown.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPixmap pixmap = QPixmap::fromImage(shown);
    pixmap.setDevicePixelRatio(ratio);
    setPixmap(pixmap);
}

} // namespace quillet
