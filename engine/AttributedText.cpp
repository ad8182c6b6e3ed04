#include "engine/AttributedText.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <deque>
#include <functional>
#include <unordered_set>

namespace quillet {

namespace {

// Chunks grow to kMaxChunk code units; a larger one is cut into pieces of kChunkPiece.
constexpr std::size_t kMaxChunk = 1024;
constexpr std::size_t kChunkPiece = 512;

void combineHash(std::size_t& seed, std::size_t value) {
    seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

struct ValueHash {
    std::size_t operator()(const ParagraphStyle& style) const {
        std::size_t seed = 0;
        for (double value :
             {style.headIndent, style.firstLineHeadIndent, style.minimumLineHeight, style.maximumLineHeight})
            combineHash(seed, std::hash<double>{}(value));
        for (double stop : style.tabStops)
            combineHash(seed, std::hash<double>{}(stop));
        return seed;
    }
    std::size_t operator()(const std::u16string& text) const { return std::hash<std::u16string>{}(text); }
    std::size_t operator()(const BlockStack& stack) const {
        std::size_t seed = stack.size();
        for (BlockType type : stack)
            combineHash(seed, static_cast<std::size_t>(type));
        return seed;
    }
};

// One shared instance per distinct value.
template <typename T> class ValuePool {
public:
    std::shared_ptr<const T> canonical(const std::shared_ptr<const T>& value) {
        if (!value || members_.contains(value.get())) return value;
        const auto [member, added] = values_.insert(value);
        if (added) members_.insert(value.get());
        return *member;
    }

private:
    struct Hash {
        std::size_t operator()(const std::shared_ptr<const T>& value) const { return ValueHash{}(*value); }
    };
    struct Equal {
        bool operator()(const std::shared_ptr<const T>& a, const std::shared_ptr<const T>& b) const {
            return *a == *b;
        }
    };
    std::unordered_set<std::shared_ptr<const T>, Hash, Equal> values_;
    std::unordered_set<const T*> members_; // the objects in values_, found without hashing values
};

} // namespace

// Every distinct attribute set, stored once, known by a small id (0 is the empty set). The
// shared values inside a stored set are themselves pooled, so two stored sets are equal exactly
// when their shared values are the same objects and their plain values are equal.
class AttributePool {
public:
    using Id = std::uint32_t;

    AttributePool() { intern(TextAttributes{}); }
    AttributePool(const AttributePool&) = delete;
    AttributePool& operator=(const AttributePool&) = delete;

    const TextAttributes& at(Id id) const { return sets_[id]; }
    std::size_t size() const { return sets_.size(); }

    // `attributes` with its shared values replaced by the pooled ones.
    TextAttributes canonical(const TextAttributes& attributes) {
        TextAttributes result = attributes;
        result.paragraphStyle = styles_.canonical(attributes.paragraphStyle);
        result.link = strings_.canonical(attributes.link);
        result.mdBlocks = stacks_.canonical(attributes.mdBlocks);
        result.mdBlockLinkLabel = strings_.canonical(attributes.mdBlockLinkLabel);
        return result;
    }

    // The id of a canonical set, storing it when new.
    Id intern(const TextAttributes& attributes) {
        const std::size_t hash = hashOf(attributes);
        if (const auto found = ids_.find(Probe{&attributes, hash}); found != ids_.end()) return *found;
        sets_.push_back(attributes);
        hashes_.push_back(hash);
        const Id id = static_cast<Id>(sets_.size() - 1);
        ids_.insert(id);
        return id;
    }

private:
    static std::size_t hashOf(const TextAttributes& a) {
        std::size_t seed = a.keys();
        if (a.foregroundColor) combineHash(seed, static_cast<std::size_t>(*a.foregroundColor));
        combineHash(seed, a.font.id());
        combineHash(seed, std::hash<const void*>{}(a.paragraphStyle.get()));
        if (a.baselineOffset) combineHash(seed, std::hash<double>{}(*a.baselineOffset));
        if (a.strikethroughStyle) combineHash(seed, static_cast<std::size_t>(*a.strikethroughStyle));
        combineHash(seed, std::hash<const void*>{}(a.link.get()));
        if (a.mdCodeParagraph) combineHash(seed, static_cast<std::size_t>(*a.mdCodeParagraph));
        if (a.mdHtmlBlock) combineHash(seed, static_cast<std::size_t>(*a.mdHtmlBlock));
        if (a.mdIndentDepth) combineHash(seed, static_cast<std::size_t>(*a.mdIndentDepth));
        combineHash(seed, std::hash<const void*>{}(a.mdBlocks.get()));
        combineHash(seed, std::hash<const void*>{}(a.mdBlockLinkLabel.get()));
        return seed;
    }

    static bool sameCanonical(const TextAttributes& a, const TextAttributes& b) {
        return a.foregroundColor == b.foregroundColor && a.font == b.font &&
               a.paragraphStyle == b.paragraphStyle && a.baselineOffset == b.baselineOffset &&
               a.strikethroughStyle == b.strikethroughStyle && a.link == b.link &&
               a.mdCodeParagraph == b.mdCodeParagraph && a.mdHtmlBlock == b.mdHtmlBlock &&
               a.mdIndentDepth == b.mdIndentDepth && a.mdBlocks == b.mdBlocks &&
               a.mdBlockLinkLabel == b.mdBlockLinkLabel;
    }

    // A set looked up before it has an id.
    struct Probe {
        const TextAttributes* attributes;
        std::size_t hash;
    };
    struct IdHash {
        using is_transparent = void;
        const AttributePool* pool;
        std::size_t operator()(Id id) const { return pool->hashes_[id]; }
        std::size_t operator()(const Probe& probe) const { return probe.hash; }
    };
    struct IdEqual {
        using is_transparent = void;
        const AttributePool* pool;
        bool operator()(Id a, Id b) const { return a == b; }
        bool operator()(const Probe& probe, Id id) const {
            return sameCanonical(*probe.attributes, pool->sets_[id]);
        }
        bool operator()(Id id, const Probe& probe) const {
            return sameCanonical(*probe.attributes, pool->sets_[id]);
        }
    };

    std::deque<TextAttributes> sets_;
    std::vector<std::size_t> hashes_;
    std::unordered_set<Id, IdHash, IdEqual> ids_{64, IdHash{this}, IdEqual{this}};
    ValuePool<ParagraphStyle> styles_;
    ValuePool<std::u16string> strings_;
    ValuePool<BlockStack> stacks_;
};

// ---- Construction ----

AttributedText::AttributedText() : chunks_(1), starts_(1, 0), pool_(std::make_unique<AttributePool>()) {}

AttributedText::AttributedText(std::u16string_view text, const TextAttributes& attributes)
    : AttributedText() {
    insert(0, text, pool_->intern(pool_->canonical(attributes)));
}

AttributedText::~AttributedText() = default;

// ---- Finding places ----

std::size_t AttributedText::chunkStart(std::size_t chunk) const {
    if (chunk >= validStarts_) {
        starts_.resize(chunks_.size());
        std::size_t start =
            validStarts_ == 0 ? 0 : starts_[validStarts_ - 1] + chunks_[validStarts_ - 1].text.size();
        for (std::size_t i = validStarts_; i < chunks_.size(); ++i) {
            starts_[i] = start;
            start += chunks_[i].text.size();
        }
        validStarts_ = chunks_.size();
    }
    return starts_[chunk];
}

void AttributedText::invalidateStartsFrom(std::size_t chunk) {
    validStarts_ = std::min(validStarts_, chunk);
    lastChunk_ = 0;
}

AttributedText::Place AttributedText::locate(std::size_t position) const {
    assert(position <= length_);
    const std::size_t last = chunks_.size() - 1;
    if (position == length_) return {last, chunks_[last].text.size()};
    if (lastChunk_ < chunks_.size()) {
        const std::size_t start = chunkStart(lastChunk_);
        if (position >= start && position < start + chunks_[lastChunk_].text.size())
            return {lastChunk_, position - start};
    }
    chunkStart(last); // brings every start up to date
    const auto after = std::upper_bound(starts_.begin(), starts_.end(), position);
    const std::size_t chunk = static_cast<std::size_t>(after - starts_.begin()) - 1;
    lastChunk_ = chunk;
    return {chunk, position - starts_[chunk]};
}

std::size_t AttributedText::splitRunAt(Chunk& chunk, std::size_t offset) {
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < chunk.runs.size(); ++i) {
        const std::size_t runEnd = runStart + chunk.runs[i].length;
        if (offset == runStart) return i;
        if (offset < runEnd) {
            const Run tail{static_cast<std::uint32_t>(runEnd - offset), chunk.runs[i].set};
            chunk.runs[i].length = static_cast<std::uint32_t>(offset - runStart);
            chunk.runs.insert(chunk.runs.begin() + static_cast<std::ptrdiff_t>(i) + 1, tail);
            return i + 1;
        }
        runStart = runEnd;
    }
    return chunk.runs.size();
}

void AttributedText::mergeRuns(Chunk& chunk, std::size_t from, std::size_t to) {
    to = std::min(to, chunk.runs.size());
    if (from >= to) return;
    std::size_t kept = from;
    for (std::size_t i = from + 1; i < to; ++i) {
        if (chunk.runs[i].set == chunk.runs[kept].set) {
            chunk.runs[kept].length += chunk.runs[i].length;
        } else {
            chunk.runs[++kept] = chunk.runs[i];
        }
    }
    chunk.runs.erase(chunk.runs.begin() + static_cast<std::ptrdiff_t>(kept) + 1,
                     chunk.runs.begin() + static_cast<std::ptrdiff_t>(to));
}

AttributedText::SetId AttributedText::setIdAt(std::size_t position) const {
    const Place place = locate(position);
    std::size_t runStart = 0;
    for (const Run& run : chunks_[place.chunk].runs) {
        if (place.offset < runStart + run.length) return run.set;
        runStart += run.length;
    }
    return 0;
}

template <typename Visit> void AttributedText::forEachChunkPiece(Range range, Visit visit) {
    if (range.empty()) return;
    Place place = locate(range.location);
    std::size_t remaining = range.length;
    while (remaining > 0) {
        Chunk& chunk = chunks_[place.chunk];
        const std::size_t take = std::min(remaining, chunk.text.size() - place.offset);
        visit(chunk, place.offset, place.offset + take);
        remaining -= take;
        place = {place.chunk + 1, 0};
    }
}

template <typename Visit> void AttributedText::forEachRunPiece(Range range, Visit visit) const {
    range.length = std::min(range.length, length_ - std::min(range.location, length_));
    if (range.empty()) return;
    Place place = locate(range.location);
    std::size_t position = range.location;
    while (position < range.end()) {
        const Chunk& chunk = chunks_[place.chunk];
        std::size_t runStart = 0;
        for (const Run& run : chunk.runs) {
            const std::size_t runEnd = runStart + run.length;
            if (runEnd > place.offset && position < range.end()) {
                const std::size_t take = std::min(runEnd - place.offset, range.end() - position);
                visit(Range{position, take}, run.set);
                position += take;
                place.offset += take;
            }
            runStart = runEnd;
        }
        place = {place.chunk + 1, 0};
    }
}

template <typename Transform> void AttributedText::transformRuns(Range range, Transform transform) {
    range.length = std::min(range.length, length_ - std::min(range.location, length_));
    forEachChunkPiece(range, [&](Chunk& chunk, std::size_t from, std::size_t to) {
        const std::size_t first = splitRunAt(chunk, from);
        const std::size_t last = splitRunAt(chunk, to);
        for (std::size_t i = first; i < last; ++i)
            chunk.runs[i].set = transform(chunk.runs[i].set);
        mergeRuns(chunk, first > 0 ? first - 1 : 0, last + 1);
    });
}

// ---- Text ----

char16_t AttributedText::characterAt(std::size_t index) const {
    const Place place = locate(index);
    return chunks_[place.chunk].text[place.offset];
}

std::u16string_view AttributedText::characters(Range range, std::u16string& scratch) const {
    range.location = std::min(range.location, length_);
    range.length = std::min(range.length, length_ - range.location);
    if (range.empty()) return {};
    const Place place = locate(range.location);
    const std::u16string& first = chunks_[place.chunk].text;
    if (place.offset + range.length <= first.size())
        return std::u16string_view(first).substr(place.offset, range.length);
    scratch.clear();
    scratch.reserve(range.length);
    std::size_t chunk = place.chunk;
    std::size_t offset = place.offset;
    while (scratch.size() < range.length) {
        const std::u16string& text = chunks_[chunk].text;
        const std::size_t take = std::min(range.length - scratch.size(), text.size() - offset);
        scratch.append(text, offset, take);
        ++chunk;
        offset = 0;
    }
    return scratch;
}

Range AttributedText::lineRange(std::size_t position) const {
    position = std::min(position, length_);
    std::size_t start = position;
    if (start > 0 && start < length_ && characterAt(start) == u'\n' && characterAt(start - 1) == u'\r')
        --start;

    // Back to the character after the previous terminator.
    std::size_t lineStart = 0;
    for (Place place = locate(start);;) {
        const std::u16string& text = chunks_[place.chunk].text;
        std::size_t k = place.offset;
        while (k > 0 && !isLineTerminator(text[k - 1]))
            --k;
        if (k > 0) {
            lineStart = chunkStart(place.chunk) + k;
            break;
        }
        if (place.chunk == 0) break;
        place = {place.chunk - 1, chunks_[place.chunk - 1].text.size()};
    }

    // On to the first terminator, and past it.
    std::size_t lineEnd = length_;
    for (Place place = locate(start); place.chunk < chunks_.size(); place = {place.chunk + 1, 0}) {
        const std::u16string& text = chunks_[place.chunk].text;
        std::size_t k = place.offset;
        while (k < text.size() && !isLineTerminator(text[k]))
            ++k;
        if (k < text.size()) {
            lineEnd = chunkStart(place.chunk) + k;
            break;
        }
    }
    if (lineEnd < length_) {
        const bool crLf =
            characterAt(lineEnd) == u'\r' && lineEnd + 1 < length_ && characterAt(lineEnd + 1) == u'\n';
        lineEnd += crLf ? 2 : 1;
    }
    return Range::fromBounds(lineStart, lineEnd);
}

std::u16string AttributedText::string() const {
    std::u16string text;
    text.reserve(length_);
    for (const Chunk& chunk : chunks_)
        text += chunk.text;
    return text;
}

// ---- Editing ----

void AttributedText::replaceCharacters(Range range, std::u16string_view text) {
    range.location = std::min(range.location, length_);
    range.length = std::min(range.length, length_ - range.location);
    SetId inherited = 0;
    if (!range.empty()) {
        inherited = setIdAt(range.location);
    } else if (range.location > 0) {
        inherited = setIdAt(range.location - 1);
    } else if (length_ > 0) {
        inherited = setIdAt(0);
    }
    erase(range);
    insert(range.location, text, inherited);
}

void AttributedText::erase(Range range) {
    if (range.empty()) return;
    const std::size_t firstChunk = locate(range.location).chunk;
    forEachChunkPiece(range, [](Chunk& chunk, std::size_t from, std::size_t to) {
        const std::size_t first = splitRunAt(chunk, from);
        const std::size_t last = splitRunAt(chunk, to);
        chunk.runs.erase(chunk.runs.begin() + static_cast<std::ptrdiff_t>(first),
                         chunk.runs.begin() + static_cast<std::ptrdiff_t>(last));
        mergeRuns(chunk, first > 0 ? first - 1 : 0, first + 1);
        chunk.text.erase(from, to - from);
    });
    length_ -= range.length;
    std::erase_if(chunks_, [](const Chunk& chunk) { return chunk.text.empty(); });
    if (chunks_.empty()) chunks_.emplace_back();
    invalidateStartsFrom(firstChunk);
}

void AttributedText::insert(std::size_t position, std::u16string_view text, SetId set) {
    if (text.empty()) return;
    Place place = locate(position);
    // Grow the chunk that ends at the position rather than the one that starts there.
    if (place.offset == 0 && place.chunk > 0) place = {place.chunk - 1, chunks_[place.chunk - 1].text.size()};
    Chunk& chunk = chunks_[place.chunk];
    const std::size_t at = splitRunAt(chunk, place.offset);
    chunk.runs.insert(chunk.runs.begin() + static_cast<std::ptrdiff_t>(at),
                      Run{static_cast<std::uint32_t>(text.size()), set});
    mergeRuns(chunk, at > 0 ? at - 1 : 0, at + 2);
    chunk.text.insert(place.offset, text);
    length_ += text.size();
    invalidateStartsFrom(place.chunk + 1);
    if (chunk.text.size() > kMaxChunk) splitOversizedChunk(place.chunk);
}

void AttributedText::splitOversizedChunk(std::size_t index) {
    Chunk whole = std::move(chunks_[index]);
    std::vector<Chunk> pieces;
    std::size_t run = 0;
    std::size_t runUsed = 0; // code units of whole.runs[run] already given to earlier pieces
    for (std::size_t offset = 0; offset < whole.text.size(); offset += kChunkPiece) {
        Chunk piece;
        piece.text = whole.text.substr(offset, kChunkPiece);
        std::size_t needed = piece.text.size();
        while (needed > 0) {
            const std::size_t take = std::min<std::size_t>(needed, whole.runs[run].length - runUsed);
            piece.runs.push_back({static_cast<std::uint32_t>(take), whole.runs[run].set});
            needed -= take;
            runUsed += take;
            if (runUsed == whole.runs[run].length) {
                ++run;
                runUsed = 0;
            }
        }
        pieces.push_back(std::move(piece));
    }
    chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(index));
    chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(index),
                   std::make_move_iterator(pieces.begin()), std::make_move_iterator(pieces.end()));
    invalidateStartsFrom(index);
}

// ---- Attributes ----

TextAttributes AttributedText::attributesAt(std::size_t position, Range* effectiveRange) const {
    if (position >= length_) {
        if (effectiveRange) *effectiveRange = {length_, 0};
        return {};
    }
    const Place place = locate(position);
    std::size_t runStart = 0;
    for (const Run& run : chunks_[place.chunk].runs) {
        if (place.offset < runStart + run.length) {
            if (effectiveRange) *effectiveRange = {position - place.offset + runStart, run.length};
            return pool_->at(run.set);
        }
        runStart += run.length;
    }
    return {};
}

void AttributedText::setAttributes(Range range, const TextAttributes& attributes) {
    const SetId set = pool_->intern(pool_->canonical(attributes));
    transformRuns(range, [set](SetId) { return set; });
}

void AttributedText::changeAttributes(Range range, const TextAttributes& added, AttributeKeys removed) {
    const TextAttributes canonicalAdded = pool_->canonical(added);
    // The runs of one range share few sets: remember what each became.
    std::vector<std::pair<SetId, SetId>> changed;
    transformRuns(range, [&](SetId set) {
        for (const auto& [from, to] : changed)
            if (from == set) return to;
        TextAttributes attributes = pool_->at(set);
        attributes.apply(canonicalAdded, removed);
        const SetId result = pool_->intern(attributes);
        changed.emplace_back(set, result);
        return result;
    });
}

std::vector<FontRun> AttributedText::fontRuns(Range range) const {
    std::vector<FontRun> runs;
    forEachRunPiece(range, [&](Range piece, SetId set) {
        const Font font = pool_->at(set).font;
        if (!runs.empty() && runs.back().font == font) {
            runs.back().range.length += piece.length;
        } else {
            runs.push_back({piece, font});
        }
    });
    return runs;
}

std::vector<AttributedText::AttributeRun> AttributedText::attributeRuns(Range range) const {
    std::vector<AttributeRun> runs;
    SetId lastSet = 0;
    forEachRunPiece(range, [&](Range piece, SetId set) {
        if (!runs.empty() && lastSet == set) {
            runs.back().range.length += piece.length;
        } else {
            runs.push_back({piece, pool_->at(set)});
            lastSet = set;
        }
    });
    return runs;
}

std::size_t AttributedText::attributeSetCount() const {
    return pool_->size();
}

bool AttributedText::isConsistent() const {
    std::size_t total = 0;
    for (const Chunk& chunk : chunks_) {
        if (chunk.text.empty() && chunks_.size() > 1) return false;
        if (chunk.text.size() > kMaxChunk) return false;
        std::size_t runTotal = 0;
        for (std::size_t i = 0; i < chunk.runs.size(); ++i) {
            if (chunk.runs[i].length == 0) return false;
            if (i > 0 && chunk.runs[i].set == chunk.runs[i - 1].set) return false;
            if (chunk.runs[i].set >= pool_->size()) return false;
            runTotal += chunk.runs[i].length;
        }
        if (runTotal != chunk.text.size()) return false;
        total += chunk.text.size();
    }
    return total == length_;
}

// ---- InMemoryFontProvider ----

InMemoryFontProvider::InMemoryFontProvider(double characterWidth, std::u16string fixedPitchFamily)
    : characterWidth_(characterWidth), fixedPitchFamily_(std::move(fixedPitchFamily)) {}

Font InMemoryFontProvider::intern(const Face& face) {
    const auto key = std::make_tuple(face.family, face.traits, face.pointSize);
    if (auto found = handles_.find(key); found != handles_.end()) return found->second;
    faces_.push_back(face);
    const Font font(static_cast<std::uint32_t>(faces_.size()));
    handles_.emplace(key, font);
    return font;
}

const InMemoryFontProvider::Face* InMemoryFontProvider::face(Font font) const {
    if (font.isNull() || font.id() > faces_.size()) return nullptr;
    return &faces_[font.id() - 1];
}

Font InMemoryFontProvider::font(std::u16string_view family, double pointSize) {
    return intern({std::u16string(family), 0, pointSize});
}

double InMemoryFontProvider::textWidth(std::u16string_view text, Font, double tabInterval) const {
    if (tabInterval <= 0) tabInterval = 4 * characterWidth_;
    double width = 0;
    for (char16_t c : text) {
        width = c == u'\t' ? (std::floor(width / tabInterval) + 1) * tabInterval : width + characterWidth_;
    }
    return width;
}

std::optional<Font> InMemoryFontProvider::fontInFamily(Font font, unsigned traits, int weight) {
    const Face* base = face(font);
    if (!base) return std::nullopt;
    unsigned style = 0;
    if (traits & kItalicTrait) style |= kItalicTrait;
    if ((traits & kBoldTrait) || weight >= 8) style |= kBoldTrait;
    return intern({base->family, style, base->pointSize});
}

Font InMemoryFontProvider::fixedPitchFont(double pointSize) {
    return intern({fixedPitchFamily_, 0, pointSize});
}

double InMemoryFontProvider::pointSize(Font font) const {
    const Face* found = face(font);
    return found ? found->pointSize : 0;
}

std::u16string InMemoryFontProvider::fontName(Font font) const {
    const Face* found = face(font);
    if (!found) return {};
    std::u16string name = found->family;
    if (found->traits & kBoldTrait) name += u" Bold";
    if (found->traits & kItalicTrait) name += u" Italic";
    return name;
}

double InMemoryFontProvider::descender(Font font) const {
    return -0.25 * pointSize(font);
}

} // namespace quillet
