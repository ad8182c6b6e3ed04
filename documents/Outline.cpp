#include "documents/Outline.h"

#include "documents/OutlineLines.h"
#include "engine/BlockScanners.h"

#include <algorithm>
#include <string_view>

namespace quillet {

namespace {

std::u16string_view view(QStringView text) {
    return {text.utf16(), static_cast<std::size_t>(text.size())};
}

QStringView slice(QStringView text, Range range) {
    return text.mid(static_cast<qsizetype>(range.location), static_cast<qsizetype>(range.length));
}

OutlineNode& childAt(OutlineNode& node, std::size_t index) {
    if (index < node.children.size() && node.children[index]) return *node.children[index];
    auto child = std::make_shared<OutlineNode>();
    if (index < node.children.size())
        node.children[index] = child;
    else
        node.children.push_back(child);
    return *child;
}

} // namespace

std::size_t updateOutline(OutlineNode& node, QStringView text, Range range, int depth) {
    const std::size_t size = static_cast<std::size_t>(text.size());
    std::size_t location = std::min(range.location, size);
    std::size_t remaining = std::min(range.length, size - location);
    const std::size_t start = location;
    std::size_t consumed = 0;
    std::size_t nextChild = 0;
    while (remaining > 0) {
        const TextLine line = lineStartingAt(text, location);
        const std::size_t width = std::min(line.range.length, remaining);
        const int level = lengthOfSequence(slice(text, line.range), u'#');
        if (level > 0 && level < depth) break; // the header belongs to an enclosing level
        if (level == 0) {
            location += width;
            remaining -= width;
            consumed += width;
            continue;
        }
        OutlineNode& child = childAt(node, nextChild++);
        child.depth = depth;
        child.headerString = slice(text, line.contents()).toString();
        child.headerRange = line.range;
        const std::size_t inner =
            updateOutline(child, text, Range{location + width, remaining - width}, level + 1);
        location += width + inner;
        remaining -= width + inner;
        consumed += width + inner;
    }
    node.children.resize(nextChild); // nodes left from an earlier, longer outline
    node.range = {start, consumed};
    return consumed;
}

void updateRoot(OutlineNode& root, QStringView text) {
    updateOutline(root, text, {0, static_cast<std::size_t>(text.size())}, 1);
}

OutlineNodeRef createOutline(QStringView text) {
    auto root = std::make_shared<OutlineNode>();
    if (!text.isEmpty()) updateRoot(*root, text);
    return root;
}

int lengthOfSequence(QStringView line, QChar key) {
    qsizetype count = 0;
    while (count < line.size() && line[count] == key)
        ++count;
    if (count == 0 || count == line.size()) return 0;
    if (line[count] != u' ' || count + 1 >= line.size()) return 0;
    if (isLineBreak(line[count + 1].unicode())) return 0;
    return static_cast<int>(count);
}

QString titleInLine(QStringView line, int sharpCount) {
    const qsizetype skip = static_cast<qsizetype>(std::max(sharpCount, 0)) + 1;
    if (line.size() <= skip) return QString();
    const QStringView rest = line.mid(skip);
    const std::size_t length = static_cast<std::size_t>(rest.size());
    if (length >= 3) {
        // A linear scan for the closing run: the equivalent ICU pattern is quadratic in the
        // line's length.
        const Range closing = scan::closingHashes(view(rest), {0, length});
        if (closing.found()) return rest.left(static_cast<qsizetype>(closing.location)).toString();
    }
    QStringView title = rest;
    if (title.endsWith(u"\r\n"))
        title.chop(2);
    else if (isLineBreak(title.back().unicode()))
        title.chop(1);
    return title.toString();
}

} // namespace quillet
