#include "app/StyleFileDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet {

StyleFileDialog::StyleFileDialog(const QString& folder, const QString& extension, QWidget* parent)
    : QDialog(parent), folder_(folder), extension_(extension) {
    setWindowTitle(tr("Create File"));
    auto* message = new QLabel(tr("Create File"), this);
    QFont bold = message->font();
    bold.setBold(true);
    message->setFont(bold);
    nameField_ = new QLineEdit(this);
    nameField_->setMinimumSize(320, 22);
    reason_ = new QLabel(this);
    reason_->setWordWrap(true);
    reason_->hide();
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message);
    layout->addWidget(nameField_);
    layout->addWidget(reason_);
    layout->addWidget(buttons_);

    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(nameField_, &QLineEdit::textChanged, this, &StyleFileDialog::nameChanged);
    nameChanged();
}

QString StyleFileDialog::refusal() const {
    const QString name = nameField_->text();
    if (name.isEmpty()) return QString();
    if (name.contains(QLatin1Char('/')) || name == QLatin1String(".") || name == QLatin1String(".."))
        return tr("A file name can't contain “/” or be “.” or “..”.");
    const QString fileName = name + QLatin1Char('.') + extension_;
    // A broken link still holds the name.
    const QFileInfo file(QDir(folder_).filePath(fileName));
    if (file.exists() || file.isSymLink())
        return tr("“%1” already exists in this folder. Choose another name.").arg(fileName);
    return QString();
}

void StyleFileDialog::nameChanged() {
    const QString reason = refusal();
    reason_->setText(reason);
    reason_->setVisible(!reason.isEmpty());
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(!nameField_->text().isEmpty() && reason.isEmpty());
}

// The folder may have changed while the dialog was up.
void StyleFileDialog::accept() {
    nameChanged();
    if (buttons_->button(QDialogButtonBox::Ok)->isEnabled()) QDialog::accept();
}

std::optional<QString> StyleFileDialog::ask(QWidget* parent, const QString& folder, const QString& extension) {
    StyleFileDialog dialog(folder, extension, parent);
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.nameField()->text();
}

} // namespace quillet

#include "moc_StyleFileDialog.cpp"
