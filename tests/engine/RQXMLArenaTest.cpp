// Elements made in an arena scope: what they hold must outlive the scope, whatever changes them
// later and wherever they are dropped.

#include "engine/RQXMLArena.h"

#include "engine/RQXMLElement.h"

#include <gtest/gtest.h>
#include <thread>

using namespace quillet;

namespace {

// A body with `count` paragraphs, each holding a text and an emphasis.
RQXMLElementRef paragraphs(int count) {
    auto body = RQXMLElement::elementWithName(u"body");
    for (int i = 0; i < count; ++i) {
        auto paragraph = RQXMLElement::elementWithName(u"p", u"line " + std::u16string(1, u'a' + i % 26));
        paragraph->addChild(RQXMLElement::elementWithName(u"em", u"x"));
        body->addChild(paragraph);
    }
    return body;
}

} // namespace

TEST(RQXMLArenaTest, ATreeOutlivesItsScopeAndGrowsFromTheHeap) {
    RQXMLElementRef body, code, link;
    RQXMLChild text, second;
    {
        const RQXMLArenaScope scope;
        EXPECT_EQ(RQXMLArena::current(), &scope.arena());
        body = paragraphs(3000); // more elements than one slab holds; the last is "line j"
        EXPECT_GT(scope.arena().slabCount(), 1u);
        text = body->firstChildElement()->children()[0];
        second = body->children()[1];
        code = RQXMLElement::elementWithName(u"code", u"first\n");
        for (int i = 0; i < 100; ++i)
            code->textForAppending() += u"line\n";
        link = RQXMLElement::elementWithName(u"a-long-own-name", u"t");
        link->setAttributesWithDictionary({{u"href", u"https://example.com/a-long-address"}});
        link->setAttributesWithString(u"title=x");
    }
    EXPECT_EQ(RQXMLArena::current(), nullptr);
    body->addChild(RQXMLElement::elementWithName(u"hr"));
    const std::u16string html = body->XMLString();
    EXPECT_TRUE(html.starts_with(u"<body><p>line a<em>x</em></p><p>line b<em>x</em></p>"));
    EXPECT_TRUE(html.ends_with(u"<p>line j<em>x</em></p><hr/></body>"));
    body.reset();
    EXPECT_EQ(text.text(), u"line a") << "a copied child holds its own text";
    EXPECT_EQ(second.XMLString(), u"<p>line b<em>x</em></p>");
    EXPECT_EQ(second.element()->parent(), nullptr);

    code->textForAppending().appendHtmlEscaped(u"a<b");
    EXPECT_EQ(code->stringValue().size(), 6 + 100 * 5 + 6);
    EXPECT_TRUE(code->stringValue().ends_with(u"line\nline\na&lt;b"));
    for (int i = 0; i < 5; ++i)
        link->addAttribute(u"data-" + std::u16string(1, char16_t(u'0' + i)), u"v");
    EXPECT_EQ(link->XMLString(),
              u"<a-long-own-name href=\"https://example.com/a-long-address\" data-0=\"v\" "
              u"data-1=\"v\" data-2=\"v\" data-3=\"v\" data-4=\"v\" title=x>t</a-long-own-name>");
}

TEST(RQXMLArenaTest, DroppedBlocksAreReusedOnlyByTheirOwnScope) {
    RQXMLElementRef outer, inner, outerAgain;
    {
        const RQXMLArenaScope outerScope;
        auto kept = RQXMLElement::elementWithName(u"p");
        const RQXMLElement* dropped = RQXMLElement::elementWithName(u"ul").get();
        outer = RQXMLElement::elementWithName(u"li");
        EXPECT_EQ(outer.get(), dropped);
        {
            const RQXMLArenaScope innerScope;
            inner = paragraphs(1);
            RQXMLElement::elementWithName(u"hr");
        }
        EXPECT_EQ(RQXMLArena::current(), &outerScope.arena());
        outerAgain = RQXMLElement::elementWithName(u"hr");
        EXPECT_EQ(outerScope.arena().slabCount(), 1u) << "the inner scope's dropped block is not handed out";
    }
    outer.reset(); // the outer arena still serves `outerAgain`
    EXPECT_EQ(outerAgain->XMLString(), u"<hr/>");
    EXPECT_EQ(inner->XMLString(), u"<body><p>line a<em>x</em></p></body>");
}

TEST(RQXMLArenaTest, AnElementChangedInsideAnotherScopeDoesNotKeepItsDataThere) {
    RQXMLElementRef outer;
    {
        const RQXMLArenaScope outerScope;
        outer = RQXMLElement::elementWithName(u"p", u"a");
        {
            // The inner arena goes when its scope closes (it made no element): nothing of
            // `outer` may be left in it.
            const RQXMLArenaScope innerScope;
            for (int i = 0; i < 50; ++i)
                outer->addText(u"bcdefghijklmnopqrstuvwxyz");
            outer->textForAppending() += u"!";
        }
    }
    EXPECT_EQ(outer->stringValue().size(), 1 + 50 * 25 + 1);
    EXPECT_TRUE(outer->stringValue().ends_with(u"xyzbcdefghijklmnopqrstuvwxyz!"));
}

TEST(RQXMLArenaTest, ATreeBuiltOnOneThreadCanBeDroppedOnAnother) {
    RQXMLElementRef body;
    std::thread([&body] {
        const RQXMLArenaScope scope;
        body = paragraphs(500);
    }).join();
    std::thread([&body] {
        EXPECT_EQ(body->children().size(), 500u);
        body.reset(); // the last element goes, and its arena with it
    }).join();
    EXPECT_EQ(RQXMLElement::elementWithName(u"p", u"heap")->XMLString(), u"<p>heap</p>");
}
