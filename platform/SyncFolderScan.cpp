#include "platform/SyncFolderScan.h"

#include "platform/SyncContainer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <deque>
#include <dirent.h>
#include <utility>

namespace quillet::platform {
namespace {

SyncItem itemOf(FolderEntry&& entry) {
    SyncItem item;
    item.path = std::move(entry.path);
    item.isDirectory = entry.isDirectory;
    item.typeIdentifier = std::move(entry.typeIdentifier);
    item.contentDate = entry.contentModificationDate;
    item.tagNames = std::move(entry.tagNames);
    item.isImmutable = entry.isImmutable.value_or(false);
    return item;
}

// The final names of the temporaries an engine writes in the folder under hidden names, which a
// listing leaves out (names only: nothing is asked of the items themselves).
QSet<QString> hiddenTemporaryTargets(const QString& folder) {
    QSet<QString> targets;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir) return targets;
    while (const struct dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.') continue;
        if (auto target = syncTemporaryTarget(QFile::decodeName(entry->d_name))) targets.insert(*target);
    }
    ::closedir(dir);
    return targets;
}

bool isInsideFolder(const QString& path, const QString& folder) {
    return path.size() > folder.size() && path.startsWith(folder) && path.at(folder.size()) == u'/';
}

} // namespace

void SyncFolderScanner::list(const QString& folder) {
    QSet<QString> beingWritten = hiddenTemporaryTargets(folder);
    ListingOptions options;
    options.keep = [&beingWritten](const FolderEntry& entry) {
        if (auto target = syncTemporaryTarget(entry.name)) beingWritten.insert(*target);
        return !isSyncEngineFile(entry.name);
    };
    auto listed = listFolder(folder, options);
    if (!listed) {
        forget(folder);
        return;
    }
    Listing listing;
    listing.items.reserve(listed.value->size());
    for (FolderEntry& entry : *listed.value) {
        const bool written = beingWritten.contains(entry.name);
        listing.items.push_back(itemOf(std::move(entry)));
        listing.items.back().downloaded = !written;
    }
    std::sort(listing.items.begin(), listing.items.end(),
              [](const SyncItem& a, const SyncItem& b) { return a.path < b.path; });
    listings_.insert(folder, std::move(listing));
}

void SyncFolderScanner::forget(const QString& folder) {
    for (auto it = listings_.begin(); it != listings_.end();) {
        if (it.key() == folder || isInsideFolder(it.key(), folder))
            it = listings_.erase(it);
        else
            ++it;
    }
}

SyncScan SyncFolderScanner::scan(const QStringList& changedFolders) {
    std::deque<QString> pending;
    if (changedFolders.isEmpty() || !listings_.contains(root_)) {
        listings_.clear();
        pending.push_back(root_);
    } else {
        for (const QString& folder : changedFolders)
            if (folder == root_ || isInsideFolder(folder, root_)) pending.push_back(QDir::cleanPath(folder));
    }
    while (!pending.empty()) {
        const QString folder = pending.front();
        pending.pop_front();
        const auto before = listings_.constFind(folder);
        QSet<QString> knownFolders;
        if (before != listings_.cend())
            for (const SyncItem& item : before->items)
                if (item.isDirectory) knownFolders.insert(item.path);
        list(folder);
        const auto after = listings_.constFind(folder);
        if (after == listings_.cend()) continue;
        for (const SyncItem& item : after->items) {
            if (!item.isDirectory) continue;
            // A folder new here (or moved in) is listed whole; known ones report their own changes.
            if (!knownFolders.remove(item.path) || !listings_.contains(item.path))
                pending.push_back(item.path);
        }
        for (const QString& gone : std::as_const(knownFolders))
            forget(gone);
    }
    SyncScan result;
    result.folders.append(root_);
    collect(root_, result);
    std::stable_sort(result.folders.begin(), result.folders.end(),
                     [](const QString& a, const QString& b) { return a.count(u'/') < b.count(u'/'); });
    return result;
}

void SyncFolderScanner::collect(const QString& folder, SyncScan& scan) const {
    const auto listing = listings_.constFind(folder);
    if (listing == listings_.cend()) return;
    for (const SyncItem& item : listing->items) {
        scan.items.push_back(item);
        if (!item.isDirectory) continue;
        scan.folders.append(item.path);
        collect(item.path, scan);
    }
}

} // namespace quillet::platform
