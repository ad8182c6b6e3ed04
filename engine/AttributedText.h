#pragma once
// In-memory stand-ins for the editor's text system, used by the converter, the tests and the
// benchmarks: AttributedText, a TextStore that keeps its text in chunks and its attributes as
// runs of shared attribute sets, and InMemoryFontProvider, a font provider of fixed-width fonts.

#include "engine/FontProvider.h"
#include "engine/TextStore.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace quillet {

class AttributePool;

// Text of any size with run-length attributes. The text is held in chunks of at most a few
// thousand code units, so an edit moves little text; each chunk holds the runs over its own
// characters, so an edit shifts no run outside its chunk. Every distinct combination of
// attributes is stored once and runs refer to it.
class AttributedText final : public TextStore {
public:
    AttributedText();
    // `text` with `attributes` over all of it.
    explicit AttributedText(std::u16string_view text, const TextAttributes& attributes = {});
    ~AttributedText() override;
    AttributedText(const AttributedText&) = delete;
    AttributedText& operator=(const AttributedText&) = delete;

    // ---- TextStore ----
    std::size_t length() const override { return length_; }
    char16_t characterAt(std::size_t index) const override;
    std::u16string_view characters(Range range, std::u16string& scratch) const override;
    Range lineRange(std::size_t position) const override;
    TextAttributes attributesAt(std::size_t position, Range* effectiveRange = nullptr) const override;
    void setAttributes(Range range, const TextAttributes& attributes) override;
    void changeAttributes(Range range, const TextAttributes& added, AttributeKeys removed = 0) override;
    std::vector<FontRun> fontRuns(Range range) const override;
    // Every font shows every character here: nothing to repair.
    void fixFontAttributes(Range) override {}

    // ---- Editing ----
    // Replaces the characters of `range` with `text`. The new characters take the attributes of
    // the first replaced character; when nothing is replaced, those of the character before the
    // range, or at the start of the text, of the character after it.
    void replaceCharacters(Range range, std::u16string_view text);
    std::u16string string() const;

    // ---- Inspection ----
    struct AttributeRun {
        Range range;
        TextAttributes attributes;
    };
    // The maximal runs of equal attributes within `range`, in order, covering it.
    std::vector<AttributeRun> attributeRuns(Range range) const;
    std::vector<AttributeRun> attributeRuns() const { return attributeRuns({0, length_}); }
    // How many distinct attribute sets have been stored so far.
    std::size_t attributeSetCount() const;
    std::size_t chunkCount() const { return chunks_.size(); }
    // The internal bookkeeping agrees with itself: run lengths add up to each chunk's text,
    // no run is empty, neighbouring runs of a chunk differ, no chunk is empty or oversized
    // (except the one chunk of an empty text).
    bool isConsistent() const;

private:
    using SetId = std::uint32_t;
    struct Run {
        std::uint32_t length;
        SetId set;
    };
    struct Chunk {
        std::u16string text;
        std::vector<Run> runs;
    };
    struct Place {
        std::size_t chunk;
        std::size_t offset;
    };

    std::size_t chunkStart(std::size_t chunk) const;
    // The chunk and offset of `position` (<= length); a position on a chunk boundary is placed
    // at the start of the later chunk, the end of the text at the end of the last chunk.
    Place locate(std::size_t position) const;
    void invalidateStartsFrom(std::size_t chunk);
    SetId setIdAt(std::size_t position) const;
    void insert(std::size_t position, std::u16string_view text, SetId set);
    void erase(Range range);
    void splitOversizedChunk(std::size_t chunk);
    template <typename Visit> void forEachChunkPiece(Range range, Visit visit);
    template <typename Visit> void forEachRunPiece(Range range, Visit visit) const;
    template <typename Transform> void transformRuns(Range range, Transform transform);

    static std::size_t splitRunAt(Chunk& chunk, std::size_t offset);
    static void mergeRuns(Chunk& chunk, std::size_t from, std::size_t to);

    std::vector<Chunk> chunks_;
    mutable std::vector<std::size_t> starts_; // start of each chunk, valid below validStarts_
    mutable std::size_t validStarts_ = 0;
    mutable std::size_t lastChunk_ = 0; // the chunk found last, tried first
    std::size_t length_ = 0;
    std::unique_ptr<AttributePool> pool_;
};

// Fonts held in memory: every UTF-16 code unit is `characterWidth` points wide in every font,
// and every family has a regular, a bold, an italic and a bold italic member. Fonts are interned:
// the same family, style and size always give the same handle.
class InMemoryFontProvider final : public FontProvider {
public:
    explicit InMemoryFontProvider(double characterWidth = 10.0, std::u16string fixedPitchFamily = u"Mono");

    // The regular member of `family` at `pointSize`.
    Font font(std::u16string_view family, double pointSize);

    // A tab advances to the next multiple of `tabInterval`, or of 4 characters when the interval
    // is not positive.
    double textWidth(std::u16string_view text, Font font, double tabInterval) const override;
    // The italic trait asks for an italic member; the bold trait, or a weight of 8 or more, for
    // a bold one.
    std::optional<Font> fontInFamily(Font font, unsigned traits, int weight) override;
    Font fixedPitchFont(double pointSize) override;
    double pointSize(Font font) const override;
    // "Family", "Family Bold", "Family Italic" or "Family Bold Italic".
    std::u16string fontName(Font font) const override;
    // A quarter of the point size below the baseline.
    double descender(Font font) const override;

    double characterWidth() const { return characterWidth_; }

private:
    struct Face {
        std::u16string family;
        unsigned traits = 0;
        double pointSize = 0;
    };
    Font intern(const Face& face);
    const Face* face(Font font) const;

    double characterWidth_;
    std::u16string fixedPitchFamily_;
    std::vector<Face> faces_; // handle id - 1 -> face
    std::map<std::tuple<std::u16string, unsigned, double>, Font> handles_;
};

} // namespace quillet
