// A body built as a stream hands over exactly the children the whole body would hold, in order,
// whatever the note's structure and the options; and that body is always well formed.

#include "HtmlTestSupport.h"
#include "engine/RQXMLArena.h"
#include "engine/RQXMLElement.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <vector>

namespace quillet {
namespace {

struct Streamed {
    std::u16string written;             // each child written when handed over, as the converter does
    std::vector<RQXMLChild> handedOver; // kept past the build, with their elements
    std::size_t handOvers = 0;
    std::set<const RQXMLArena*> arenas; // open while children were handed over
    RQXMLElementRef body;
};

Streamed streamed(const MarkdownOptions& options, std::u16string_view note) {
    MarkdownString engine;
    engine.setMarkdownOptions(options);
    Streamed result;
    result.body =
        engine.bodyElementFromString(note, std::nullopt, [&result](std::span<const RQXMLChild> children) {
            ++result.handOvers;
            result.arenas.insert(RQXMLArena::current());
            for (const RQXMLChild& child : children) {
                child.appendXMLString(result.written);
                result.handedOver.push_back(child);
            }
        });
    // What was still open at the end. A child handed over while a later line could still
    // change it shows here, as it would in the converter's output.
    for (const RQXMLChild& child : result.body->children())
        child.appendXMLString(result.written);
    return result;
}

// Equal texts, or where they part: bodies run to megabytes, too long to print whole.
::testing::AssertionResult sameHtml(std::u16string_view actual, std::u16string_view expected) {
    if (actual == expected) return ::testing::AssertionSuccess();
    const auto parted = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    return ::testing::AssertionFailure()
           << "the streamed body parts from the whole at " << parted.first - actual.begin();
}

// The shape every body has: list items only in lists and lists only of items, a "pre" holds one
// "code", and paragraphs, headers and code hold no blocks.
bool wellFormed(const RQXMLElement& element) {
    const auto name = element.name();
    const bool list = name == u"ul" || name == u"ol",
               holdsNoBlocks = name == u"p" || name == u"code" || (name.size() == 2 && name[0] == u'h');
    for (const RQXMLChild& child : element.children()) {
        const RQXMLElement* inner = child.element();
        if (list != (inner && inner->name() == u"li") && (list || inner)) return false;
        if (!inner) continue;
        const auto innerName = inner->name();
        const bool block = innerName == u"ul" || innerName == u"ol" || innerName == u"li" ||
                           innerName == u"blockquote" || innerName == u"p" || innerName == u"pre" ||
                           innerName == u"hr" || (innerName.size() == 2 && innerName[0] == u'h');
        if ((holdsNoBlocks && block) || (name == u"pre" && innerName != u"code") || !wellFormed(*inner))
            return false;
    }
    return true;
}

TEST(HtmlStreamingTest, RandomNotesStreamToTheWholeWellFormedBody) {
    // Lists, quotes, fences and HTML blocks that run across many lines, and blank lines that
    // step out of them, so that the open part of the body is sometimes deep and long.
    const std::u16string pieces[] = {u"- ",   u"\t",   u"> ",    u">",      u"1. ", u"3. ",    u"# ",
                                     u"```",  u"    ", u"<div>", u"</div>", u"*a*", u"[x](y)", u"---",
                                     u"text", u"\n",   u"\n",    u"\n",     u"`c`", u"\n\n",   u"    x\n"};
    std::mt19937 random(7);
    std::size_t handOvers = 0;
    for (int round = 0; round < 40; ++round) {
        std::u16string note;
        for (int i = 0; i < 3000; ++i)
            note += pieces[random() % std::size(pieces)];
        for (int variant = 0; variant < 4; ++variant) {
            MarkdownOptions options = MarkdownOptions::defaults();
            options.resetIndentByBlock = variant == 1;
            options.resetIndentByBlankline = variant == 2;
            options.resetIndentByHeader = variant != 3;
            const Streamed result = streamed(options, note);
            handOvers += result.handOvers;
            MarkdownString engine;
            engine.setMarkdownOptions(options);
            const RQXMLElementRef body = engine.bodyElementFromString(note, std::nullopt);
            std::u16string html;
            for (const RQXMLChild& child : body->children())
                child.appendXMLString(html);
            ASSERT_TRUE(wellFormed(*body)) << "round " << round << " variant " << variant;
            ASSERT_TRUE(sameHtml(result.written, html)) << "round " << round << " variant " << variant;
        }
    }
    EXPECT_GT(handOvers, 400u);
}

TEST(HtmlStreamingTest, FinishedChildrenLeaveTheBodyInBatchesAndStayValid) {
    // Long enough for the builder to move on to fresh arenas while the children handed over
    // from the earlier ones are still held here.
    std::u16string note;
    for (int i = 0; i < 30000; ++i)
        note +=
            u"# H\nparagraph *" + std::u16string(1, char16_t(u'a' + i % 26)) + u"*\n\n- item\n\t- inner\n";
    const Streamed result = streamed(MarkdownOptions::defaults(), note);
    EXPECT_GT(result.handOvers, 10u);
    EXPECT_GT(result.arenas.size(), 2u);
    // What stays in the body is what was still open, and no more than a batch.
    EXPECT_GE(result.body->children().size(), 1u);
    EXPECT_LT(result.body->children().size(), 200u);
    EXPECT_TRUE(sameHtml(result.written, testing::bodyHtml(MarkdownOptions::defaults(), note)));
    // The children kept must have stayed valid and unchanged, and keep no link to the body.
    std::u16string kept;
    for (const RQXMLChild& child : result.handedOver) {
        EXPECT_EQ(child.element()->parent(), nullptr);
        child.appendXMLString(kept);
    }
    for (const RQXMLChild& child : result.body->children())
        child.appendXMLString(kept);
    EXPECT_TRUE(sameHtml(kept, result.written));
}

TEST(HtmlStreamingTest, ALongOpenBlockIsHandedOverWhenItCloses) {
    std::u16string list;
    for (int i = 0; i < 3000; ++i)
        list += u"- item\n";
    std::u16string fence = u"```\n";
    for (int i = 0; i < 3000; ++i)
        fence += u"code <" + std::u16string(1, char16_t(u'0' + i % 10)) + u">\n";
    fence += u"```\nafter\n";
    for (const std::u16string& note : {list, fence, list + u"\n\n" + fence + list})
        EXPECT_TRUE(sameHtml(streamed(MarkdownOptions::defaults(), note).written,
                             testing::bodyHtml(MarkdownOptions::defaults(), note)));
}

} // namespace
} // namespace quillet
