#include "browser/LocalTreeBuilder.h"

#include "browser/LocalRecords.h"
#include "platform/FolderListing.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace quillet {
namespace {

struct PendingFolder {
    FileRep record;
    QString path;
};

// The folders still to list, shared by the threads. A thread with nothing to take waits while
// another is listing, since that one may find more; when nothing is pending and nothing is being
// listed, the tree is complete.
class FolderQueue {
public:
    void push(std::vector<PendingFolder>&& folders) {
        if (folders.empty()) return;
        {
            std::lock_guard lock(mutex_);
            for (PendingFolder& folder : folders)
                pending_.push_back(std::move(folder));
        }
        ready_.notify_all();
    }

    std::optional<PendingFolder> take() {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return !pending_.empty() || listing_ == 0; });
        if (pending_.empty()) return std::nullopt;
        PendingFolder next = std::move(pending_.back());
        pending_.pop_back();
        ++listing_;
        return next;
    }

    void finished() {
        bool complete = false;
        {
            std::lock_guard lock(mutex_);
            --listing_;
            ++listed_;
            complete = listing_ == 0 && pending_.empty();
        }
        if (complete) ready_.notify_all();
    }

    std::size_t listed() {
        std::lock_guard lock(mutex_);
        return listed_;
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<PendingFolder> pending_;
    int listing_ = 0;
    std::size_t listed_ = 0;
};

// Fills the folder's "children" (created beforehand) and returns its sub-folders, still to list.
std::vector<PendingFolder> listFolder(const PendingFolder& folder, const LocalTreeOptions& options) {
    FileRepList& children = *folder.record->children;
    std::vector<PendingFolder> subfolders;
    platform::ListingOptions listing;
    listing.keep = [](const platform::FolderEntry& entry) { return isBrowsableEntry(entry); };
    listing.names = false; // the records take their names from the paths
    listing.tags = false;  // read by each record when first asked for
    auto entries = platform::listFolder(folder.path, listing);
    if (entries.ok()) {
        children.reserve(entries->size());
        for (platform::FolderEntry& entry : *entries) {
            FileRep rep = recordForFolderEntry(std::move(entry));
            rep->readTagNamesWhenAsked();
            if (rep->directory) {
                rep->children.emplace();
                subfolders.push_back({rep, rep->path()});
            }
            children.push_back(std::move(rep));
        }
    }
    if (!options.sortEachFolder.empty()) sortRecords(children, options.sortEachFolder);
    return subfolders;
}

void listAll(FolderQueue& queue, const LocalTreeOptions& options) {
    while (std::optional<PendingFolder> folder = queue.take()) {
        // Counted as finished even if listing throws, so that the other threads still stop.
        const std::unique_ptr<FolderQueue, void (*)(FolderQueue*)> finished(
            &queue, [](FolderQueue* listed) { listed->finished(); });
        queue.push(listFolder(*folder, options));
    }
}

} // namespace

int localTreeThreads() {
    return std::clamp(int(std::thread::hardware_concurrency()), 1, 4);
}

std::size_t buildLocalTree(const FileRep& folder, const LocalTreeOptions& options) {
    folder->children.emplace();
    const PendingFolder top{folder, folder->path()};
    if (isApplicationBundle(top.path)) return 0; // never opened
    std::vector<PendingFolder> subfolders = listFolder(top, options);
    if (subfolders.empty()) return 1;
    FolderQueue queue;
    queue.push(std::move(subfolders));
    {
        // Helpers only for a tree with folders to share; the calling thread lists too.
        std::vector<std::jthread> helpers;
        for (int i = 1; i < options.threads; ++i)
            helpers.emplace_back([&queue, &options] { listAll(queue, options); });
        listAll(queue, options);
    }
    return 1 + queue.listed();
}

} // namespace quillet
