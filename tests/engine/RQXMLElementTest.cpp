#include "engine/RQXMLElement.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

RQXMLElementRef element(std::u16string_view name) {
    return RQXMLElement::elementWithName(name);
}
RQXMLElementRef element(std::u16string_view name, std::u16string text) {
    return RQXMLElement::elementWithName(name, std::move(text));
}

TEST(RQXMLElementTest, WritesTagsAttributesAndLineBreaksAfterBlockLikeNames) {
    EXPECT_EQ(element(u"p", u"<b>&")->XMLString(), u"<p><b>&</p>") << "text is written unchanged";
    for (std::u16string_view name : {u"li", u"ul", u"ol", u"blockquote", u"h1", u"h6", u"head", u"html"})
        EXPECT_EQ(element(name, u"a")->XMLString(),
                  u"<" + std::u16string(name) + u">a</" + std::u16string(name) + u">\n");
    EXPECT_EQ(element(u"li")->XMLString(), u"<li/>");
    EXPECT_EQ(element(u"img", u"content")->XMLString(), u"<img>");

    auto link = element(u"a", u"t");
    link->setAttributesWithString(u"target=_blank ");
    EXPECT_EQ(link->XMLString(), u"<a>t</a>") << "raw attribute text needs a listed attribute";
    link->addAttribute(u"href", u"x");
    link->addAttribute(u"id", u"");
    EXPECT_EQ(link->XMLString(), u"<a href=\"x\" id=\"\" target=_blank>t</a>");
    link->setAttributesWithDictionary({{u"rel", u"next"}});
    EXPECT_EQ(link->XMLString(), u"<a rel=\"next\" target=_blank>t</a>") << "a dictionary replaces the list";
    // With attributes no line break follows, and empty content still gets a closing tag.
    auto item = element(u"li");
    item->setAttributesWithDictionary({{u"class", u"c"}});
    EXPECT_EQ(item->XMLString(), u"<li class=\"c\"></li>");
    // A nameless element writes its content only, and is empty when that content is.
    auto p = element(u"p");
    auto nameless = element(u"");
    nameless->addText(u"");
    p->addChild(nameless);
    EXPECT_EQ(p->XMLString(), u"<p/>");
    nameless->addChild(element(u"br"));
    EXPECT_EQ(p->XMLString(), u"<p><br/></p>");
}

TEST(RQXMLElementTest, AChildHasOneParentAndForgetsItWhenReplacedOrWhenTheParentGoes) {
    auto child = element(u"p", u"a");
    auto second = element(u"div");
    {
        auto first = element(u"div");
        first->addChild(child);
        EXPECT_EQ(child->level(), 1u);
        second->addChild(child);
        EXPECT_TRUE(second->children().empty()) << "an adopted element is left where it is";
        first->addChild(first);
        EXPECT_EQ(first->children().size(), 1u);
        // A list given to a new element lists an adopted child without taking it.
        auto other = RQXMLElement::elementWithName(u"section", {RQXMLChild(child), RQXMLChild(u"text")});
        EXPECT_EQ(other->XMLString(), u"<section><p>a</p>text</section>");
        EXPECT_EQ(child->parent(), first.get());
        first->setStringValue(u"plain");
        EXPECT_EQ(child->parent(), nullptr);
        EXPECT_EQ(first->XMLString(), u"<div>plain</div>");
        first->addChild(child);
    }
    EXPECT_EQ(child->parent(), nullptr) << "the parent is gone";
    EXPECT_EQ(child->level(), 0u);
}

TEST(RQXMLElementTest, DetachingAndRemovingLeadingChildrenKeepTheRestInOrder) {
    auto owner = element(u"div");
    owner->addText(u"t1");
    auto middle = element(u"p", u"m");
    auto twin = element(u"p", u"m");
    owner->addChild(middle);
    owner->addChild(twin);
    owner->addText(u"t2");
    middle->detach();
    middle->detach();
    EXPECT_EQ(owner->XMLString(), u"<div>t1<p>m</p>t2</div>") << "by identity, not by value";
    EXPECT_EQ(middle->parent(), nullptr);
    // Detaching an element whose only owner is its parent must not touch freed memory.
    owner->addChild(element(u"hr"));
    owner->lastChildElement()->detach();
    EXPECT_EQ(owner->XMLString(), u"<div>t1<p>m</p>t2</div>");

    owner->removeLeadingChildren(1);
    EXPECT_EQ(owner->XMLString(), u"<div><p>m</p>t2</div>");
    EXPECT_EQ(twin->parent(), owner.get());
    owner->removeLeadingChildren(10);
    EXPECT_TRUE(owner->children().empty());
    EXPECT_EQ(twin->parent(), nullptr) << "a removed child keeps no link to its old parent";
}

TEST(RQXMLElementTest, TextsAreAppendedEscapedAndReadInDocumentOrder) {
    auto code = element(u"code", u"a\n");
    RQXMLTextAppender text = code->textForAppending();
    text.reserveMore(64);
    text.appendHtmlEscaped(u"if (a < b && c > d)");
    text += u'\n';
    EXPECT_EQ(code->XMLString(), u"<code>a\nif (a &lt; b &amp;&amp; c &gt; d)\n</code>");
    EXPECT_EQ(code->children().size(), 1u) << "the last text child grows";
    // Plain runs are passed over eight units at a time: a '>' alone in one is still found.
    EXPECT_EQ(RQXMLElement::htmlEscapeString(u"&lt; a > b, and more"), u"&amp;lt; a &gt; b, and more");

    auto p = element(u"p");
    p->addText(u"a ");
    auto strong = element(u"strong");
    strong->addChild(element(u"em", u"b"));
    strong->addText(u"c");
    p->addChild(strong);
    p->textForAppending() += u" d";
    EXPECT_EQ(p->stringValue(), u"a bc d");

    // A copied child owns its text; an element child is shared.
    RQXMLChild copy = p->children()[0];
    p->setStringValue(u"other");
    EXPECT_EQ(copy.text(), u"a ");
    RQXMLChild shared(strong);
    EXPECT_EQ(RQXMLChild(shared).element(), strong.get());
}

TEST(RQXMLElementTest, DeepTreesAreWrittenMeasuredAndFreedWithoutRecursion) {
    constexpr std::size_t kDepth = 300000;
    auto root = element(u"blockquote");
    RQXMLElement* tip = root.get();
    for (std::size_t i = 1; i < kDepth; ++i) {
        auto next = element(u"blockquote");
        tip->addChild(next);
        tip = next.get();
    }
    tip->addText(u"x");
    EXPECT_EQ(tip->level(), kDepth - 1);
    EXPECT_EQ(root->stringValue(), u"x");
    const std::u16string xml = root->XMLString();
    const std::u16string open = u"<blockquote>", close = u"</blockquote>\n";
    ASSERT_EQ(xml.size(), kDepth * (open.size() + close.size()) + 1);
    EXPECT_EQ(xml.substr(kDepth * open.size(), 1), u"x");

    // A subtree held from outside survives the teardown, cut loose from its old parent.
    RQXMLElementRef middle = root->firstChildElement()->firstChildElement()->children()[0].elementRef();
    root.reset();
    EXPECT_EQ(middle->parent(), nullptr);
    EXPECT_EQ(middle->stringValue(), u"x");
}

TEST(RQXMLElementTest, AListedChildWhoseParentWentIsTornDownWithTheListAndSparesWhatIsHeld) {
    auto adopter = element(u"div");
    auto listed = element(u"p");
    auto held = element(u"em", u"y");
    listed->addChild(held);
    adopter->addChild(listed);
    auto list = RQXMLElement::elementWithName(u"section", {RQXMLChild(listed)});
    adopter.reset();
    listed.reset(); // only the list holds it now
    EXPECT_EQ(list->XMLString(), u"<section><p><em>y</em></p></section>");
    list.reset();
    EXPECT_EQ(held->parent(), nullptr);
    EXPECT_EQ(held->XMLString(), u"<em>y</em>");
}

} // namespace
} // namespace quillet
