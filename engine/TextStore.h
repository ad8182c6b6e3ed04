#pragma once
// TextStore: what the editor styling needs of the editor's text storage. The styling never
// changes a character; it reads the text line by line and sets attributes over ranges. A store
// may be costly to change (a document layout behind it), so the interface lets one call set or
// remove a whole group of attributes over a range, and reading the attributes at one position is
// expected to be cheap.
//
// Besides the platform's attributes (colour, font, paragraph style, baseline offset,
// strikethrough, link) a line carries the engine's own attributes, which hold the block state
// from one line into the next: "MD_CODE_PARAGRAPH", "MD_HTML_BLOCK", "MD_INDENT_DEPTH",
// "MD_BLOCKS" and, on the label of a link definition, "MD_BLOCK_LINKLABEL".

#include "engine/FontProvider.h"
#include "engine/Range.h"
#include "engine/Records.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {

// The platform's named colours the styling uses.
enum class TextColor : std::uint8_t {
    text,     // the standard text colour
    gray,     // white level 0.5
    darkGray, // white level 1/3
    // The code highlighter's colours (style sheets and scripts).
    orange,    // (1.0, 0.5, 0.0): tag names, script values
    purple,    // (0.5, 0.0, 0.5): script keywords
    darkRed,   // (0.8, 0.0, 0.0): double-quoted strings
    blue,      // (0.0, 0.0, 1.0): single-quoted strings
    darkGreen, // (0.0, 0.5, 0.0): comment blocks
};
// "text", "gray", "darkGray", "orange", "purple", "darkRed", "blue", "darkGreen"
std::string_view textColorName(TextColor color);

struct ParagraphStyle {
    double headIndent = 0;
    double firstLineHeadIndent = 0;
    double minimumLineHeight = 0;
    double maximumLineHeight = 0;
    std::vector<double> tabStops; // left-aligned stops, in points from the line start

    friend bool operator==(const ParagraphStyle&, const ParagraphStyle&) = default;
};

// The container stack of "MD_BLOCKS": list, decimallist, quote (and header), outermost first.
using BlockStack = std::vector<BlockType>;

// The custom attribute names, as the editor's storage keys them.
inline constexpr std::string_view kCodeParagraphAttribute = "MD_CODE_PARAGRAPH";
inline constexpr std::string_view kHtmlBlockAttribute = "MD_HTML_BLOCK";
inline constexpr std::string_view kIndentDepthAttribute = "MD_INDENT_DEPTH";
inline constexpr std::string_view kBlocksAttribute = "MD_BLOCKS";
inline constexpr std::string_view kLinkLabelAttribute = "MD_BLOCK_LINKLABEL";

// One bit per attribute, to name groups of attributes (for removal, for comparison).
enum AttributeKey : std::uint16_t {
    kForegroundColorKey = 1u << 0,
    kFontKey = 1u << 1,
    kParagraphStyleKey = 1u << 2,
    kBaselineOffsetKey = 1u << 3,
    kStrikethroughKey = 1u << 4,
    kLinkKey = 1u << 5,
    kCodeParagraphKey = 1u << 6,
    kHtmlBlockKey = 1u << 7,
    kIndentDepthKey = 1u << 8,
    kBlocksKey = 1u << 9,
    kLinkLabelKey = 1u << 10,
    kAllAttributeKeys = (1u << 11) - 1,
};
using AttributeKeys = std::uint16_t;

// The attributes of one character. An empty optional, a null font or a null pointer is an
// absent attribute. Large values are shared, never changed in place.
struct TextAttributes {
    std::optional<TextColor> foregroundColor;
    Font font;
    std::shared_ptr<const ParagraphStyle> paragraphStyle;
    std::optional<double> baselineOffset;
    std::optional<int> strikethroughStyle;
    std::shared_ptr<const std::u16string> link; // the URL text
    std::optional<int> mdCodeParagraph;         // 3 opening fence, 2 inside, 1 closing fence
    std::optional<int> mdHtmlBlock;             // 3 first line, 2 inside, 1 last line
    std::optional<long> mdIndentDepth;
    std::shared_ptr<const BlockStack> mdBlocks;
    std::shared_ptr<const std::u16string> mdBlockLinkLabel;

    // The keys present.
    AttributeKeys keys() const;
    // Every attribute present in `added` replaces its counterpart here, then every key in
    // `removed` is dropped.
    void apply(const TextAttributes& added, AttributeKeys removed);

    // Equal values, whether or not the values are shared.
    friend bool operator==(const TextAttributes& a, const TextAttributes& b);
};

// The block state a line hands to the next one: its "MD_CODE_PARAGRAPH", "MD_HTML_BLOCK",
// "MD_INDENT_DEPTH" and "MD_BLOCKS", as they stand on its first character.
struct CarriedState {
    std::optional<int> codeParagraph;
    std::optional<int> htmlBlock;
    std::optional<long> indentDepth;
    std::shared_ptr<const BlockStack> blocks;

    static CarriedState of(const TextAttributes& attributes);
    friend bool operator==(const CarriedState& a, const CarriedState& b);
};

struct FontRun {
    Range range;
    Font font; // null where the text has no font attribute

    friend bool operator==(const FontRun&, const FontRun&) = default;
};

class TextStore {
public:
    virtual ~TextStore() = default;

    // ---- The plain text ----
    virtual std::size_t length() const = 0;
    virtual char16_t characterAt(std::size_t index) const = 0;
    // The characters of `range`; the view may point into `scratch` when the store does not hold
    // them in one piece. Valid until the text or `scratch` changes.
    virtual std::u16string_view characters(Range range, std::u16string& scratch) const = 0;
    // The line that holds `position`, terminator included (see lineRangeIn).
    virtual Range lineRange(std::size_t position) const = 0;

    // ---- Attributes ----
    // The attributes at `position` (< length()); `effectiveRange`, when given, receives a range
    // around the position over which they do not change.
    virtual TextAttributes attributesAt(std::size_t position, Range* effectiveRange = nullptr) const = 0;
    // Replaces every attribute over `range`.
    virtual void setAttributes(Range range, const TextAttributes& attributes) = 0;
    // Adds (replacing) the attributes present in `added` and drops those in `removed`; the
    // others stay as they are.
    virtual void changeAttributes(Range range, const TextAttributes& added, AttributeKeys removed = 0) = 0;
    void addAttributes(Range range, const TextAttributes& added) { changeAttributes(range, added, 0); }
    void removeAttributes(Range range, AttributeKeys removed) { changeAttributes(range, {}, removed); }
    // The maximal runs of one font within `range`, in order, covering it.
    virtual std::vector<FontRun> fontRuns(Range range) const = 0;
    // Lets the text system substitute fonts for characters that the set font cannot show.
    virtual void fixFontAttributes(Range range) = 0;
};

// Lines as the platform's text system counts them: a line ends after LF, CR, CR LF, NEL (U+0085),
// LINE SEPARATOR (U+2028) or PARAGRAPH SEPARATOR (U+2029).
constexpr bool isLineTerminator(char16_t c) {
    return c == u'\n' || c == u'\r' || c == 0x0085 || c == 0x2028 || c == 0x2029;
}
// The line of `text` that holds `position`, terminator included. The LF of a CR LF belongs to
// the line the pair ends. At the end of the text: the last line, or an empty range at the end
// when the text is empty or ends with a terminator.
Range lineRangeIn(std::u16string_view text, std::size_t position);

} // namespace quillet
