#include "app/RecentFoldersMenu.h"

#include "platform/FolderBookmark.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

namespace quillet {

void fillOpenRecentFolderMenu(QMenu* menu, const QList<RecentFolder>& folders,
                              const std::optional<QString>& openedFolder,
                              const RecentFoldersMenuHandlers& handlers) {
    menu->clear();
    for (const RecentFolder& folder : folders) {
        QAction* item = menu->addAction(folder.title());
        item->setToolTip(folder.path);
        item->setEnabled(!openedFolder && platform::isExistingFolder(folder.path));
        if (openedFolder) {
            item->setCheckable(true);
            item->setChecked(folder.path == *openedFolder);
        }
        QObject::connect(item, &QAction::triggered, menu, [open = handlers.open, folder] { open(folder); });
    }
    menu->addSeparator();
    QAction* clear = menu->addAction(QCoreApplication::translate("WindowActions", "Clear Menu"));
    clear->setEnabled(!folders.isEmpty());
    QObject::connect(clear, &QAction::triggered, menu, [clear = handlers.clear] { clear(); });
}

} // namespace quillet
