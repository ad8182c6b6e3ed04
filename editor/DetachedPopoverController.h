#pragma once
// The window an image popover becomes when the user opens it on its own: the image, resizable,
// titled with the image's file name. It deletes itself when closed.

#include "editor/ImageLoading.h"

#include <QUrl>
#include <QWidget>

class QLabel;

namespace quillet {

class ImageView;

class DetachedPopoverController : public QWidget {
    Q_OBJECT

public:
    explicit DetachedPopoverController(platform::Dispatcher& dispatcher = platform::Dispatcher::shared(),
                                       QWidget* parent = nullptr);

    void setImageURL(const QUrl& url);
    const QUrl& imageURL() const { return imageURL_; }
    ImageView* imageView() const { return imageView_; }

signals:
    void imageDidLoad(bool shown);

private:
    RemoteImageFetch* fetch_;
    QUrl imageURL_;
    ImageView* imageView_;
    QLabel* label_;
};

} // namespace quillet
