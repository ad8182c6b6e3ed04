#include "browser/view/RenamePopoverController.h"

#include "browser/view/BrowserContextMenu.h"
#include "browser/view/RenameRules.h"
#include "platform/FileOperations.h"
#include "platform/TypeIdentifiers.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace quillet {

namespace {

const platform::Duration kReturnKeyDelay = platform::seconds(0.2);

struct ModeTexts {
    const char* mode;
    const char* title;
    const char* button;
    bool showsName;
};

constexpr ModeTexts kModes[] = {
    {"createFolder", QT_TRANSLATE_NOOP("RenamePopoverController", "Create Folder"),
     QT_TRANSLATE_NOOP("RenamePopoverController", "Create"), false},
    {"renameFolder", QT_TRANSLATE_NOOP("RenamePopoverController", "Rename Folder"),
     QT_TRANSLATE_NOOP("RenamePopoverController", "Rename"), true},
    {"changeFilename", QT_TRANSLATE_NOOP("RenamePopoverController", "Change Filename of Note"),
     QT_TRANSLATE_NOOP("RenamePopoverController", "Change"), true},
    {"createNote", QT_TRANSLATE_NOOP("RenamePopoverController", "Create Note"),
     QT_TRANSLATE_NOOP("RenamePopoverController", "Create"), false},
    {"deleteNote", QT_TRANSLATE_NOOP("RenamePopoverController", "Delete Note"),
     QT_TRANSLATE_NOOP("RenamePopoverController", "Delete"), true},
    {"deleteFolder", QT_TRANSLATE_NOOP("RenamePopoverController", "Delete Folder"),
     QT_TRANSLATE_NOOP("RenamePopoverController", "Delete"), true},
};

QString translated(const char* text) {
    return QCoreApplication::translate("RenamePopoverController", text);
}

// Notes get "md"; a style sheet or script keeps its own extension, or it would stop being one.
QString requiredExtension(const FileRepresentation& record) {
    const QString type = record.UTI.value_or(QString());
    if (type == QLatin1String(platform::kCssTypeIdentifier) ||
        type == QLatin1String(platform::kPythonScriptTypeIdentifier))
        return QFileInfo(record.path()).suffix();
    return QStringLiteral("md");
}

} // namespace

RenamePopoverController::RenamePopoverController(FileRep fileRep, QString mode, platform::Dispatcher& dispatcher,
                                                 QWidget* parent)
    : QFrame(parent, Qt::Popup), fileRep_(std::move(fileRep)), mode_(std::move(mode)),
      returnKeyCall_(dispatcher), titleLabel_(new QLabel(this)), filenameField_(new QLineEdit(this)),
      doneButton_(new QPushButton(this)), cancelButton_(new QPushButton(translated("Cancel"), this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::StyledPanel);
    QFont titleFont = titleLabel_->font();
    titleFont.setBold(true);
    titleLabel_->setFont(titleFont);
    filenameField_->setMinimumWidth(220);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelButton_);
    buttons->addWidget(doneButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 10);
    layout->addWidget(titleLabel_);
    layout->addWidget(filenameField_);
    layout->addLayout(buttons);

    connect(filenameField_, &QLineEdit::textEdited, this, [this] { controlTextDidChange(); });
    connect(filenameField_, &QLineEdit::editingFinished, this, [this] { controlTextDidEndEditing(); });
    connect(filenameField_, &QLineEdit::returnPressed, this, [this] {
        if (doneTakesReturn_ && doneButton_->isEnabled()) buttonDidPress(true);
    });
    connect(doneButton_, &QPushButton::clicked, this, [this] { buttonDidPress(true); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { buttonDidPress(false); });
    applyMode();
}

void RenamePopoverController::applyMode() {
    if (fileRep_) filenameField_->setText(currentFilename(*fileRep_));
    doneButton_->setEnabled(false);
    for (const ModeTexts& texts : kModes) {
        if (mode_ != QLatin1String(texts.mode)) continue;
        modeTitle_ = translated(texts.title);
        doneButton_->setText(translated(texts.button));
        if (!texts.showsName) {
            filenameField_->clear();
            filenameField_->setPlaceholderText(QStringLiteral("filename.md"));
        }
    }
    titleLabel_->setText(modeTitle_);
    if (deleting()) {
        filenameField_->setReadOnly(true);
        doneButton_->setEnabled(true);
    }
}

bool RenamePopoverController::deleting() const {
    return mode_ == QStringLiteral("deleteNote") || mode_ == QStringLiteral("deleteFolder");
}

void RenamePopoverController::showBeside(const QRect& anchor) {
    adjustSize();
    QPoint at(anchor.right() + 4, anchor.center().y() - height() / 2);
    if (const QScreen* screen = QGuiApplication::screenAt(anchor.center())) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - height())));
    }
    move(at);
    show();
    filenameField_->setFocus(Qt::PopupFocusReason);
    filenameField_->selectAll();
}

bool RenamePopoverController::checkFilename(const QString& name) const {
    if (!fileRep_) return false;
    const bool inside = fileRep_->directory && mode_ != QStringLiteral("renameFolder");
    const QString folder = inside ? fileRep_->path() : QFileInfo(fileRep_->path()).path();
    return platform::itemExists(folder + QLatin1Char('/') + name);
}

void RenamePopoverController::controlTextDidChange() {
    returnKeyCall_.cancel();
    doneTakesReturn_ = false;
    if (!deleting()) doneButton_->setEnabled(false);
    titleLabel_->setText(modeTitle_);
}

void RenamePopoverController::controlTextDidEndEditing() {
    if (ended_ || deleting()) return;
    QString name = filenameField_->text();
    if (const QString reason = unusableNameReason(name); !reason.isEmpty()) {
        titleLabel_->setText(reason);
        doneButton_->setEnabled(false);
        return;
    }
    if (mode_ == QStringLiteral("changeFilename") && fileRep_) {
        name = withExtension(name, requiredExtension(*fileRep_));
        filenameField_->setText(name);
    }
    if (checkFilename(name)) {
        titleLabel_->setText(translated("The name is already exist."));
        doneButton_->setEnabled(false);
        return;
    }
    titleLabel_->setText(modeTitle_);
    doneButton_->setEnabled(true);
    returnKeyCall_.schedule(kReturnKeyDelay, [this] { doneTakesReturn_ = true; });
}

void RenamePopoverController::keyPressEvent(QKeyEvent* event) {
    const bool returnKey = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (returnKey && doneTakesReturn_ && doneButton_->isEnabled()) {
        buttonDidPress(true);
        return;
    }
    QFrame::keyPressEvent(event); // Escape closes the popup
}

void RenamePopoverController::buttonDidPress(bool done) {
    resultCode_ = done;
    close();
}

void RenamePopoverController::closeEvent(QCloseEvent* event) {
    if (!ended_) {
        ended_ = true;
        returnKeyCall_.cancel();
        emit didEnd(resultCode_, filenameField_->text());
    }
    QFrame::closeEvent(event);
}

} // namespace quillet
