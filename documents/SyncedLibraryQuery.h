#pragma once
// The live query over the synchronised folder: watches its folders with inotify (folders only,
// within the watch limit), lists again the folders that changed on a worker, and hands every new
// list of items to the main thread. A burst of changes (a sync engine landing many files) gives
// one scan: each change restarts a short quiet delay, and a scan runs at the latest a longest wait
// after the first change. A change to the key-value store's file is reported on its own.
//
// Folders beyond the watch limit are not watched; their changes show at the next scan that
// another change starts.
//
// Main thread.

#include "platform/DelayedCall.h"
#include "platform/DirectoryWatcher.h"
#include "platform/Dispatcher.h"
#include "platform/SyncFolderScan.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace quillet {

class SyncedLibraryQuery : public QObject {
    Q_OBJECT

public:
    using ResultsHandler = std::function<void(const std::shared_ptr<const platform::SyncScan>& results)>;

    static constexpr platform::Duration kQuietDelay{100};
    static constexpr platform::Duration kLongestWait{400};

    // `root`: the folder the user chose; the items are those of its documents folder.
    SyncedLibraryQuery(platform::Dispatcher& dispatcher, QString root, QObject* parent = nullptr);
    ~SyncedLibraryQuery() override;

    // Starts with a scan of the whole folder; `onResults` gets each list, `onStoreChanged` is
    // told when the key-value store's file (or a copy of it the engine left) changed.
    void start(ResultsHandler onResults, std::function<void()> onStoreChanged);
    // The last list of items; none before the first scan finished.
    std::shared_ptr<const platform::SyncScan> results() const { return results_; }
    bool isScanning() const { return scanning_; }

    platform::DirectoryWatcher& watcher() { return watcher_; }
    const QString& documentsPath() const { return documents_; }

private:
    void folderDidChange(const QString& folder, const QString& name);
    void scheduleScan();
    void scan();
    void scanFinished(const std::shared_ptr<const platform::SyncScan>& results);

    platform::Dispatcher& dispatcher_;
    QString root_;
    QString documents_;
    platform::DirectoryWatcher watcher_;
    platform::DelayedCall scanCall_;
    platform::DelayedCall storeCall_;
    std::shared_ptr<platform::SyncFolderScanner> scanner_;
    std::shared_ptr<const platform::SyncScan> results_;
    ResultsHandler onResults_;
    std::function<void()> onStoreChanged_;
    QStringList changedFolders_;
    bool everything_ = true;
    bool scanning_ = false;
    bool scanAgain_ = false;
    std::optional<std::chrono::steady_clock::time_point> firstChange_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace quillet
