#pragma once
// The items of the synchronised folder's documents, as the live query reports them: every file
// and folder below it, in depth-first order (a folder's own item, then its contents), with the
// facts the note tree needs: type, content date, tags, lock, and whether the file is downloaded
// (not while the sync engine writes its next version). The engines' own files never appear.
//
// The scanner remembers each folder's listing, so that a change lists again only the folders
// that changed (and the new folders below them). One scan at a time; any thread.

#include "platform/FolderListing.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace quillet::platform {

struct SyncItem {
    QString path;
    bool isDirectory = false;
    QString typeIdentifier; // the file system's; empty when it gave none
    std::optional<QDateTime> contentDate;
    bool downloaded = true; // false while a temporary of the engine stands for the file
    QStringList tagNames;
    bool isImmutable = false;
};

struct SyncScan {
    std::vector<SyncItem> items;
    QStringList folders; // the documents folder and every folder below it, shallower first
};

class SyncFolderScanner {
public:
    explicit SyncFolderScanner(QString documentsPath) : root_(std::move(documentsPath)) {}

    const QString& root() const { return root_; }
    // Lists the folders again (the whole tree the first time, or with an empty list) and returns
    // all items. A folder that has gone takes its subtree with it.
    SyncScan scan(const QStringList& changedFolders = {});

private:
    struct Listing {
        std::vector<SyncItem> items; // sorted by name
    };
    void list(const QString& folder);
    void forget(const QString& folder);
    void collect(const QString& folder, SyncScan& scan) const;

    QString root_;
    QHash<QString, Listing> listings_;
};

} // namespace quillet::platform
