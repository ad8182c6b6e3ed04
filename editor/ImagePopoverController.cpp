#include "editor/ImagePopoverController.h"

#include "editor/ImageView.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet {

QString chooseImageFile(QWidget* parent, const QString& folder) {
    return QFileDialog::getOpenFileName(
        parent, QString(), folder,
        QCoreApplication::translate("ImagePopoverController", "PNG or JPEG Images (*.png *.jpg *.jpeg)"));
}

ImagePopoverController::ImagePopoverController(platform::Dispatcher& dispatcher, QWidget* parent)
    : PopoverFrame(parent), fetch_(new RemoteImageFetch(dispatcher, this)),
      openURL_([](const QUrl& url) { QDesktopServices::openUrl(url); }), chooseFile_(chooseImageFile),
      imageView_(new ImageView(this)), label_(new QLabel(this)),
      locateButton_(new QPushButton(tr("Locate…"), this)),
      browserButton_(new QPushButton(tr("Open in Browser"), this)),
      fileManagerButton_(new QPushButton(tr("Show in File Manager"), this)),
      detachButton_(new QPushButton(tr("Open in Window"), this)) {
    label_->setAlignment(Qt::AlignCenter);
    label_->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(fileManagerButton_);
    buttons->addStretch();
    buttons->addWidget(locateButton_);
    buttons->addWidget(browserButton_);
    buttons->addWidget(detachButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(imageView_, 1);
    layout->addWidget(label_, 1);
    layout->addLayout(buttons);
    for (QWidget* hidden : {static_cast<QWidget*>(label_), static_cast<QWidget*>(locateButton_),
                            static_cast<QWidget*>(browserButton_), static_cast<QWidget*>(fileManagerButton_)})
        hidden->hide();

    connect(locateButton_, &QPushButton::clicked, this, [this] { buttonDidPress(); });
    connect(browserButton_, &QPushButton::clicked, this, [this] {
        openURL_(imageURL_);
        close();
    });
    connect(fileManagerButton_, &QPushButton::clicked, this,
            [this] { openURL_(QUrl::fromLocalFile(QFileInfo(imageURL_.toLocalFile()).absolutePath())); });
    connect(detachButton_, &QPushButton::clicked, this, [this] {
        emit detachRequested(imageURL_);
        close();
    });
}

void ImagePopoverController::setImageURL(const QUrl& url) {
    imageURL_ = url;
    label_->setText(tr("Loading…"));
    label_->show();
    imageView_->hide();
    fetch_->load(url, [this](const LoadedImage& result) { showResult(result); });
}

void ImagePopoverController::showResult(const LoadedImage& result) {
    const bool shown = result.outcome == LoadedImage::Outcome::image;
    imageView_->setImage(shown ? result.image : QImage());
    imageView_->setVisible(shown);
    const bool local = imageURL_.isLocalFile();
    const bool page = result.outcome == LoadedImage::Outcome::notImage;
    label_->setText(page ? tr("This link does not lead to an image.")
                         : tr("The image can't be shown.") + QLatin1Char('\n') + result.error);
    label_->setVisible(!shown);
    locateButton_->setVisible(!shown && local);
    browserButton_->setVisible(page);
    fileManagerButton_->setVisible(shown && local);
    detachButton_->setVisible(shown);
    emit imageDidLoad(shown);
}

void ImagePopoverController::buttonDidPress() {
    const QString folder =
        imageURL_.isLocalFile() ? QFileInfo(imageURL_.toLocalFile()).absolutePath() : QString();
    const QString path = whileHidden([&] { return chooseFile_(this, folder); });
    if (!path.isEmpty()) setImageURL(QUrl::fromLocalFile(path));
}

} // namespace quillet
