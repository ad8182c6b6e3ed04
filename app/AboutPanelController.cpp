#include "app/AboutPanelController.h"

#include "app/HelpLinks.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

namespace quillet {

QString AboutPanelController::versionString(const QString& shortVersion, const QString& build) {
    return tr("Version %1 (%2)").arg(shortVersion, build);
}

QString AboutPanelController::licenseText() {
    return tr("Released under the MIT License.\nBuilt with Qt %1 and ICU.").arg(QString::fromLatin1(qVersion()));
}

AboutPanelController::AboutPanelController(QWidget* parent)
    : QDialog(parent), iconView_(new QLabel(this)), productNameField_(new QLabel(this)),
      versionField_(new QLabel(this)), licenseField_(new QLabel(this)), urlButton_(new QPushButton(this)),
      okButton_(new QPushButton(tr("OK"), this)),
      openURL_([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    setWindowTitle(tr("About %1").arg(QApplication::applicationName()));
    setWindowModality(Qt::WindowModal);

    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_FileDialogContentsView);
    iconView_->setPixmap(icon.pixmap(64, 64));
    iconView_->setAlignment(Qt::AlignCenter);

    QFont nameFont = productNameField_->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.5);
    nameFont.setBold(true);
    productNameField_->setFont(nameFont);
    productNameField_->setText(QApplication::applicationName());
    productNameField_->setAlignment(Qt::AlignCenter);
    versionField_->setText(
        versionString(QStringLiteral(QUILLET_VERSION), QStringLiteral(QUILLET_BUILD_NUMBER)));
    versionField_->setAlignment(Qt::AlignCenter);

    licenseField_->setText(licenseText());
    licenseField_->setAlignment(Qt::AlignCenter);
    licenseField_->setWordWrap(true);

    const QUrl productPage = productPageURL();
    urlButton_->setText(productPage.host());
    urlButton_->setFlat(true);
    urlButton_->setAccessibleName(tr("Quillet web site"));
    urlButton_->setCursor(Qt::PointingHandCursor);
    connect(urlButton_, &QPushButton::clicked, this, [this, productPage] { openURL_(productPage); });
    connect(okButton_, &QPushButton::clicked, this, [this] { done(1); });
    okButton_->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(iconView_);
    layout->addWidget(productNameField_);
    layout->addWidget(versionField_);
    layout->addWidget(licenseField_);
    layout->addWidget(urlButton_, 0, Qt::AlignCenter);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    layout->addLayout(buttons);
}

} // namespace quillet

#include "moc_AboutPanelController.cpp"
