#include "documents/SyncedLibraryQuery.h"

#include "platform/SyncContainer.h"

#include <algorithm>

namespace quillet {

SyncedLibraryQuery::SyncedLibraryQuery(platform::Dispatcher& dispatcher, QString root, QObject* parent)
    : QObject(parent), dispatcher_(dispatcher), root_(std::move(root)),
      documents_(platform::syncDocumentsPath(root_)), scanCall_(dispatcher), storeCall_(dispatcher),
      scanner_(std::make_shared<platform::SyncFolderScanner>(documents_)) {
    connect(&watcher_, &platform::DirectoryWatcher::changed, this, &SyncedLibraryQuery::folderDidChange);
}

SyncedLibraryQuery::~SyncedLibraryQuery() = default;

void SyncedLibraryQuery::start(ResultsHandler onResults, std::function<void()> onStoreChanged) {
    onResults_ = std::move(onResults);
    onStoreChanged_ = std::move(onStoreChanged);
    everything_ = true;
    scan();
}

void SyncedLibraryQuery::folderDidChange(const QString& folder, const QString& name) {
    if (folder == root_) {
        // Beside the documents: only the store's file (and the engine's copies of it) matter.
        const QString store = QString::fromLatin1(platform::sync_folder::kKeyValueFileName);
        const QString stem = store.chopped(int(sizeof(".json") - 1));
        if (name.startsWith(stem) && onStoreChanged_)
            storeCall_.schedule(kQuietDelay, [this] { onStoreChanged_(); });
        return;
    }
    if (folder.isEmpty())
        everything_ = true;
    else if (!changedFolders_.contains(folder))
        changedFolders_.append(folder);
    scheduleScan();
}

void SyncedLibraryQuery::scheduleScan() {
    if (scanning_) {
        scanAgain_ = true;
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!firstChange_) firstChange_ = now;
    const auto waited = std::chrono::duration_cast<platform::Duration>(now - *firstChange_);
    const platform::Duration delay = waited + kQuietDelay > kLongestWait
                                         ? std::max(platform::Duration(0), kLongestWait - waited)
                                         : kQuietDelay;
    scanCall_.schedule(delay, [this] { scan(); });
}

void SyncedLibraryQuery::scan() {
    scanCall_.cancel();
    firstChange_.reset();
    scanning_ = true;
    const QStringList folders = everything_ ? QStringList() : changedFolders_;
    everything_ = false;
    changedFolders_.clear();
    std::weak_ptr<bool> token = alive_;
    platform::Dispatcher* main = &dispatcher_;
    dispatcher_.onWorker([token, main, scanner = scanner_, folders, this] {
        auto results = std::make_shared<const platform::SyncScan>(scanner->scan(folders));
        main->onMain([token, results, this] {
            if (token.lock()) scanFinished(results);
        });
    });
}

void SyncedLibraryQuery::scanFinished(const std::shared_ptr<const platform::SyncScan>& results) {
    scanning_ = false;
    results_ = results;
    // The store's file sits beside the documents; its folder is watched first.
    watcher_.watch(QStringList{root_} + results->folders);
    if (onResults_) onResults_(results);
    if (scanAgain_) {
        scanAgain_ = false;
        scheduleScan();
    }
}

} // namespace quillet
