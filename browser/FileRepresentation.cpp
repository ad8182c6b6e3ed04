#include "browser/FileRepresentation.h"

#include "platform/Tags.h"

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

} // namespace

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
    return fileURL == other.fileURL && filename == other.filename && displayName == other.displayName &&
           displayNameChanged == other.displayNameChanged && directory == other.directory &&
           iCloud == other.iCloud && downloaded == other.downloaded && lastModified == other.lastModified &&
           creationDate == other.creationDate && isImmutable == other.isImmutable && UTI == other.UTI &&
           tagNames() == other.tagNames() && top == other.top && expanded == other.expanded &&
           isImmutableChanged == other.isImmutableChanged && textSelectedRange == other.textSelectedRange &&
           textSelectedRangeChanged == other.textSelectedRangeChanged && lastUpdated == other.lastUpdated &&
           seqNum == other.seqNum && updated == other.updated && relativePath == other.relativePath &&
           hasSearchTarget() == other.hasSearchTarget() && sameOutlineRef(outline(), other.outline()) &&
           sameResults(searchResults(), other.searchResults()) && sameChildren(children, other.children);
}

} // namespace quillet
