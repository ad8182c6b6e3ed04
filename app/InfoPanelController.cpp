#include "app/InfoPanelController.h"

#include "app/NoteInfoText.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

namespace quillet {

InfoPanelController::InfoPanelController(QWidget* parent)
    : QDialog(parent), filenameField_(new QLineEdit(this)), textView_(new QTextEdit(this)),
      doneButton_(new QPushButton(tr("Done"), this)) {
    setWindowTitle(tr("Note Info"));
    setWindowModality(Qt::WindowModal);
    filenameField_->setReadOnly(true);
    textView_->setReadOnly(true);
    textView_->setMinimumSize(420, 330);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(doneButton_, QDialogButtonBox::AcceptRole);
    doneButton_->setDefault(true);
    connect(doneButton_, &QPushButton::clicked, this, [this] { done(1); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(filenameField_);
    layout->addWidget(textView_);
    layout->addWidget(buttons);
    refresh();
}

void InfoPanelController::setFileURL(const QUrl& url) {
    fileURL_ = url;
    refresh();
}

void InfoPanelController::setNoteInfo(const QVariantMap& noteInfo) {
    noteInfo_ = noteInfo;
    refresh();
}

void InfoPanelController::refresh() {
    filenameField_->setText(QFileInfo(fileURL_.path()).fileName());
    // Documents made here belong to the text view; the one it started with belongs to its
    // text control, which deletes it when replaced.
    QTextDocument* previous = textView_->document();
    const bool madeHere = previous && previous->parent() == textView_;
    QTextDocument* document = attributedStringFromNoteInfo(noteInfo_).release();
    document->setParent(textView_);
    textView_->setDocument(document);
    if (madeHere) delete previous;
}

} // namespace quillet

#include "moc_InfoPanelController.cpp"
