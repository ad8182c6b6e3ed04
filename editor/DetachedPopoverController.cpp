#include "editor/DetachedPopoverController.h"

#include "editor/ImageView.h"

#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>

namespace quillet {

namespace {
constexpr QSize kInitialSize{480, 480};
}

DetachedPopoverController::DetachedPopoverController(platform::Dispatcher& dispatcher, QWidget* parent)
    : QWidget(parent, Qt::Window), fetch_(new RemoteImageFetch(dispatcher, this)),
      imageView_(new ImageView(this)), label_(new QLabel(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    label_->setAlignment(Qt::AlignCenter);
    label_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(imageView_, 1);
    layout->addWidget(label_, 1);
    resize(kInitialSize);
}

void DetachedPopoverController::setImageURL(const QUrl& url) {
    imageURL_ = url;
    const QString name = url.isLocalFile() ? QFileInfo(url.toLocalFile()).fileName() : url.fileName();
    setWindowTitle(name.isEmpty() ? url.toDisplayString() : name);
    fetch_->load(url, [this](const LoadedImage& result) {
        const bool shown = result.outcome == LoadedImage::Outcome::image;
        imageView_->setImage(shown ? result.image : QImage());
        imageView_->setVisible(shown);
        label_->setText(tr("The image can't be shown."));
        label_->setVisible(!shown);
        emit imageDidLoad(shown);
    });
}

} // namespace quillet
