// Registering only the definitions of a note must serve its conversion exactly as
// classifying every line does.

#include "HtmlTestSupport.h"

#include <gtest/gtest.h>
#include <random>

namespace quillet {
namespace {

std::u16string htmlAfterClassifyingEveryLine(std::u16string_view note) {
    MarkdownString engine;
    engine.createLocalLinkLables(note);
    return testing::bodyHtml(engine, note);
}

std::u16string htmlAfterRegisteringDefinitions(std::u16string_view note) {
    MarkdownString engine;
    engine.registerLinkDefinitions(note);
    return testing::bodyHtml(engine, note);
}

LinkLabelRef registered(std::u16string_view note, std::u16string_view label) {
    MarkdownString engine;
    engine.registerLinkDefinitions(note);
    return engine.labelDictForLabel(label);
}

TEST(LinkDefinitions, OnlyDefinitionsAreRegisteredAndTheLastOneWins) {
    const std::u16string note = u"[a][one] and [b][none]\n[one]: http://one \"First\"\n"
                                u"> 1. [two]: <http://two&x>\n[one]: http://one-again\n";
    MarkdownString engine;
    engine.registerLinkDefinitions(note);
    const LinkLabelRef one = engine.labelDictForLabel(u"one"), two = engine.labelDictForLabel(u"two");
    ASSERT_TRUE(one && two);
    EXPECT_EQ(one->urlString, u"http://one-again");
    EXPECT_EQ(one->options, std::nullopt);
    EXPECT_TRUE(one->references.empty());
    EXPECT_EQ(two->urlString, u"<http://two&amp;x>");
    EXPECT_FALSE(engine.labelDictForLabel(u"none")) << "a use makes no record here";
}

TEST(LinkDefinitions, RandomNotesConvertAlike) {
    // Labels, uses and markers in every order and nesting.
    static const std::u16string_view pieces[] = {
        u"[a]", u"[b]", u"[a][b]", u"[b][]", u"[c][a]", u": http://u", u": <v> \"t\"",
        u"- ",  u"> ",  u"1. ",    u"# ",    u"  ",     u"text",       u"&",
        u"<",   u"`",   u"*",      u"\n",    u"\n",     u"\n",         u"```\n"};
    std::mt19937 random(20261206);
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    int linked = 0;
    for (int round = 0; round < 400; ++round) {
        std::u16string note;
        for (int i = 0; i < 60; ++i)
            note += pieces[pick(random)];
        const std::u16string expected = htmlAfterClassifyingEveryLine(note);
        ASSERT_EQ(htmlAfterRegisteringDefinitions(note), expected) << ::testing::PrintToString(note);
        if (expected.find(u"href=") != std::u16string::npos) ++linked;
    }
    EXPECT_GT(linked, 40) << "the notes should resolve label links often";
}

// Lines are found from their "]:" eight units at a time, after a line terminator found the same
// way: a definition is found wherever its "]:" or the terminator before it falls in a block, even
// split across two, and lines around it that hold only a '[' or only a "]:" register nothing.
TEST(LinkDefinitions, DefinitionsAreFoundWhereverTheirColonOrTerminatorFalls) {
    for (std::size_t offset = 0; offset < 20; ++offset) {
        const std::u16string label = u"k" + std::u16string(offset, u'x');
        const std::u16string note = u"a [b] c\n" + std::u16string(offset % 9, u' ') + u"]: no\n[" + label +
                                    u"]: http://k\n" + std::u16string(offset, u'z') + u"[" + label + u"]:";
        MarkdownString engine;
        engine.registerLinkDefinitions(note);
        const LinkLabelRef found = engine.labelDictForLabel(label);
        ASSERT_TRUE(found) << offset;
        EXPECT_EQ(found->urlString, u"http://k") << "a label with no URL defines nothing, " << offset;
        EXPECT_EQ(engine.localLinkLabels().size(), 1u) << offset;

        const std::u16string before(offset, u'w');
        for (const std::u16string terminator :
             {u"\n", u"\r", u"\r\n", u"\v", u"\f", u"\u0085", u"\u2028", u"\u2029"}) {
            const LinkLabelRef defined = registered(before + terminator + u"[k]: http://k\n" + before, u"k");
            ASSERT_TRUE(defined) << "terminator " << int(terminator[0]) << " after " << offset << " units";
            EXPECT_EQ(defined->urlString, u"http://k");
        }
        // Characters next to the terminators in value do not end a line, and a definition in the
        // middle of a line is none; '&' and '<' anywhere before it do not hide it either.
        for (const char16_t neighbour : {u'\u0084', u'\u0086', u'\u2027', u'\u202A', u'\u000E', u'\t'})
            EXPECT_FALSE(registered(before + neighbour + u"[k]: http://k\n", u"k"))
                << int(neighbour) << " after " << offset;
        EXPECT_TRUE(registered(before + u"&<b>\n[k]: http://k&amp;\n", u"k")) << offset;
    }
}

} // namespace
} // namespace quillet
