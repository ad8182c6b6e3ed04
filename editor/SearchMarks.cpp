#include "editor/SearchMarks.h"

#include <algorithm>

namespace quillet {

void SearchMarks::mark(QStringView text, QStringView target) {
    ranges_.clear();
    if (target.isEmpty()) return;
    for (qsizetype found = text.indexOf(target, 0, Qt::CaseSensitive); found >= 0;
         found = text.indexOf(target, found + target.size(), Qt::CaseSensitive))
        ranges_.push_back({static_cast<std::size_t>(found), static_cast<std::size_t>(target.size())});
}

void SearchMarks::textReplaced(std::size_t from, std::size_t removed, std::size_t added) {
    const std::size_t removedEnd = from + removed;
    const auto moved = [&](std::size_t position, bool isStart) {
        if (position < from || (!isStart && position == from)) return position;
        if (position >= removedEnd) return position - removed + added;
        return isStart ? from + added : from;
    };
    std::vector<Range> kept;
    kept.reserve(ranges_.size());
    for (const Range& mark : ranges_) {
        const Range shifted = Range::fromBounds(moved(mark.location, true), moved(mark.end(), false));
        if (!shifted.empty()) kept.push_back(shifted);
    }
    ranges_ = std::move(kept);
}

std::vector<Range> SearchMarks::within(std::size_t start, std::size_t end) const {
    std::vector<Range> result;
    auto it =
        std::lower_bound(ranges_.begin(), ranges_.end(), start,
                         [](const Range& mark, std::size_t position) { return mark.end() <= position; });
    for (; it != ranges_.end() && it->location < end; ++it)
        result.push_back(Range::fromBounds(std::max(it->location, start), std::min(it->end(), end)));
    return result;
}

} // namespace quillet
