#include "browser/SortDescriptor.h"

#include <algorithm>

namespace quillet {

namespace {

template <typename T> int compareOptional(const std::optional<T>& a, const std::optional<T>& b) {
    if (!a || !b) return int(a.has_value()) - int(b.has_value());
    if (*a < *b) return -1;
    return *b < *a ? 1 : 0;
}

int compareStrings(const std::optional<QString>& a, const std::optional<QString>& b) {
    if (!a || !b) return int(a.has_value()) - int(b.has_value());
    const int order = QString::compare(*a, *b, Qt::CaseSensitive);
    return (order > 0) - (order < 0);
}

int compareKey(const FileRepresentation& a, const FileRepresentation& b, SortDescriptor::Key key) {
    switch (key) {
    case SortDescriptor::Key::displayName:
        return compareStrings(a.displayName, b.displayName);
    case SortDescriptor::Key::filename:
        return compareStrings(a.filename, b.filename);
    case SortDescriptor::Key::lastModified:
        return compareOptional(a.lastModified, b.lastModified);
    case SortDescriptor::Key::creationDate:
        return compareOptional(a.creationDate, b.creationDate);
    }
    return 0;
}

} // namespace

SortDescriptors enumerationSortDescriptors(const QString& sortMode) {
    if (sortMode == kSortModeName) return {{SortDescriptor::Key::displayName, true}};
    return {{SortDescriptor::Key::lastModified, false}};
}

SortDescriptors pickedSortDescriptors(const QString& sortMode) {
    if (sortMode == kSortModeDate)
        return {{SortDescriptor::Key::lastModified, false}, {SortDescriptor::Key::displayName, true}};
    if (sortMode == kSortModeName)
        return {{SortDescriptor::Key::displayName, true}, {SortDescriptor::Key::lastModified, false}};
    return {};
}

int compareRecords(const FileRepresentation& a, const FileRepresentation& b,
                   const SortDescriptors& descriptors) {
    for (const SortDescriptor& descriptor : descriptors) {
        const int order = compareKey(a, b, descriptor.key);
        if (order != 0) return descriptor.ascending ? order : -order;
    }
    return 0;
}

void sortRecords(FileRepList& records, const SortDescriptors& descriptors) {
    if (descriptors.empty()) return;
    std::stable_sort(records.begin(), records.end(), [&](const FileRep& a, const FileRep& b) {
        if (!a || !b) return a && !b;
        return compareRecords(*a, *b, descriptors) < 0;
    });
}

void sortChildren(FileRepList& children, const SortDescriptors& descriptors) {
    sortRecords(children, descriptors);
    for (const FileRep& child : children)
        if (child && child->hasChildren()) sortRecords(*child->children, descriptors);
}

} // namespace quillet
