#include "engine/CommentBlocks.h"

#include <algorithm>

namespace quillet {

void CommentBlocks::setMarkers(std::u16string opening, std::u16string closing) {
    opening_ = std::move(opening);
    closing_ = std::move(closing);
    markers_.clear();
}

// Appends the markers found on `line`; whether the walk is inside a block follows from how many
// markers precede. A marker that ends the text counts, even with no line break after it.
void CommentBlocks::scanLine(const TextStore& text, Range line, std::vector<std::size_t>& markers,
                             std::u16string& scratch) const {
    if (line.empty() || opening_.empty()) return;
    const std::u16string_view characters = text.characters(line, scratch);
    std::size_t offset = 0;
    while (offset < characters.size()) {
        const std::u16string& marker = markerAfter(markers.size());
        const std::size_t found = characters.find(marker, offset);
        if (found == std::u16string_view::npos) return;
        markers.push_back(line.location + found);
        offset = found + marker.size();
    }
}

void CommentBlocks::rebuild(const TextStore& text) {
    markers_.clear();
    std::u16string scratch;
    for (std::size_t position = 0; position < text.length();) {
        const Range line = text.lineRange(position);
        if (line.empty()) break;
        scanLine(text, line, markers_, scratch);
        position = line.end();
    }
}

Range CommentBlocks::update(const TextStore& text, std::size_t location, std::size_t removed,
                            std::size_t added) {
    const std::size_t length = text.length();
    location = std::min(location, length);
    const std::size_t editedEnd = std::min(location + added, length);
    const std::size_t firstLine = text.lineRange(location).location;
    const auto shifted = [&](std::size_t oldPosition) { return oldPosition + added - removed; };

    // Markers above the edited lines stand; the walk resumes from the first edited line.
    const std::size_t kept = static_cast<std::size_t>(
        std::lower_bound(markers_.begin(), markers_.end(), firstLine) - markers_.begin());
    const bool wasClosed = kept % 2 == 1 && kept < markers_.size();
    std::vector<std::size_t> rescanned(markers_.begin(),
                                       markers_.begin() + static_cast<std::ptrdiff_t>(kept));
    std::u16string scratch;
    std::size_t position = firstLine;
    do {
        const Range line = text.lineRange(position);
        if (line.empty()) break;
        scanLine(text, line, rescanned, scratch);
        position = line.end();
    } while (position <= editedEnd && position < length);

    // Below the edit, the old markers hold again from the first line where the walk is in the
    // state it was in before.
    std::size_t resumed = markers_.size();
    while (position < length) {
        const std::size_t oldPosition = position + removed - added;
        resumed = static_cast<std::size_t>(std::lower_bound(markers_.begin(), markers_.end(), oldPosition) -
                                           markers_.begin());
        if (resumed % 2 == rescanned.size() % 2) break;
        const Range line = text.lineRange(position);
        if (line.empty()) break;
        scanLine(text, line, rescanned, scratch);
        position = line.end();
        resumed = markers_.size();
    }
    for (std::size_t index = resumed; index < markers_.size(); ++index)
        rescanned.push_back(shifted(markers_[index]));
    markers_ = std::move(rescanned);

    // A block open at the first edited line that became closed or unclosed changes colour as a
    // whole.
    std::size_t restyleStart = firstLine;
    const bool isClosed = kept % 2 == 1 && kept < markers_.size();
    if (kept % 2 == 1 && isClosed != wasClosed) restyleStart = text.lineRange(markers_[kept - 1]).location;
    return Range::fromBounds(restyleStart, std::max(position, editedEnd));
}

std::vector<Range> CommentBlocks::closedBlocks(Range within) const {
    std::vector<Range> blocks;
    const std::size_t withinEnd = within.location + std::min(within.length, kNotFound - within.location);
    // The first block that may reach `within`: the one whose closing marker ends after its start.
    const std::size_t reach = within.location >= closing_.size() ? within.location - closing_.size() + 1 : 0;
    std::size_t first = static_cast<std::size_t>(std::lower_bound(markers_.begin(), markers_.end(), reach) -
                                                 markers_.begin());
    first -= first % 2;
    for (std::size_t index = first; index + 1 < markers_.size(); index += 2) {
        const Range block = Range::fromBounds(markers_[index], markers_[index + 1] + closing_.size());
        if (block.location >= withinEnd) break;
        if (block.end() > within.location) blocks.push_back(block);
    }
    return blocks;
}

std::optional<std::size_t> CommentBlocks::unclosedStart() const {
    if (markers_.size() % 2 == 0) return std::nullopt;
    return markers_.back();
}

} // namespace quillet
