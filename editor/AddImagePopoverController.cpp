#include "editor/AddImagePopoverController.h"

#include "editor/ImagePopoverController.h"

#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet {

AddImagePopoverController::AddImagePopoverController(QWidget* parent)
    : PopoverFrame(parent), chooseFile_(chooseImageFile), urlField_(new QLineEdit(this)),
      localFileButton_(new QPushButton(tr("Local File"), this)),
      helpButton_(new QPushButton(QStringLiteral("?"), this)),
      cancelButton_(new QPushButton(tr("Cancel"), this)), addButton_(new QPushButton(tr("Add"), this)) {
    urlField_->clear();
    urlField_->setPlaceholderText(QStringLiteral("https://"));
    helpButton_->setToolTip(tr("Help for Add Image Link"));
    helpButton_->setFixedWidth(helpButton_->sizeHint().height());
    addButton_->setDefault(true);

    auto* field = new QHBoxLayout;
    field->addWidget(new QLabel(tr("Image URL:"), this));
    field->addWidget(urlField_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(localFileButton_);
    buttons->addWidget(helpButton_);
    buttons->addStretch();
    buttons->addWidget(cancelButton_);
    buttons->addWidget(addButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addLayout(field);
    layout->addLayout(buttons);

    connect(urlField_, &QLineEdit::textEdited, this, &AddImagePopoverController::controlTextDidChange);
    connect(urlField_, &QLineEdit::returnPressed, this, &AddImagePopoverController::add);
    connect(localFileButton_, &QPushButton::clicked, this, &AddImagePopoverController::chooseLocalFile);
    connect(cancelButton_, &QPushButton::clicked, this, &AddImagePopoverController::cancel);
    connect(addButton_, &QPushButton::clicked, this, &AddImagePopoverController::add);
    connect(helpButton_, &QPushButton::clicked, this, &AddImagePopoverController::showHelp);
}

void AddImagePopoverController::controlTextDidChange(const QString& text) {
    const QUrl parsed(text.trimmed(), QUrl::StrictMode);
    url_ = parsed.isValid() && !parsed.isEmpty() ? std::optional<QUrl>(parsed) : std::nullopt;
}

void AddImagePopoverController::chooseLocalFile() {
    const QString path = whileHidden([this] { return chooseFile_(this, QDir::homePath()); });
    if (path.isEmpty()) return;
    url_ = QUrl::fromLocalFile(path);
    urlField_->setText(path);
}

void AddImagePopoverController::cancel() {
    url_.reset();
    close();
}

void AddImagePopoverController::add() {
    added_ = true;
    close();
}

void AddImagePopoverController::showHelp() {
    auto* help = new HelpPopoverController(this);
    help->showBelow(helpButton_, QRectF(helpButton_->rect()), HelpPopoverController::kContentSize);
}

// Escape is a cancel, not a dismissal that keeps the URL.
void AddImagePopoverController::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        cancel();
        return;
    }
    PopoverFrame::keyPressEvent(event);
}

HelpPopoverController::HelpPopoverController(QWidget* parent) : PopoverFrame(parent) {
    auto* text = new QLabel(helpText(), this);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(text, 1);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
}

QString HelpPopoverController::helpText() {
    return tr(
        "Enter the URL of the image on the Internet directly, or click the 'Local File' button to enter the "
        "URL of the image file on your computer.\nImages on the Internet and image files on your computer "
        "are both displayed in the preview.");
}

} // namespace quillet
