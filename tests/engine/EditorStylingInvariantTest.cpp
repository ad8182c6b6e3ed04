// After any sequence of edits, each followed by the restyling the editor asks for, every
// character carries exactly the attributes that a full restyle of the resulting text gives.

#include "EditorStylingTestSupport.h"

#include <random>
#include <sstream>

using namespace quillet;
using namespace quillet::testing;

namespace {

// The lines generated notes are made of, separated by '|'.
const std::vector<std::u16string> kLines = [] {
    const std::u16string_view all =
        u"plain text|*em* and **strong**|`code` here|~~strike~~ x|[t](http://x.org) y|[t][id] z|"
        u"[id]: http://d.org \"T\"|[ref]: local.html|- item|* item *em*|+ item|1. one|2. two|\t- nested|"
        u"\t\tdeep|> quote|>> deeper|> - mixed|- > inverse|# Header|## Sub ##|> # Quoted header|```|"
        u"```swift|~~~|    indented|<div>|</div>|<p>x</p>|---||||\t|a \\<b> c|![i](p.png)|**a *b* c**|"
        u"text\r|> \r";
    std::vector<std::u16string> lines;
    for (std::size_t at = 0, bar; at <= all.size(); at = bar + 1) {
        bar = std::min(all.find(u'|', at), all.size());
        lines.emplace_back(all.substr(at, bar - at));
    }
    return lines;
}();

const std::vector<std::u16string> kSnippets = {u"```\n", u"\n",      u"\t",     u"- ",    u"> ", u"# ",
                                               u" ",     u"<div>\n", u"</div>", u"*",     u"[",  u"]: ",
                                               u"x",     u"1. ",     u"\n\n",   u"~~~\n", u"\r"};

std::u16string generatedNote(std::mt19937& random) {
    std::u16string note;
    const int lines = 5 + static_cast<int>(random() % 30);
    for (int i = 0; i < lines; ++i)
        note += kLines[random() % kLines.size()] + u"\n";
    if (random() % 4 == 0) note.pop_back(); // no final line break
    return note;
}

struct Edit {
    Range range;
    std::u16string text;
};

Edit randomEdit(std::mt19937& random, const AttributedText& text) {
    const std::size_t length = text.length();
    const std::size_t position = length == 0 ? 0 : random() % (length + 1);
    const Range line = text.lineRange(position);
    switch (random() % 6) {
    case 0:
        return {{line.location, 0}, kLines[random() % kLines.size()] + u"\n"}; // a new line
    case 1:
        return {{position, 0}, kSnippets[random() % kSnippets.size()]}; // a marker, a break
    case 2:
        return {{line.location, 0}, kSnippets[random() % kSnippets.size()]}; // at a line start
    case 3:
        return {line, u""}; // a whole line
    case 4:
        return {line, kLines[random() % kLines.size()] + u"\n"}; // a line replaced
    default: {
        const std::size_t span = std::min<std::size_t>(1 + random() % 5, length - std::min(position, length));
        return {{position, span}, u""}; // a few characters
    }
    }
}

std::string describe(const TextAttributes& attributes) {
    std::ostringstream out;
    if (attributes.foregroundColor) out << "color " << textColorName(*attributes.foregroundColor) << ' ';
    out << "font " << attributes.font.id() << ' ';
    if (attributes.paragraphStyle)
        out << "indents " << attributes.paragraphStyle->headIndent << '/'
            << attributes.paragraphStyle->firstLineHeadIndent << ' ';
    if (attributes.baselineOffset) out << "baseline " << *attributes.baselineOffset << ' ';
    if (attributes.strikethroughStyle) out << "strike ";
    if (attributes.link) out << "link ";
    if (attributes.mdCodeParagraph) out << "code " << *attributes.mdCodeParagraph << ' ';
    if (attributes.mdHtmlBlock) out << "html " << *attributes.mdHtmlBlock << ' ';
    if (attributes.mdIndentDepth) out << "depth " << *attributes.mdIndentDepth << ' ';
    if (attributes.mdBlocks) out << "blocks " << attributes.mdBlocks->size() << ' ';
    if (attributes.mdBlockLinkLabel) out << "label ";
    return out.str();
}

std::string escaped(std::u16string_view text) {
    std::string out;
    for (char16_t c : text)
        out += c == u'\n'   ? "\\n"
               : c == u'\t' ? "\\t"
               : c == u'\r' ? "\\r"
                            : std::string(1, c < 0x80 ? char(c) : '?');
    return out;
}

// Compares every character's attributes with those a fresh full restyle gives.
::testing::AssertionResult matchesFullRestyle(const StyledNote& note, const MarkdownOptions& options) {
    const StyledNote fresh(note.text.string(), options);
    const auto actual = note.text.attributeRuns();
    const auto expected = fresh.text.attributeRuns();
    for (std::size_t i = 0; i < std::max(actual.size(), expected.size()); ++i) {
        if (i < actual.size() && i < expected.size() && actual[i].range == expected[i].range &&
            actual[i].attributes == expected[i].attributes)
            continue;
        std::size_t at = i < expected.size() ? expected[i].range.location : note.text.length();
        if (i < actual.size()) at = std::min(at, actual[i].range.location);
        const Range line = note.text.lineRange(at);
        std::u16string scratch;
        return ::testing::AssertionFailure()
               << "first difference at " << at << ", in line \""
               << escaped(note.text.characters(line, scratch)) << "\"\n  restyled:  " << describe(note.at(at))
               << "\n  full:      " << describe(fresh.at(at));
    }
    return ::testing::AssertionSuccess();
}

void runEditSequences(const MarkdownOptions& options, unsigned seed, int sequences, int editsPerSequence) {
    std::mt19937 random(seed);
    for (int sequence = 0; sequence < sequences; ++sequence) {
        StyledNote note(generatedNote(random), options);
        std::string history = "note \"" + escaped(note.text.string()) + "\"";
        for (int step = 0; step < editsPerSequence; ++step) {
            const Edit edit = randomEdit(random, note.text);
            history += "\n  replace " + edit.range.toString() + " with \"" + escaped(edit.text) + "\"";
            note.edit(edit.range, edit.text);
            ASSERT_TRUE(matchesFullRestyle(note, options)) << "seed " << seed << ", " << history;
        }
    }
}

} // namespace

TEST(EditorStylingInvariant, RandomEditsWithDefaultOptions) {
    runEditSequences(MarkdownOptions::defaults(), 1, 150, 30);
}

TEST(EditorStylingInvariant, RandomEditsWithBlankLinesResettingAndNormalLinesIndented) {
    runEditSequences(optionsWith([](MarkdownOptions& o) {
                         o.resetIndentByBlankline = true;
                         o.indentNormalLines = true;
                     }),
                     2, 100, 30);
}

TEST(EditorStylingInvariant, RandomEditsWithHeadersKeepingAndBlocksResettingTheNesting) {
    runEditSequences(optionsWith([](MarkdownOptions& o) {
                         o.resetIndentByHeader = false;
                         o.resetIndentByBlock = true;
                     }),
                     3, 100, 30);
}

TEST(EditorStylingInvariant, EditsBetweenACarriageReturnAndALineFeed) {
    // Parting or joining a CR LF pair changes the line the CR ends, which lies before the edit.
    const MarkdownOptions options = MarkdownOptions::defaults();
    StyledNote parted(u"> \r\n- a\r\n", options);
    parted.edit({3, 0}, u"x");
    EXPECT_TRUE(matchesFullRestyle(parted, options));
    parted.edit({3, 1}, u"");
    EXPECT_TRUE(matchesFullRestyle(parted, options));
    StyledNote joined(u"> \rx\n", options);
    joined.edit({3, 1}, u"");
    EXPECT_TRUE(matchesFullRestyle(joined, options));
}

TEST(EditorStylingInvariant, EditsThatChangeManyLinesBelow) {
    // The cases the usual stopping rule gets wrong: blocks opened and closed far above
    // long stretches of headers and blank lines.
    const std::u16string note = u"intro\n\n# A\ntext\n\n\n- item\n\t- sub\n\n\n# B\n<p>x</p>\n\n\nend\n";
    for (const std::u16string opener : {u"```\n", u"~~~\n", u"<div>\n", u"- \n", u">> x\n", u"\t- y\n"}) {
        StyledNote styled(note);
        styled.edit({0, 0}, opener);
        EXPECT_TRUE(matchesFullRestyle(styled, MarkdownOptions::defaults())) << escaped(opener);
        styled.edit({0, opener.size()}, u"");
        EXPECT_TRUE(matchesFullRestyle(styled, MarkdownOptions::defaults())) << escaped(opener);
        styled.edit({styled.line(4).location, 0}, opener);
        styled.edit({styled.line(9).location, 0}, opener);
        EXPECT_TRUE(matchesFullRestyle(styled, MarkdownOptions::defaults())) << escaped(opener);
    }
}
