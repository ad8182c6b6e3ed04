// libFuzzer target: the editor styling under edits. The input is a note, optionally followed by a
// NUL byte and an edit script; the note is read as lenient UTF-8 (see LenientUtf8.h). The note is
// styled whole, then every edit of the script is made the way the editor makes it
// (preprocessMarkdown before, processMarkdown after), and the result must equal a full restyle
// of the final text, character by character. Without a script, edits are drawn from the bytes.
//
// Edit script: the first byte picks the options (one bit per flag), then 4 bytes per edit:
//   kind, position (2 bytes, little endian, taken modulo the text length + 1), argument.
#include "engine/AttributedText.h"
#include "engine/MarkdownString.h"
#include "fuzz/EngineChecks.h"
#include "fuzz/LenientUtf8.h"

#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

using namespace quillet;

constexpr std::size_t kMaxEdits = 48;

const std::u16string_view kPieces[] = {
    u"```\n",   u"~~~",    u"\n", u"\t",      u"- ",     u"* ",       u"1. ",
    u"> ",      u">> ",    u"# ", u"<div>\n", u"</div>", u"<p>x</p>", u"[id]: http://x.org \"t\"\n",
    u"[t][id]", u"*em*",   u"**", u"`",       u"[",      u"]: ",      u"    ",
    u"\r\n",    u"\u2028", u"x",  u"\n\n"};

struct Edit {
    Range range;
    std::u16string_view text;
};

Edit decodeEdit(const std::uint8_t* bytes, std::size_t length) {
    const std::size_t position = (bytes[1] | (bytes[2] << 8)) % (length + 1);
    const std::size_t argument = bytes[3];
    switch (bytes[0] % 4) {
    case 0:
        return {{position, 0}, kPieces[argument % std::size(kPieces)]};
    case 1:
        return {{position, std::min<std::size_t>(argument % 16, length - position)}, {}};
    case 2:
        return {{position, std::min<std::size_t>(argument % 4, length - position)}, kPieces[argument % 7]};
    default:
        return {{position, std::min<std::size_t>(1, length - position)},
                kPieces[argument % std::size(kPieces)]};
    }
}

MarkdownOptions decodeOptions(std::uint8_t bits) {
    MarkdownOptions options = MarkdownOptions::defaults();
    options.indentNormalLines = bits & 1;
    options.resetIndentByBlankline = bits & 2;
    options.resetIndentByHeader = !(bits & 4);
    options.resetIndentByBlock = bits & 8;
    options.indentWidthByChars = 1 + (bits >> 4) % 4;
    return options;
}

struct Styler {
    InMemoryFontProvider fonts;
    MarkdownString engine;
    AttributedText text;

    Styler(std::u16string_view note, const MarkdownOptions& options) : text(note) {
        engine.setMarkdownOptions(options);
        engine.setMarkdownFont(fonts.font(u"Regular", 15), fonts);
        engine.processMarkdown(text, {0, text.length()});
    }

    void edit(const Edit& edit) {
        engine.preprocessMarkdown(text, edit.range);
        text.replaceCharacters(edit.range, edit.text);
        const Range restyled = engine.processMarkdown(text, {edit.range.location, edit.text.size()});
        if (restyled.location != edit.range.location || restyled.end() > text.length())
            fail("restyled range");
    }

    [[noreturn]] static void fail(const char* what) {
        std::fprintf(stderr, "styling_fuzzer: %s\n", what);
        std::abort();
    }
};

void checkAgainstFullRestyle(const Styler& edited, const MarkdownOptions& options) {
    if (!edited.text.isConsistent()) Styler::fail("the text store's runs do not add up");
    const Styler fresh(edited.text.string(), options);
    const auto actual = edited.text.attributeRuns();
    const auto expected = fresh.text.attributeRuns();
    if (actual.size() != expected.size()) Styler::fail("run count differs from a full restyle");
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (actual[i].range != expected[i].range || !(actual[i].attributes == expected[i].attributes))
            Styler::fail("attributes differ from a full restyle");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t* end = data + size;
    const std::uint8_t* separator = std::find(data, end, 0);
    const std::u16string note = fuzz::decodeLenientUtf8(data, static_cast<std::size_t>(separator - data));

    // The script, or one drawn from the bytes when there is none.
    std::vector<std::uint8_t> script(separator == end ? end : separator + 1, end);
    if (separator == end) {
        std::mt19937_64 random(fuzz::choiceFromBytes(data, size));
        script.resize(1 + 4 * (random() % 12));
        for (auto& byte : script)
            byte = static_cast<std::uint8_t>(random());
    }
    if (script.empty()) script.push_back(0);

    const MarkdownOptions options = decodeOptions(script[0]);
    Styler styler(note, options);
    for (std::size_t at = 1, edits = 0; at + 4 <= script.size() && edits < kMaxEdits; at += 4, ++edits)
        styler.edit(decodeEdit(&script[at], styler.text.length()));
    checkAgainstFullRestyle(styler, options);
    return 0;
}
