#include "browser/view/BrowserContextMenu.h"

#include "platform/TypeIdentifiers.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>

namespace quillet {

namespace {

// lupdate files the texts of a free function's tr() under its namespace.
QString tr(const char* text) {
    return QCoreApplication::translate("quillet", text);
}

void addFolderItems(const FileRepresentation& folder, std::vector<ContextMenuItem>& items) {
    const QString name = folder.filename.value_or(QString());
    const bool styleFolder = !folder.top && name == QStringLiteral("CSS");
    const bool scriptFolder = !folder.top && name == QStringLiteral("Script");
    if (!folder.iCloud) items.push_back({tr("Open in File Manager"), BrowserCommand::openFolder});
    if (!styleFolder && !scriptFolder) items.push_back({tr("New Note"), BrowserCommand::newNote});
    items.push_back({tr("Create Folder"), BrowserCommand::createFolder});
    if (!folder.top && !styleFolder && !scriptFolder) {
        items.push_back({tr("Delete Folder"), BrowserCommand::deleteFolder});
        items.push_back({tr("Rename Folder"), BrowserCommand::renameFolder});
    }
    if (styleFolder) items.push_back({tr("New CSS"), BrowserCommand::newFile});
    if (scriptFolder) items.push_back({tr("New Script"), BrowserCommand::newFile});
}

void addFileItems(const FileRepresentation& file, bool hasSyncedContainer, std::vector<ContextMenuItem>& items) {
    const QString type = file.UTI.value_or(QString());
    const bool note = type != QLatin1String(platform::kPythonScriptTypeIdentifier) &&
                      type != QLatin1String(platform::kCssTypeIdentifier);
    items.push_back({tr("Filename:") + QLatin1Char(' ') + QStringLiteral("'%1'").arg(currentFilename(file)),
                     BrowserCommand::nothing});
    items.push_back({note ? tr("Note info") : tr("File info"), BrowserCommand::showInfo});
    if (file.isImmutable) {
        items.push_back({note ? tr("Unlock Note") : tr("Unlock File"), BrowserCommand::unlock});
    } else {
        items.push_back({note ? tr("Lock Note") : tr("Lock File"), BrowserCommand::lock});
        items.push_back({tr("Change Filename"), BrowserCommand::changeFilename});
        items.push_back({note ? tr("Delete Note") : tr("Delete File"), BrowserCommand::deleteNote});
        if (file.iCloud)
            items.push_back({tr("Move to On This Computer"), BrowserCommand::moveNote});
        else if (hasSyncedContainer)
            items.push_back({tr("Move to Synced"), BrowserCommand::moveNote});
    }
    items.push_back({tr("Copy to"), BrowserCommand::copyTo});
}

} // namespace

bool ContextMenuContent::offers(BrowserCommand command) const {
    return std::any_of(items.begin(), items.end(),
                       [command](const ContextMenuItem& item) { return item.command == command; });
}

QString currentFilename(const FileRepresentation& record) {
    return QFileInfo(record.path()).fileName();
}

ContextMenuContent contextMenuFor(const FileRep& record, bool hasSyncedContainer) {
    ContextMenuContent content;
    if (!record || !record->hasFileURL()) return content;
    if (record->directory) {
        content.title = tr("Folder");
        addFolderItems(*record, content.items);
    } else {
        content.title = tr("File");
        addFileItems(*record, hasSyncedContainer, content.items);
    }
    return content;
}

} // namespace quillet
