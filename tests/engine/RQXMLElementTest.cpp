#include "engine/RQXMLElement.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

RQXMLElementRef element(std::u16string_view name, std::u16string text) {
    return RQXMLElement::elementWithName(name, std::move(text));
}

TEST(RQXMLElementTest, WritesTagsWithLineBreaksOnlyAfterBlockLikeNames) {
    EXPECT_EQ(element(u"p", u"a")->XMLString(), u"<p>a</p>");
    EXPECT_EQ(element(u"em", u"a")->XMLString(), u"<em>a</em>");
    for (std::u16string_view name : {u"li", u"ul", u"ol", u"blockquote", u"h1", u"h6", u"head", u"html"}) {
        EXPECT_EQ(element(name, u"a")->XMLString(),
                  u"<" + std::u16string(name) + u">a</" + std::u16string(name) + u">\n")
            << std::string(name.begin(), name.end());
    }
    EXPECT_EQ(RQXMLElement::elementWithName(u"hr")->XMLString(), u"<hr/>");
    EXPECT_EQ(element(u"li", u"")->XMLString(), u"<li/>");
}

TEST(RQXMLElementTest, WritesTextChildrenUnchangedAndNamelessNodesAsContentOnly) {
    EXPECT_EQ(element(u"p", u"<b>&")->XMLString(), u"<p><b>&</p>");
    auto text = RQXMLElement::textWithStringValue(u"x < y");
    EXPECT_FALSE(text->hasName());
    EXPECT_EQ(text->XMLString(), u"x < y");

    auto list = RQXMLElement::elementWithName(u"ul");
    auto item = RQXMLElement::elementWithName(u"li");
    item->addChild(element(u"p", u"a"));
    item->addChild(RQXMLElement::textWithStringValue(u"<div>\n"));
    list->addChild(item);
    EXPECT_EQ(list->XMLString(), u"<ul><li><p>a</p><div>\n</li>\n</ul>\n");
}

TEST(RQXMLElementTest, ContentIsEmptyOnlyWhenNamelessDescendantsHoldNothing) {
    auto p = RQXMLElement::elementWithName(u"p");
    p->addChild(RQXMLElement::textWithStringValue(u""));
    EXPECT_EQ(p->XMLString(), u"<p/>");

    auto wrapper = RQXMLElement::elementWithName(u"p");
    auto nameless = RQXMLElement::elementWithName(u"");
    nameless->addChild(RQXMLElement::elementWithName(u"br"));
    wrapper->addChild(nameless);
    EXPECT_EQ(wrapper->XMLString(), u"<p><br/></p>");
}

TEST(RQXMLElementTest, WritesAttributesInInsertionOrderWithTheRawTextLast) {
    auto link = element(u"a", u"t");
    link->setAttributesWithDictionary({{u"href", u"x\"y"}, {u"id", u"1"}});
    EXPECT_EQ(link->XMLString(), u"<a href=\"x\"y\" id=\"1\">t</a>");

    link->setAttributesWithString(u"target=_blank ");
    EXPECT_EQ(link->XMLString(), u"<a href=\"x\"y\" id=\"1\" target=_blank>t</a>");

    // With attributes no line break follows, and empty content still gets a closing tag.
    auto item = RQXMLElement::elementWithName(u"li");
    item->setAttributesWithDictionary({{u"class", u"c"}});
    EXPECT_EQ(item->XMLString(), u"<li class=\"c\"></li>");
}

TEST(RQXMLElementTest, RawAttributeTextNeedsAtLeastOneListedAttribute) {
    auto onlyRaw = element(u"a", u"t");
    onlyRaw->setAttributesWithString(u"target=_blank");
    EXPECT_EQ(onlyRaw->XMLString(), u"<a>t</a>");

    auto emptyList = element(u"a", u"t");
    emptyList->setAttributesWithDictionary({});
    emptyList->setAttributesWithString(u"target=_blank");
    EXPECT_TRUE(emptyList->attributes().has_value());
    EXPECT_EQ(emptyList->XMLString(), u"<a>t</a>");
    EXPECT_FALSE(RQXMLElement::elementWithName(u"a")->attributes().has_value());
}

TEST(RQXMLElementTest, AttributesAreAddedInOrderAndADictionaryReplacesThem) {
    auto link = element(u"a", u"t");
    link->addAttribute(u"href", u"x");
    link->addAttribute(u"id", u"");
    link->addAttribute(u"class", u"c");
    ASSERT_TRUE(link->attributes().has_value());
    const std::vector<RQXMLAttributeView> added(link->attributes()->begin(), link->attributes()->end());
    EXPECT_EQ(added, (std::vector<RQXMLAttributeView>{{u"href", u"x"}, {u"id", u""}, {u"class", u"c"}}));
    EXPECT_EQ(link->XMLString(), u"<a href=\"x\" id=\"\" class=\"c\">t</a>");
    link->setAttributesWithDictionary({{u"rel", u"next"}});
    EXPECT_EQ(link->XMLString(), u"<a rel=\"next\">t</a>");
    link->setAttributesWithDictionary({});
    EXPECT_TRUE(link->attributes()->empty());
    EXPECT_EQ(link->XMLString(), u"<a>t</a>");
}

TEST(RQXMLElementTest, ImageIsATagWithoutContentOrClosingTag) {
    auto image = element(u"img", u"alt text");
    image->setAttributesWithDictionary({{u"src", u"a.png"}, {u"alt", u"x"}});
    image->setAttributesWithString(u"width=3");
    EXPECT_EQ(image->XMLString(), u"<img src=\"a.png\" alt=\"x\" width=3>");
    EXPECT_EQ(RQXMLElement::elementWithName(u"img")->XMLString(), u"<img>");
    EXPECT_EQ(element(u"img", u"content")->XMLString(), u"<img>");
}

TEST(RQXMLElementTest, AddChildSetsTheParentAndLeavesAdoptedElementsAlone) {
    auto first = RQXMLElement::elementWithName(u"div");
    auto second = RQXMLElement::elementWithName(u"div");
    auto child = element(u"p", u"a");
    first->addChild(child);
    EXPECT_EQ(child->parent(), first.get());
    EXPECT_EQ(child->level(), 1u);

    second->addChild(child);
    EXPECT_TRUE(second->children().empty());
    EXPECT_EQ(first->children().size(), 1u);
    EXPECT_EQ(child->parent(), first.get());

    first->addChild(first);
    EXPECT_EQ(first->children().size(), 1u);
    EXPECT_EQ(first->parent(), nullptr);
}

TEST(RQXMLElementTest, SetChildrenListsEveryChildButKeepsTheFirstParent) {
    auto owner = RQXMLElement::elementWithName(u"div");
    auto adopted = element(u"p", u"a");
    owner->addChild(adopted);
    auto fresh = element(u"p", u"b");

    auto other = RQXMLElement::elementWithName(u"section",
                                               {RQXMLChild(adopted), RQXMLChild(u"text"), RQXMLChild(fresh)});
    ASSERT_EQ(other->children().size(), 3u);
    EXPECT_EQ(other->children()[1].text(), u"text");
    EXPECT_EQ(adopted->parent(), owner.get());
    EXPECT_EQ(fresh->parent(), other.get());
    EXPECT_EQ(other->XMLString(), u"<section><p>a</p>text<p>b</p></section>");
    EXPECT_EQ(other->stringValue(), u"atextb");
}

TEST(RQXMLElementTest, ReplacedChildrenLoseTheirLinkToTheOldParent) {
    auto child = element(u"p", u"a");
    {
        auto owner = RQXMLElement::elementWithName(u"div");
        owner->addChild(child);
        owner->setStringValue(u"plain");
        EXPECT_EQ(child->parent(), nullptr);
        EXPECT_EQ(owner->XMLString(), u"<div>plain</div>");
        owner->setXMLString(u"<b>x</b>");
        EXPECT_EQ(owner->XMLString(), u"<div><b>x</b></div>");
        owner->addChild(child);
    }
    // The parent is gone; the child that outlives it does not point at it.
    EXPECT_EQ(child->parent(), nullptr);
    EXPECT_EQ(child->level(), 0u);
}

TEST(RQXMLElementTest, DetachRemovesTheElementByIdentity) {
    auto owner = RQXMLElement::elementWithName(u"div");
    auto a = element(u"p", u"a");
    auto b = element(u"p", u"a");
    owner->addChild(a);
    owner->addChild(b);
    a->detach();
    ASSERT_EQ(owner->children().size(), 1u);
    EXPECT_EQ(owner->children()[0].element(), b.get());
    EXPECT_EQ(a->parent(), nullptr);
    a->detach();
    EXPECT_EQ(owner->children().size(), 1u);

    // Detaching an element whose only owner is its parent must not touch freed memory.
    owner->addChild(RQXMLElement::elementWithName(u"hr"));
    owner->lastChildElement()->detach();
    EXPECT_EQ(owner->XMLString(), u"<div><p>a</p></div>");
}

TEST(RQXMLElementTest, StringValueConcatenatesTextInDocumentOrder) {
    auto p = RQXMLElement::elementWithName(u"p");
    p->addChild(RQXMLElement::textWithStringValue(u"a "));
    auto strong = RQXMLElement::elementWithName(u"strong");
    strong->addChild(element(u"em", u"b"));
    strong->addChild(RQXMLElement::textWithStringValue(u"c"));
    p->addChild(strong);
    p->addChild(RQXMLElement::textWithStringValue(u" d"));
    strong->setAttributesWithDictionary({{u"class", u"ignored"}});
    EXPECT_EQ(p->stringValue(), u"a bc d");
}

TEST(RQXMLElementTest, TextForAppendingGrowsTheLastTextChild) {
    auto code = element(u"code", u"a\n");
    code->textForAppending() += u"b\n";
    EXPECT_EQ(code->XMLString(), u"<code>a\nb\n</code>");
    ASSERT_EQ(code->children().size(), 1u);

    auto pre = RQXMLElement::elementWithName(u"pre");
    pre->addChild(RQXMLElement::elementWithName(u"hr"));
    pre->textForAppending() += u"tail";
    EXPECT_EQ(pre->XMLString(), u"<pre><hr/>tail</pre>");
}

TEST(RQXMLElementTest, TextForAppendingEscapesAndReservesWithoutChangingTheText) {
    auto code = RQXMLElement::elementWithName(u"code");
    RQXMLTextAppender text = code->textForAppending();
    text.reserveMore(64);
    EXPECT_EQ(text.view(), u"");
    text.appendHtmlEscaped(u"if (a < b && c > d)");
    text += u'\n';
    text.appendHtmlEscaped(u"plain");
    EXPECT_EQ(code->XMLString(), u"<code>if (a &lt; b &amp;&amp; c &gt; d)\nplain</code>");
    EXPECT_EQ(code->children().size(), 1u);
}

TEST(RQXMLElementTest, DetachKeepsTheOrderOfTheOtherChildren) {
    auto owner = RQXMLElement::elementWithName(u"div");
    owner->addText(u"t1");
    auto middle = element(u"p", u"m");
    owner->addChild(middle);
    owner->addText(u"t2");
    owner->addChild(element(u"p", u"z"));
    middle->detach();
    EXPECT_EQ(owner->XMLString(), u"<div>t1t2<p>z</p></div>");
    EXPECT_EQ(middle->XMLString(), u"<p>m</p>");
}

TEST(RQXMLElementTest, RemovingLeadingChildrenKeepsTheRestInOrder) {
    auto owner = RQXMLElement::elementWithName(u"div");
    auto first = element(u"p", u"a");
    owner->addChild(first);
    owner->addText(u"t");
    auto kept = element(u"p", u"b");
    owner->addChild(kept);
    owner->addText(u"u");
    owner->removeLeadingChildren(2);
    EXPECT_EQ(owner->XMLString(), u"<div><p>b</p>u</div>");
    EXPECT_EQ(first->parent(), nullptr) << "a removed child keeps no link to its old parent";
    EXPECT_EQ(kept->parent(), owner.get());
    EXPECT_EQ(first->XMLString(), u"<p>a</p>");
    owner->addChild(element(u"p", u"c"));
    EXPECT_EQ(owner->XMLString(), u"<div><p>b</p>u<p>c</p></div>");
    owner->removeLeadingChildren(10);
    EXPECT_TRUE(owner->children().empty());
    EXPECT_EQ(kept->parent(), nullptr);
}

TEST(RQXMLElementTest, ChildCopiesOwnTheirTextAndShareTheirElement) {
    auto p = element(u"p", u"text");
    RQXMLChild copy = p->children()[0];
    p->setStringValue(u"other");
    EXPECT_EQ(copy.text(), u"text");
    RQXMLChild moved = std::move(copy);
    EXPECT_EQ(moved.text(), u"text");
    EXPECT_EQ(copy.text(), u"");
    RQXMLChild shared(p);
    RQXMLChild sharedCopy = shared;
    EXPECT_EQ(sharedCopy.element(), p.get());
    sharedCopy = moved;
    EXPECT_EQ(sharedCopy.text(), u"text");
    EXPECT_FALSE(sharedCopy.isElement());
}

TEST(RQXMLElementTest, EscapesAmpersandsFirst) {
    EXPECT_EQ(RQXMLElement::htmlEscapeString(u"a<b>&c"), u"a&lt;b&gt;&amp;c");
    EXPECT_EQ(RQXMLElement::htmlEscapeString(u"&lt;"), u"&amp;lt;");
    EXPECT_EQ(RQXMLElement::htmlEscapeString(u"plain"), u"plain");
    EXPECT_EQ(RQXMLElement::htmlEscapeString(u""), u"");
}

TEST(RQXMLElementTest, DescriptionNamesTheElementItsParentAttributesAndChildCount) {
    auto owner = RQXMLElement::elementWithName(u"ul");
    auto link = element(u"a", u"t");
    link->setAttributesWithDictionary({{u"href", u"x"}});
    owner->addChild(link);
    const std::string text = link->description();
    EXPECT_EQ(text.rfind("name:a, parent: 0x", 0), 0u) << text;
    EXPECT_NE(text.find("\r attributes {\n    href = \"x\";\n}\r children:1"), std::string::npos) << text;
    EXPECT_EQ(RQXMLElement::textWithStringValue(u"t")->description(),
              "name:(null), parent: 0x0\r attributes (null)\r children:1");
}

TEST(RQXMLElementTest, DeepTreesAreWrittenMeasuredAndFreedWithoutRecursion) {
    constexpr std::size_t kDepth = 300000;
    auto root = RQXMLElement::elementWithName(u"blockquote");
    RQXMLElement* tip = root.get();
    for (std::size_t i = 1; i < kDepth; ++i) {
        auto next = RQXMLElement::elementWithName(u"blockquote");
        tip->addChild(next);
        tip = next.get();
    }
    tip->addChild(RQXMLElement::textWithStringValue(u"x"));
    EXPECT_EQ(tip->level(), kDepth - 1);
    EXPECT_EQ(root->stringValue(), u"x");

    const std::u16string xml = root->XMLString();
    const std::u16string open = u"<blockquote>", close = u"</blockquote>\n";
    ASSERT_EQ(xml.size(), kDepth * (open.size() + close.size()) + 1);
    EXPECT_EQ(xml.substr(0, open.size()), open);
    EXPECT_EQ(xml.substr(kDepth * open.size(), 1), u"x");
    EXPECT_EQ(xml.substr(xml.size() - close.size()), close);

    // A subtree held from outside survives the teardown, cut loose from its old parent.
    RQXMLElementRef middle = root->firstChildElement()->firstChildElement()->children()[0].elementRef();
    root.reset();
    EXPECT_EQ(middle->parent(), nullptr);
    EXPECT_EQ(middle->stringValue(), u"x");
}

TEST(RQXMLElementTest, AListedChildWhoseParentWentIsTornDownWithTheListAndSparesWhatIsHeld) {
    auto adopter = RQXMLElement::elementWithName(u"div");
    auto listed = RQXMLElement::elementWithName(u"p");
    auto held = element(u"em", u"y");
    listed->addChild(held);
    listed->addText(u"z");
    adopter->addChild(listed);
    auto list = RQXMLElement::elementWithName(u"section", {RQXMLChild(listed)});
    EXPECT_EQ(listed->parent(), adopter.get());
    adopter.reset();
    EXPECT_EQ(listed->parent(), nullptr);
    listed.reset(); // only the list holds it now
    EXPECT_EQ(list->XMLString(), u"<section><p><em>y</em>z</p></section>");
    list.reset();
    EXPECT_EQ(held->parent(), nullptr);
    EXPECT_EQ(held->XMLString(), u"<em>y</em>");
}

TEST(RQXMLElementTest, ChildWritesItsTextOrItsElement) {
    EXPECT_EQ(RQXMLChild(u"<x>").XMLString(), u"<x>");
    EXPECT_EQ(RQXMLChild(element(u"p", u"a")).XMLString(), u"<p>a</p>");
    EXPECT_FALSE(RQXMLChild().isElement());
    EXPECT_EQ(RQXMLChild().XMLString(), u"");
}

} // namespace
} // namespace quillet
