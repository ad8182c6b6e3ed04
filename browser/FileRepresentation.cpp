#include "browser/FileRepresentation.h"

#include "platform/Tags.h"

#include <QLatin1StringView>

namespace quillet {

bool sameOutline(const OutlineNode& a, const OutlineNode& b) {
    if (a.range != b.range || a.headerString != b.headerString || a.headerRange != b.headerRange ||
        a.depth != b.depth || a.children.size() != b.children.size())
        return false;
    for (std::size_t i = 0; i < a.children.size(); ++i) {
        const OutlineNodeRef& x = a.children[i];
        const OutlineNodeRef& y = b.children[i];
        if (x == y) continue;
        if (!x || !y || !sameOutline(*x, *y)) return false;
    }
    return true;
}

namespace {

bool sameOutlineRef(const OutlineNodeRef& a, const OutlineNodeRef& b) {
    if (a == b) return true;
    return a && b && sameOutline(*a, *b);
}

bool sameResults(const std::shared_ptr<const SearchResults>& a,
                 const std::shared_ptr<const SearchResults>& b) {
    if (a == b) return true;
    return a && b && *a == *b;
}

bool sameChildren(const std::optional<FileRepList>& a, const std::optional<FileRepList>& b) {
    if (a.has_value() != b.has_value()) return false;
    if (!a) return true;
    if (a->size() != b->size()) return false;
    for (std::size_t i = 0; i < a->size(); ++i) {
        const FileRep& x = (*a)[i];
        const FileRep& y = (*b)[i];
        if (x == y) continue;
        if (!x || !y || !x->sameValueAs(*y)) return false;
    }
    return true;
}

// A path that QUrl::fromLocalFile(path).toLocalFile() gives back unchanged, so that a record
// can keep it as its path before its URL is built. Relative paths and paths starting "//" (which
// name a host) come back changed.
bool pathSurvivesURL(const QString& path) {
    return path.startsWith(u'/') && !path.startsWith(QLatin1StringView("//"));
}

} // namespace

QUrl fileURLForPath(const QString& path) {
    // Without a '%' there is nothing to escape, so a plain absolute path can be parsed as it
    // stands. Anything else takes the general route.
    if (!pathSurvivesURL(path) || path.contains(u'%')) return QUrl::fromLocalFile(path);
    // A copy of a URL holding only the scheme, which each thread keeps for itself: copies of one
    // shared URL would all count references on it from every listing thread at once, and setting
    // the scheme anew costs more than the copy. The scheme's text is static.
    thread_local const QUrl fileScheme = [] {
        QUrl url;
        url.setScheme(QStringLiteral("file"));
        return url;
    }();
    QUrl url = fileScheme;
    url.setPath(path, QUrl::TolerantMode);
    return url;
}

FileRep FileRepresentation::forPath(QString path) {
    if (!pathSurvivesURL(path)) return make(QUrl::fromLocalFile(path));
    FileRep rep = std::make_shared<FileRepresentation>();
    rep->path_ = std::move(path);
    return rep;
}

const QUrl& FileRepresentation::fileURL() const {
    std::call_once(fileURLBuilt_, [this] { fileURL_ = fileURLForPath(path_); });
    return fileURL_;
}

void FileRepresentation::setFileURL(QUrl url) {
    std::call_once(fileURLBuilt_, [] {}); // from now on the URL is the one given here
    path_ = url.toLocalFile();
    fileURL_ = std::move(url);
}

QStringList FileRepresentation::tagNames() const {
    if (tagNamesWhenAsked_) std::call_once(tagNamesRead_, [this] { tagNames_ = platform::readTags(path()); });
    return tagNames_;
}

void FileRepresentation::setTagNames(QStringList names) {
    tagNamesWhenAsked_ = false;
    tagNames_ = std::move(names);
}

FileRepList& FileRepresentation::ensureChildren() {
    if (!children) children.emplace();
    return *children;
}

bool FileRepresentation::sameValueAs(const FileRepresentation& other) const {
    if (this == &other) return true;
    // The path is a function of the URL: different paths settle the comparison without the URLs.
    return path_ == other.path_ && fileURL() == other.fileURL() && filename == other.filename &&
           displayName == other.displayName && displayNameChanged == other.displayNameChanged &&
           directory == other.directory && iCloud == other.iCloud && downloaded == other.downloaded &&
           lastModified == other.lastModified && creationDate == other.creationDate &&
           isImmutable == other.isImmutable && UTI == other.UTI && tagNames() == other.tagNames() &&
           top == other.top && expanded == other.expanded && isImmutableChanged == other.isImmutableChanged &&
           textSelectedRange == other.textSelectedRange &&
           textSelectedRangeChanged == other.textSelectedRangeChanged && lastUpdated == other.lastUpdated &&
           seqNum == other.seqNum && updated == other.updated && relativePath == other.relativePath &&
           hasSearchTarget() == other.hasSearchTarget() && sameOutlineRef(outline(), other.outline()) &&
           sameResults(searchResults(), other.searchResults()) && sameChildren(children, other.children);
}

} // namespace quillet
