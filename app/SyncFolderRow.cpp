#include "app/SyncFolderRow.h"

#include "platform/SyncContainer.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFileDialog>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet {

namespace {
const QString kKey = QString::fromLatin1(platform::sync_folder::kSettingsKey);
} // namespace

SyncFolderRow::SyncFolderRow(platform::UserDefaults& defaults, QWidget* parent)
    : QWidget(parent), defaults_(defaults), pathField_(new QLineEdit(this)),
      chooseButton_(new QPushButton(tr("Choose\u2026"), this)),
      clearButton_(new QPushButton(tr("Don't Sync"), this)) {
    auto* title = new QLabel(tr("Synced library folder:"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* explanation = new QLabel(tr("A folder your sync engine (Syncthing, Nextcloud, \u2026) keeps in "
                                      "step with your other computers."),
                                   this);
    explanation->setWordWrap(true);
    explanation->setEnabled(false); // drawn subdued
    pathField_->setReadOnly(true);
    pathField_->setPlaceholderText(tr("None"));
    choose_ = [this](const QString& start) {
        return QFileDialog::getExistingDirectory(this, tr("Synced library folder"), start);
    };
    connect(chooseButton_, &QPushButton::clicked, this, [this] {
        const QString chosen = choose_(folder_.isEmpty() ? QDir::homePath() : folder_);
        if (!chosen.isEmpty()) show(QDir::cleanPath(chosen));
    });
    connect(clearButton_, &QPushButton::clicked, this, [this] { show(QString()); });

    auto* row = new QHBoxLayout;
    row->addWidget(pathField_, 1);
    row->addWidget(chooseButton_);
    row->addWidget(clearButton_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(title);
    layout->addLayout(row);
    layout->addWidget(explanation);
    load();
}

void SyncFolderRow::show(const QString& folder) {
    folder_ = folder;
    pathField_->setText(folder);
    clearButton_->setEnabled(!folder.isEmpty());
}

void SyncFolderRow::load() {
    show(defaults_.string(kKey).value_or(QString()));
}

bool SyncFolderRow::store() {
    if (defaults_.string(kKey).value_or(QString()) == folder_) return false;
    if (folder_.isEmpty())
        defaults_.remove(kKey);
    else
        defaults_.setObject(kKey, folder_);
    return true;
}

} // namespace quillet

#include "moc_SyncFolderRow.cpp"
