#pragma once
// The popover asking for the URL of an image to link: typed into the field (placeholder
// "https://"), or a local PNG or JPEG file chosen with the "Local File" button. Add closes it
// keeping the URL; Cancel and Escape close it clearing the URL. A help button explains it.

#include "editor/PopoverFrame.h"

#include <QUrl>
#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;

namespace quillet {

class AddImagePopoverController : public PopoverFrame {
    Q_OBJECT

public:
    static constexpr QSize kContentSize{480, 123};

    explicit AddImagePopoverController(QWidget* parent = nullptr);

    // The URL typed or chosen; none when the field does not hold one or after Cancel.
    const std::optional<QUrl>& url() const { return url_; }
    // True once the popover closed with Add.
    bool added() const { return added_; }

    // The dialog choosing a local image (the desktop's file dialog by default); empty when
    // cancelled.
    void setFileChooser(std::function<QString(QWidget*, const QString& folder)> choose) {
        chooseFile_ = std::move(choose);
    }

    // The URL field's edits.
    void controlTextDidChange(const QString& text);
    // The actions of the four buttons.
    void chooseLocalFile();
    void cancel();
    void add();
    void showHelp();

    QLineEdit* urlField() const { return urlField_; }
    QPushButton* localFileButton() const { return localFileButton_; }
    QPushButton* helpButton() const { return helpButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    QPushButton* addButton() const { return addButton_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::optional<QUrl> url_;
    bool added_ = false;
    std::function<QString(QWidget*, const QString&)> chooseFile_;
    QLineEdit* urlField_;
    QPushButton* localFileButton_;
    QPushButton* helpButton_;
    QPushButton* cancelButton_;
    QPushButton* addButton_;
};

// The help popover: what to type, and what the preview shows. Closed by its OK button.
class HelpPopoverController : public PopoverFrame {
    Q_OBJECT

public:
    static constexpr QSize kContentSize{420, 200};

    explicit HelpPopoverController(QWidget* parent = nullptr);
    static QString helpText();
};

} // namespace quillet
