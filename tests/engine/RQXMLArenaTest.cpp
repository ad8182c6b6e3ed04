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
        auto paragraph = RQXMLElement::elementWithName(u"p");
        paragraph->addText(u"line " + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)));
        paragraph->addChild(RQXMLElement::elementWithName(u"em", u"x"));
        body->addChild(paragraph);
    }
    return body;
}

} // namespace

TEST(RQXMLArenaTest, ElementsOfAScopeComeFromItsArenaAndOutliveTheScope) {
    EXPECT_EQ(RQXMLArena::current(), nullptr);
    RQXMLElementRef body;
    {
        const RQXMLArenaScope scope;
        EXPECT_EQ(RQXMLArena::current(), &scope.arena());
        body = paragraphs(3000); // more elements than one slab holds; the last is "line j"
        EXPECT_GT(scope.arena().slabCount(), 1u);
    }
    EXPECT_EQ(RQXMLArena::current(), nullptr);
    // The tree stays whole after its scope has closed, and can still grow from the heap.
    body->addChild(RQXMLElement::elementWithName(u"hr"));
    const std::u16string html = body->XMLString();
    EXPECT_TRUE(html.starts_with(u"<body><p>line a<em>x</em></p><p>line b<em>x</em></p>"));
    EXPECT_TRUE(html.ends_with(u"<p>line j<em>x</em></p><hr/></body>"));
    EXPECT_EQ(body->children().size(), 3001u);
}

TEST(RQXMLArenaTest, AnElementDroppedDuringTheScopeGivesItsBlockToTheNext) {
    const RQXMLArenaScope scope;
    auto kept = RQXMLElement::elementWithName(u"p");
    const RQXMLElement* dropped = RQXMLElement::elementWithName(u"ul").get();
    auto next = RQXMLElement::elementWithName(u"li");
    EXPECT_EQ(next.get(), dropped);
    EXPECT_NE(next.get(), kept.get());
    EXPECT_EQ(next->name(), u"li");
    auto another = RQXMLElement::elementWithName(u"ol");
    EXPECT_NE(another.get(), next.get());
}

TEST(RQXMLArenaTest, ScopesNestAndEachTakesItsOwnElements) {
    RQXMLElementRef outer, inner, outerAgain;
    {
        const RQXMLArenaScope outerScope;
        outer = paragraphs(1);
        {
            const RQXMLArenaScope innerScope;
            EXPECT_EQ(RQXMLArena::current(), &innerScope.arena());
            inner = paragraphs(1);
            // A block dropped in the inner scope is not handed out by the outer one.
            RQXMLElement::elementWithName(u"hr");
        }
        EXPECT_EQ(RQXMLArena::current(), &outerScope.arena());
        outerAgain = RQXMLElement::elementWithName(u"hr");
        EXPECT_EQ(outerScope.arena().slabCount(), 1u);
    }
    outer.reset(); // the outer arena still serves `outerAgain`
    EXPECT_EQ(outerAgain->XMLString(), u"<hr/>");
    EXPECT_EQ(inner->XMLString(), u"<body><p>line a<em>x</em></p></body>");
}

TEST(RQXMLArenaTest, ATreeBuiltOnOneThreadCanBeDroppedOnAnother) {
    RQXMLElementRef body;
    std::thread builder([&body] {
        const RQXMLArenaScope scope;
        body = paragraphs(500);
    });
    builder.join();
    std::thread reader([&body] {
        EXPECT_EQ(body->children().size(), 500u);
        body.reset(); // the last element goes, and its arena with it
    });
    reader.join();
    EXPECT_EQ(body, nullptr);
    // Elements made outside any scope come from the heap and are unaffected.
    EXPECT_EQ(RQXMLElement::elementWithName(u"p", u"heap")->XMLString(), u"<p>heap</p>");
}

TEST(RQXMLArenaTest, ListsAndTextsOfAnArenaTreeStayWholeAfterTheScopeAndGrowFromTheHeap) {
    RQXMLElementRef code;
    {
        const RQXMLArenaScope scope;
        code = RQXMLElement::elementWithName(u"code", u"first\n");
        for (int i = 0; i < 100; ++i)
            code->textForAppending() += u"line\n";
    }
    // The text grows on past its arena block, from the heap.
    RQXMLTextAppender text = code->textForAppending();
    text.appendHtmlEscaped(u"a<b");
    text += u'\n';
    std::u16string expected = u"first\n";
    for (int i = 0; i < 100; ++i)
        expected += u"line\n";
    expected += u"a&lt;b\n";
    EXPECT_EQ(code->stringValue(), expected);
    ASSERT_EQ(code->children().size(), 1u);
}

TEST(RQXMLArenaTest, AnElementChangedInsideAnotherScopeDoesNotKeepItsDataThere) {
    RQXMLElementRef outer;
    {
        const RQXMLArenaScope outerScope;
        outer = RQXMLElement::elementWithName(u"p", u"a");
        {
            const RQXMLArenaScope innerScope;
            // The inner arena goes when its scope closes (it made no element): nothing of
            // `outer` may be left in it.
            for (int i = 0; i < 50; ++i)
                outer->addText(u"bcdefghijklmnopqrstuvwxyz");
            outer->textForAppending() += u"!";
        }
    }
    std::u16string expected = u"a";
    for (int i = 0; i < 50; ++i)
        expected += u"bcdefghijklmnopqrstuvwxyz";
    EXPECT_EQ(outer->stringValue(), expected + u"!");
    EXPECT_EQ(outer->children().size(), 51u);
}

TEST(RQXMLArenaTest, ACopiedChildOutlivesTheTreeItWasCopiedFrom) {
    RQXMLChild text, element;
    {
        const RQXMLArenaScope scope;
        auto body = paragraphs(2);
        text = body->firstChildElement()->children()[0];
        element = body->children()[1];
    }
    // The body and its arena are gone; the copies hold their own text and their element.
    EXPECT_EQ(text.text(), u"line a");
    EXPECT_EQ(element.XMLString(), u"<p>line b<em>x</em></p>");
    EXPECT_EQ(element.element()->parent(), nullptr);
}

TEST(RQXMLArenaTest, AttributesAndOwnNamesOfAnArenaElementOutliveTheScopeAndGrowFromTheHeap) {
    RQXMLElementRef link, custom;
    {
        const RQXMLArenaScope scope;
        link = RQXMLElement::elementWithName(u"a", u"t");
        link->setAttributesWithDictionary({{u"href", u"https://example.com/a-long-address"}});
        link->setAttributesWithString(u"title=\"x\"");
        custom = RQXMLElement::elementWithName(u"section-with-a-long-name");
    }
    // Added after the scope: from the heap, freed with the element.
    for (int i = 0; i < 5; ++i)
        link->addAttribute(u"data-" + std::u16string(1, char16_t(u'0' + i)), u"value");
    EXPECT_EQ(link->XMLString(),
              u"<a href=\"https://example.com/a-long-address\" data-0=\"value\" data-1=\"value\" "
              u"data-2=\"value\" data-3=\"value\" data-4=\"value\" title=\"x\">t</a>");
    EXPECT_EQ(custom->name(), u"section-with-a-long-name");
    EXPECT_EQ(custom->XMLString(), u"<section-with-a-long-name/>");
}
