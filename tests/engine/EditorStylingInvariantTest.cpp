// After any sequence of edits, each followed by the restyling the editor asks for, every
// character carries exactly the attributes that a full restyle of the resulting text gives.

#include "EditorStylingTestSupport.h"

#include <random>

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
    const std::u16string newLine = kLines[random() % kLines.size()] + u"\n";
    const std::u16string& snippet = kSnippets[random() % kSnippets.size()];
    switch (random() % 6) {
    case 0:
        return {{line.location, 0}, newLine};
    case 1:
        return {{position, 0}, snippet}; // a marker, a break
    case 2:
        return {{line.location, 0}, snippet};
    case 3:
        return {line, u""};
    case 4:
        return {line, newLine};
    default: {
        const std::size_t span = std::min<std::size_t>(1 + random() % 5, length - std::min(position, length));
        return {{position, span}, u""}; // a few characters
    }
    }
}

// Compares every character's attributes with those a fresh full restyle gives.
::testing::AssertionResult matchesFullRestyle(const StyledNote& note, const MarkdownOptions& options) {
    const StyledNote fresh(note.text.string(), options);
    const auto actual = note.text.attributeRuns(), expected = fresh.text.attributeRuns();
    for (std::size_t i = 0; i < std::min(actual.size(), expected.size()); ++i)
        if (actual[i].range != expected[i].range || !(actual[i].attributes == expected[i].attributes))
            return ::testing::AssertionFailure()
                   << "differs from a full restyle at " << actual[i].range.location;
    if (actual.size() == expected.size()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "run counts differ from a full restyle";
}

void runEditSequences(const MarkdownOptions& options, unsigned seed, int sequences, int editsPerSequence) {
    std::mt19937 random(seed);
    for (int sequence = 0; sequence < sequences; ++sequence) {
        StyledNote note(generatedNote(random), options);
        for (int step = 0; step < editsPerSequence; ++step) {
            const Edit edit = randomEdit(random, note.text);
            note.edit(edit.range, edit.text);
            ASSERT_TRUE(matchesFullRestyle(note, options))
                << "seed " << seed << ", sequence " << sequence << ", step " << step;
        }
    }
}

} // namespace

TEST(EditorStylingInvariant, RandomEditsUnderEachOptionSet) {
    const std::pair<void (*)(MarkdownOptions&), int> variants[] = {
        {[](MarkdownOptions&) {}, 150},
        {[](MarkdownOptions& o) { o.resetIndentByBlankline = o.indentNormalLines = true; }, 100},
        {[](MarkdownOptions& o) { o.resetIndentByHeader = false, o.resetIndentByBlock = true; }, 100},
    };
    for (unsigned seed = 1; const auto& [change, sequences] : variants)
        runEditSequences(optionsWith(change), seed++, sequences, 30);
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
