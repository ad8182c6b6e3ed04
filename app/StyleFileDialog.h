#pragma once
// "Create File": asks for the name of a new style sheet or script. A name whose file is already
// in the folder, or that is not a plain file name, is refused here with the reason, so that OK
// never stands for replacing a file.

#include <QDialog>
#include <QString>
#include <optional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace quillet {

class StyleFileDialog : public QDialog {
    Q_OBJECT

public:
    // For a file "NAME.extension" in `folder`.
    StyleFileDialog(const QString& folder, const QString& extension, QWidget* parent = nullptr);

    QLineEdit* nameField() const { return nameField_; }
    QLabel* reasonLabel() const { return reason_; }
    QDialogButtonBox* buttons() const { return buttons_; }
    // Why the typed name cannot be taken; empty when it can (an empty name is simply not taken).
    QString refusal() const;

    // Shown window-modal on `parent`: the accepted name, none when cancelled.
    static std::optional<QString> ask(QWidget* parent, const QString& folder, const QString& extension);

    void accept() override;

private:
    void nameChanged();

    QString folder_;
    QString extension_;
    QLineEdit* nameField_;
    QLabel* reason_;
    QDialogButtonBox* buttons_;
};

} // namespace quillet
