#pragma once
// The about sheet: the application's icon, name, version and licence, a link to the product's web page,
// and an OK button that ends the sheet with code 1.

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QUrl;

namespace quillet {

class AboutPanelController : public QDialog {
    Q_OBJECT

public:
    explicit AboutPanelController(QWidget* parent = nullptr);

    // How the link button opens its address (the desktop's browser unless replaced).
    void setURLOpener(std::function<void(const QUrl&)> opener) { openURL_ = std::move(opener); }

    QLabel* iconView() const { return iconView_; }
    QLabel* productNameField() const { return productNameField_; }
    QLabel* versionField() const { return versionField_; }
    QLabel* licenseField() const { return licenseField_; }
    QPushButton* urlButton() const { return urlButton_; }
    QPushButton* okButton() const { return okButton_; }

    // "Version %1 (%2)" with the short version and the build number.
    static QString versionString(const QString& shortVersion, const QString& build);
    // The licence and the libraries Quillet is built with.
    static QString licenseText();

private:
    QLabel* iconView_;
    QLabel* productNameField_;
    QLabel* versionField_;
    QLabel* licenseField_;
    QPushButton* urlButton_;
    QPushButton* okButton_;
    std::function<void(const QUrl&)> openURL_;
};

} // namespace quillet
