#pragma once
// The items of the browser's context menu for one record: a folder or top gets the folder
// commands, anything else the file commands. Only titles and commands; the browser makes the
// actions and carries the commands out.

#include "browser/FileRepresentation.h"

#include <QString>
#include <vector>

namespace quillet {

enum class BrowserCommand {
    nothing, // the "Filename:" line
    openFolder,
    newNote,
    createFolder,
    deleteFolder,
    renameFolder,
    newFile, // a style sheet or script
    showInfo,
    lock,
    unlock,
    changeFilename,
    deleteNote,
    moveNote,
    copyTo,
};

struct ContextMenuItem {
    QString title;
    BrowserCommand command;
};

struct ContextMenuContent {
    QString title; // "Folder" or "File"; empty for a row without a file
    std::vector<ContextMenuItem> items;

    bool offers(BrowserCommand command) const;
};

// `hasSyncedContainer`: whether a local note may be moved to the synced library.
ContextMenuContent contextMenuFor(const FileRep& record, bool hasSyncedContainer);

// The last path component of the record's file, extension included.
QString currentFilename(const FileRepresentation& record);

} // namespace quillet
