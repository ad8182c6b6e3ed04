#pragma once
// Sorting records by keys: strings by plain, case-sensitive UTF-16 comparison (capitals before
// small letters), dates chronologically. A record that lacks the key comes before those that
// have it in ascending order (after them in descending order). Sorts are stable.

#include "browser/FileRepresentation.h"

#include <QString>
#include <vector>

namespace quillet {

struct SortDescriptor {
    enum class Key { displayName, filename, lastModified, creationDate };
    Key key;
    bool ascending;

    friend bool operator==(SortDescriptor, SortDescriptor) = default;
};

using SortDescriptors = std::vector<SortDescriptor>;

// The sort modes the browser offers.
inline const QString kSortModeDate = QStringLiteral("Date");
inline const QString kSortModeName = QStringLiteral("Name");

// The one descriptor applied after an enumeration: "Name" sorts by display name ascending, any
// other mode by modification date, newest first.
SortDescriptors enumerationSortDescriptors(const QString& sortMode);
// The two descriptors of a mode the user picks; none for a mode that is neither "Date" nor "Name".
SortDescriptors pickedSortDescriptors(const QString& sortMode);

// Negative, zero or positive as `a` orders before, with or after `b`.
int compareRecords(const FileRepresentation& a, const FileRepresentation& b,
                   const SortDescriptors& descriptors);

// Sorts the list in place (null entries last).
void sortRecords(FileRepList& records, const SortDescriptors& descriptors);

// Sorts the list, then the "children" of each entry that has any: two levels, no deeper.
void sortChildren(FileRepList& children, const SortDescriptors& descriptors);

} // namespace quillet
