#pragma once
// The record of one note, folder, style sheet, script or top in the note tree. Records are held
// by FileRep (a shared pointer): the browser's rows are the records themselves, so the same
// object goes to the outline view, to selection calls and to the main controller.
//
// Each field stands for the record key named beside it. Booleans that are simply NO when absent
// are plain bools; a std::optional (or an empty list) marks a key that may be absent.
//
// Threads: the tree is changed on the main thread, or on any thread that holds the lock of the
// top above the record. The outline, the search results and the search flag are also stored
// from background reads, so they are published atomically and read as whole snapshots.

#include "browser/OutlineNode.h"
#include "browser/SearchResult.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace quillet {

class FileRepresentation;
using FileRep = std::shared_ptr<FileRepresentation>;
using FileRepList = std::vector<FileRep>;

// The file URL of a local path: the same as QUrl::fromLocalFile, at half the cost for the
// plain absolute paths a listing gives.
QUrl fileURLForPath(const QString& path);

class FileRepresentation {
public:
    FileRepresentation() = default;
    explicit FileRepresentation(QUrl url) { setFileURL(std::move(url)); }
    FileRepresentation(const FileRepresentation&) = delete;
    FileRepresentation& operator=(const FileRepresentation&) = delete;

    static FileRep make(QUrl url = {}) { return std::make_shared<FileRepresentation>(std::move(url)); }
    // The record of a local file or folder. Its URL is built when first asked for: a local
    // record is known by its path, and most records of a large library are never asked for
    // their URL.
    static FileRep forPath(QString path);

    // "fileURL"; empty when absent. Built from the path on the first call (once, from any
    // thread) for a record made from a path.
    const QUrl& fileURL() const;
    // Changed like the other keys: on the main thread, or holding the lock of the top above.
    void setFileURL(QUrl url);
    // The local path of "fileURL" (empty for a URL that names no local file).
    const QString& path() const { return path_; }
    bool hasFileURL() const { return !path_.isEmpty() || !fileURL().isEmpty(); }

    std::optional<QString> filename;       // "filename"
    std::optional<QString> displayName;    // "displayName"
    bool displayNameChanged = false;       // "displayName.changed"
    bool directory = false;                // "directory"
    bool iCloud = false;                   // "iCloud"
    std::optional<bool> downloaded;        // "downloaded"; the cloud top carries none
    std::optional<QDateTime> lastModified; // "lastModified"
    std::optional<QDateTime> creationDate; // "creationDate"
    bool isImmutable = false;              // "isImmutable"
    std::optional<QString> UTI;            // "UTI"
    std::optional<FileRepList> children;   // "children"
    bool top = false;                      // "top"
    bool expanded = false;                 // "expanded"

    // Note metadata.
    bool isImmutableChanged = false;          // "isImmutable.changed"
    std::optional<QString> textSelectedRange; // "text.selectedRange", as "{12, 5}"
    bool textSelectedRangeChanged = false;    // "text.selectedRange.changed"
    std::optional<QDateTime> lastUpdated;     // "lastUpdated"

    // Book-keeping of the cloud enumeration.
    std::optional<double> seqNum;        // "seqNum"
    bool updated = false;                // "updated"
    std::optional<QString> relativePath; // "relativePath"

    // "tagNames"; empty when absent. A record listed from a local folder reads them from its file
    // when they are first asked for: reading a file's tags costs as much as listing the file, and
    // most records of a large library are never drawn.
    QStringList tagNames() const;
    void setTagNames(QStringList names);
    // Makes tagNames() read the file's tags on its first call (once, from any thread). For a new
    // record, before it is shared.
    void readTagNamesWhenAsked() { tagNamesWhenAsked_ = true; }

    // "hasSearchTarget"
    bool hasSearchTarget() const { return hasSearchTarget_.load(); }
    void setHasSearchTarget(bool value) { hasSearchTarget_.store(value); }

    // "outline": none when absent.
    OutlineNodeRef outline() const { return outline_.load(); }
    void setOutline(OutlineNodeRef root) { outline_.store(std::move(root)); }

    // "searchResults": none when absent.
    std::shared_ptr<const SearchResults> searchResults() const { return searchResults_.load(); }
    void setSearchResults(std::shared_ptr<const SearchResults> results) {
        searchResults_.store(std::move(results));
    }

    bool hasChildren() const { return children && !children->empty(); }
    // The "children" list, created empty when absent.
    FileRepList& ensureChildren();

    // The recursive lock that guards a top's subtree (every record has one; tops use it).
    std::recursive_mutex& lock() const { return lock_; }

    // All keys and values equal, children compared the same way (not by identity).
    bool sameValueAs(const FileRepresentation& other) const;

private:
    QString path_;
    mutable QUrl fileURL_;
    mutable std::once_flag fileURLBuilt_;
    mutable QStringList tagNames_;
    mutable std::once_flag tagNamesRead_;
    bool tagNamesWhenAsked_ = false;
    std::atomic<bool> hasSearchTarget_{false};
    std::atomic<OutlineNodeRef> outline_;
    std::atomic<std::shared_ptr<const SearchResults>> searchResults_;
    mutable std::recursive_mutex lock_;
};

} // namespace quillet
