#pragma once
// The "Open Recent Folder" submenu: one item per folder opened before, oldest first, titled with
// the folder's name and showing its path as tool tip, then "Clear Menu". A folder that is gone,
// or is no longer a folder, is listed disabled instead of failing when chosen. While a folder is
// open every entry is disabled (Close Folder comes first) and the open one is ticked.

#include "documents/RecentFolders.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

class QMenu;

namespace quillet {

struct RecentFoldersMenuHandlers {
    std::function<void(const RecentFolder&)> open;
    std::function<void()> clear;
};

void fillOpenRecentFolderMenu(QMenu* menu, const QList<RecentFolder>& folders,
                              const std::optional<QString>& openedFolder,
                              const RecentFoldersMenuHandlers& handlers);

} // namespace quillet
