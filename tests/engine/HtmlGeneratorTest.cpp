#include "engine/MarkdownString.h"
#include "engine/RQXMLElement.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <unistd.h>

namespace quillet {
namespace {

namespace fs = std::filesystem;

std::u16string fragmentOf(MarkdownString& engine, std::u16string_view note,
                          const std::optional<fs::path>& base = std::nullopt) {
    const RQXMLElementRef body = engine.bodyElementFromString(note, base);
    std::u16string html;
    for (const RQXMLChild& child : body->children())
        child.appendXMLString(html);
    return html;
}

std::u16string html(std::u16string_view note) {
    MarkdownString engine;
    return fragmentOf(engine, note);
}

std::u16string htmlWith(std::u16string_view note, void (*change)(MarkdownOptions&)) {
    MarkdownString engine;
    MarkdownOptions options = MarkdownOptions::defaults();
    change(options);
    engine.setMarkdownOptions(options);
    return fragmentOf(engine, note);
}

TEST(HtmlGeneratorTest, EmptyNoteGivesAnEmptyBody) {
    MarkdownString engine;
    const RQXMLElementRef body = engine.bodyElementFromString(u"", std::nullopt);
    EXPECT_EQ(body->name(), u"body");
    EXPECT_EQ(body->XMLString(), u"<body/>");
}

TEST(HtmlGeneratorTest, EveryTextLineIsItsOwnParagraph) {
    EXPECT_EQ(html(u"a\nb\n"), u"<p>a</p><p>b</p>");
    EXPECT_EQ(html(u"a\n\nb"), u"<p>a</p><p>b</p>");
    // Text passes through unescaped; blanks alone are no blank line.
    EXPECT_EQ(html(u"x < y & z\n  \n"), u"<p>x < y & z</p><p>  </p>");
}

TEST(HtmlGeneratorTest, LinesEndAtEveryPlatformLineTerminator) {
    // CR LF drops only the LF: the CR stays in the line, and a CR LF line is no blank line.
    EXPECT_EQ(html(u"a\r\n\r\nb"), u"<p>a\r</p><p>\r</p><p>b</p>");
    EXPECT_EQ(html(u"a\u2028b\u2029c\u0085d\re"), u"<p>a</p><p>b</p><p>c</p><p>d</p><p>e</p>");
    // A form feed ends no line, but one at the very end is dropped as a newline character.
    EXPECT_EQ(html(u"a\fb\f"), u"<p>a\fb</p>");
}

TEST(HtmlGeneratorTest, HeadersTakeTheirLevelUpToSix) {
    EXPECT_EQ(html(u"# T"), u"<h1>T</h1>\n");
    EXPECT_EQ(html(u"###### T\n####### U\n"), u"<h6>T</h6>\n<h6>U</h6>\n");
    EXPECT_EQ(html(u"## A *b* ##\n"), u"<h2>A <em>b</em></h2>\n");
}

TEST(HtmlGeneratorTest, FencedCodeIsEscapedAndKeepsItsBlankLines) {
    EXPECT_EQ(html(u"```swift\nlet a = b < c\n\n  d\n```\nafter\n"),
              u"<pre><code>let a = b &lt; c\n\n  d\n</code></pre><p>after</p>");
    // Blank lines stay code whatever the blank-line option says.
    EXPECT_EQ(htmlWith(u"~~~\na\n\nb\n~~~\n", [](MarkdownOptions& o) { o.resetIndentByBlankline = true; }),
              u"<pre><code>a\n\nb\n</code></pre>");
    // A fence that never closes holds the rest of the note.
    EXPECT_EQ(html(u"```\n# not a header\n- nor a list"),
              u"<pre><code># not a header\n- nor a list\n</code></pre>");
}

TEST(HtmlGeneratorTest, AClosingFenceMayFollowDirectlyAndTheNextLineMayOpenAgain) {
    EXPECT_EQ(html(u"```\n```\ntext\n"), u"<pre><code/></pre><p>text</p>");
    EXPECT_EQ(html(u"```\na\n```\n```\nb\n```\n"), u"<pre><code>a\n</code></pre><pre><code>b\n</code></pre>");
}

TEST(HtmlGeneratorTest, FencesAndHtmlBlocksDoNotOpenInsideEachOther) {
    EXPECT_EQ(html(u"```\n<div>\n<p>x</p>\n```\nafter\n"),
              u"<pre><code>&lt;div&gt;\n&lt;p&gt;x&lt;/p&gt;\n</code></pre><p>after</p>");
    EXPECT_EQ(html(u"<div>\n```\n</div>\nafter\n"), u"<div>\n```\n</div>\n<p>after</p>");
}

TEST(HtmlGeneratorTest, IndentedCodeLosesItsIndentWhenTheOptionIsOn) {
    EXPECT_EQ(html(u"    x < y\n"), u"<pre><code>x &lt; y\n</code></pre>");
    EXPECT_EQ(
        htmlWith(u"    x < y\n", [](MarkdownOptions& o) { o.removeProceeding4SpacesInCodeBlock = false; }),
        u"<pre><code>    x &lt; y\n</code></pre>");
    // Consecutive lines share one block; one tab goes, a second stays; a blank line ends it.
    EXPECT_EQ(html(u"\t\ta\n    b\n\n    c\n"),
              u"<pre><code>\ta\nb\n</code></pre><pre><code>c\n</code></pre>");
    EXPECT_EQ(html(u"    a\nplain\n"), u"<pre><code>a\n</code></pre><p>plain</p>");
}

TEST(HtmlGeneratorTest, BlocksAfterAnIndentedCodeBlockGoBesideIt) {
    EXPECT_EQ(html(u"    a\n<div>\n</div>\n"), u"<pre><code>a\n</code></pre><div>\n</div>\n");
    EXPECT_EQ(html(u"    a\n```\nb\n```\n"), u"<pre><code>a\n</code></pre><pre><code>b\n</code></pre>");
    EXPECT_EQ(html(u"- x\n\t    a\n<br>\n"),
              u"<ul><li><p>x</p><pre><code>    a\n</code></pre><br>\n</li>\n</ul>\n");
}

TEST(HtmlGeneratorTest, HtmlBlocksPassThroughLineByLine) {
    EXPECT_EQ(html(u"<div>\na\n</div>\n"), u"<div>\na\n</div>\n");
    // An empty block closes at once instead of swallowing the note.
    EXPECT_EQ(html(u"<div>\n</div>\n*after*\n"), u"<div>\n</div>\n<p><em>after</em></p>");
    EXPECT_EQ(html(u"<b>bold</b> text\nnext\n"), u"<b>bold</b> text\n<p>next</p>");
    // An end tag outside any block is taken by no rule.
    EXPECT_EQ(html(u"</div>\nx\n"), u"<p>x</p>");
}

TEST(HtmlGeneratorTest, RulesStandBesideParagraphsAndInsideItems) {
    EXPECT_EQ(html(u"a\n---\nb\n"), u"<p>a</p><hr/><p>b</p>");
    EXPECT_EQ(html(u"- a\n***\n"), u"<ul><li><p>a</p><hr/></li>\n</ul>\n");
}

TEST(HtmlGeneratorTest, ConsecutiveItemsFormOneListAndNumbersGiveStart) {
    EXPECT_EQ(html(u"- a\n- b\n"), u"<ul><li><p>a</p></li>\n<li><p>b</p></li>\n</ul>\n");
    EXPECT_EQ(html(u"3. a\n"), u"<ol start=\"3\"><li><p>a</p></li>\n</ol>");
    EXPECT_EQ(html(u"1. a\n"), u"<ol><li><p>a</p></li>\n</ol>\n");
    EXPECT_EQ(html(u"- # T\n"), u"<ul><li><h1>T</h1>\n</li>\n</ul>\n");
}

TEST(HtmlGeneratorTest, TabIndentedItemsNest) {
    EXPECT_EQ(html(u"- a\n- b\n\t- c\n"),
              u"<ul><li><p>a</p></li>\n<li><p>b</p><ul><li><p>c</p></li>\n</ul>\n</li>\n</ul>\n");
    // A shallower item after a nested one continues the nested list.
    EXPECT_EQ(html(u"- a\n\t- b\n- c\n"),
              u"<ul><li><p>a</p><ul><li><p>b</p></li>\n<li><p>c</p></li>\n</ul>\n</li>\n</ul>\n");
}

TEST(HtmlGeneratorTest, EachTabNestsExactlyOneLevelDeeper) {
    const std::u16string four = html(u"- a\n\t- b\n\t\t- c\n\t\t\t- d\n\t\t\t- e\n");
    EXPECT_EQ(four, u"<ul><li><p>a</p><ul><li><p>b</p><ul><li><p>c</p><ul><li><p>d</p></li>\n"
                    u"<li><p>e</p></li>\n</ul>\n</li>\n</ul>\n</li>\n</ul>\n</li>\n</ul>\n");
    // Two levels back up from the fourth continues the fourth level's list, with no empty item.
    EXPECT_EQ(html(u"- a\n\t- b\n\t\t- c\n\t\t\t- d\n\t- e\n"),
              u"<ul><li><p>a</p><ul><li><p>b</p><ul><li><p>c</p><ul><li><p>d</p></li>\n"
              u"<li><p>e</p></li>\n</ul>\n</li>\n</ul>\n</li>\n</ul>\n</li>\n</ul>\n");
}

TEST(HtmlGeneratorTest, BlankLinesStepOutOneLevelOrAllWithTheOption) {
    EXPECT_EQ(html(u"- a\n\n- b\n"), u"<ul><li><p>a</p></li>\n</ul>\n<ul><li><p>b</p></li>\n</ul>\n");
    EXPECT_EQ(html(u"- a\n\t- b\n\nc\n"),
              u"<ul><li><p>a</p><ul><li><p>b</p></li>\n</ul>\n<p>c</p></li>\n</ul>\n");
    EXPECT_EQ(htmlWith(u"- a\n\t- b\n\nc\n", [](MarkdownOptions& o) { o.resetIndentByBlankline = true; }),
              u"<ul><li><p>a</p><ul><li><p>b</p></li>\n</ul>\n</li>\n</ul>\n<p>c</p>");
}

TEST(HtmlGeneratorTest, AnotherListKindNestsUnlessBlocksReset) {
    EXPECT_EQ(html(u"- a\n1. b\n"), u"<ul><li><p>a</p><ol><li><p>b</p></li>\n</ol>\n</li>\n</ul>\n");
    EXPECT_EQ(htmlWith(u"- a\n1. b\n", [](MarkdownOptions& o) { o.resetIndentByBlock = true; }),
              u"<ul><li><p>a</p></li>\n</ul>\n<ol><li><p>b</p></li>\n</ol>\n");
}

TEST(HtmlGeneratorTest, HeadersCloseListsUnlessTheOptionIsOff) {
    EXPECT_EQ(html(u"- a\n# H\nb\n"), u"<ul><li><p>a</p></li>\n</ul>\n<h1>H</h1>\n<p>b</p>");
    EXPECT_EQ(htmlWith(u"- a\n# H\nb\n", [](MarkdownOptions& o) { o.resetIndentByHeader = false; }),
              u"<ul><li><p>a</p><h1>H</h1>\n<p>b</p></li>\n</ul>\n");
}

TEST(HtmlGeneratorTest, QuoteLinesSitInOneBlockquotePerMarker) {
    EXPECT_EQ(html(u"> a\n> b\n"), u"<blockquote><p>a</p><p>b</p></blockquote>\n");
    EXPECT_EQ(html(u">> a\n"), u"<blockquote><blockquote><p>a</p></blockquote>\n</blockquote>\n");
    EXPECT_EQ(html(u"> a\n>> b\n>> c\n> d\n"),
              u"<blockquote><p>a</p><blockquote><p>b</p><p>c</p></blockquote>\n<p>d</p></blockquote>\n");
    EXPECT_EQ(html(u"> a\n\n> b\n"),
              u"<blockquote><p>a</p></blockquote>\n<blockquote><p>b</p></blockquote>\n");
    // A plain line continues the quote it follows.
    EXPECT_EQ(html(u"> a\nb\n"), u"<blockquote><p>a</p><p>b</p></blockquote>\n");
    EXPECT_EQ(html(u"> # T\n"), u"<blockquote><h1>T</h1>\n</blockquote>\n");
}

TEST(HtmlGeneratorTest, QuotesAndListsNestInEachOtherWithContentOnce) {
    EXPECT_EQ(html(u"- > x\n"), u"<ul><li><blockquote><p>x</p></blockquote>\n</li>\n</ul>\n");
    EXPECT_EQ(html(u"> - a\n> - b\n> c\n"),
              u"<blockquote><ul><li><p>a</p></li>\n<li><p>b</p></li>\n</ul>\n<p>c</p></blockquote>\n");
    EXPECT_EQ(html(u"- a\n\t> q\n\t> r\n"),
              u"<ul><li><p>a</p><blockquote><p>q</p><p>r</p></blockquote>\n</li>\n</ul>\n");
    // A quote after a deeper quote in a list item goes back to its own level.
    EXPECT_EQ(
        html(u"- >> a\n- > b\n"),
        u"<ul><li><blockquote><blockquote><p>a</p></blockquote>\n<p>b</p></blockquote>\n</li>\n</ul>\n");
}

TEST(HtmlGeneratorTest, QuoteLinesNeverNestBelowABlockquoteTheyDoNotHave) {
    // After '>> a' a line with one quote level and a list may not sit in the inner quote.
    EXPECT_EQ(
        html(u">> a\n> - b\n"),
        u"<blockquote><blockquote><p>a</p></blockquote>\n<ul><li><p>b</p></li>\n</ul>\n</blockquote>\n");
    EXPECT_EQ(html(u">> a\n- > b\n"), u"<blockquote><blockquote><p>a</p></blockquote>\n</blockquote>\n"
                                      u"<ul><li><blockquote><p>b</p></blockquote>\n</li>\n</ul>\n");
}

TEST(HtmlGeneratorTest, LinkDefinitionLinesShowAsTextAndServeLabelLinks) {
    MarkdownString engine;
    const std::u16string note = u"see [t][x] and [u][]\n[x]: http://x.org \"title=a\"\n";
    engine.createLocalLinkLables(note);
    EXPECT_EQ(fragmentOf(engine, note), u"<p>see <a href=\"http://x.org\" title=a>t</a> and "
                                        u"<a>u</a></p><p>[x]: http://x.org \"title=a\"</p>");
    // Without the labels registered first, a use above its definition has no URL yet.
    MarkdownString fresh;
    EXPECT_EQ(fragmentOf(fresh, u"[t][x]\n[x]: http://x.org\n[t][x]\n"),
              u"<p><a>t</a></p><p>[x]: http://x.org</p><p><a href=\"http://x.org\">t</a></p>");
}

TEST(HtmlGeneratorTest, SpansBecomeElementsWithTextAroundThemUnescaped) {
    EXPECT_EQ(html(u"a *b* **c** ~~d~~ ^e^ ~f~ <g>"),
              u"<p>a <em>b</em> <strong>c</strong> <s>d</s> <sup>e</sup> <sub>f</sub> <g></p>");
    EXPECT_EQ(html(u"**a *b* c** tail"), u"<p><strong>a <em>b</em> c</strong> tail</p>");
    // Code content is escaped and never holds elements.
    EXPECT_EQ(html(u"`a < *b*` x"), u"<p><code>a &lt; *b*</code> x</p>");
    EXPECT_EQ(html(u"a \\<b> c"), u"<p>a <code>&lt;b&gt;</code> c</p>");
}

TEST(HtmlGeneratorTest, LinksCarryTheirUrlAndRawAttributeText) {
    EXPECT_EQ(html(u"[t](page.html \"target=_blank\")"), u"<p><a href=\"page.html\" target=_blank>t</a></p>");
    EXPECT_EQ(html(u"[t](page.html)"), u"<p><a href=\"page.html\">t</a></p>");
    // With elements inside, the raw attribute text is left out.
    EXPECT_EQ(html(u"[*t*](p.html \"x=1\")"), u"<p><a href=\"p.html\"><em>t</em></a></p>");
    EXPECT_EQ(html(u"[t][nowhere]"), u"<p><a>t</a></p>");
}

TEST(HtmlGeneratorTest, SpanArrayConversionCoversOnlyTheGivenRange) {
    MarkdownString engine;
    const std::u16string line = u"xx *a* yy";
    const auto spans = engine.findSpanElements(line, Range{0, line.size()});
    auto nodes = engine.RQhtmlFromSpanArray(spans, line, Range{3, 4}, std::nullopt);
    std::u16string out;
    for (const auto& node : nodes)
        node->appendXMLString(out);
    EXPECT_EQ(out, u"<em>a</em> ");
    EXPECT_EQ(nodes.front()->name(), u"em");
    // A range past the line's end gives the text that exists and no more.
    nodes = engine.RQhtmlFromSpanArray({}, line, Range{7, 50}, std::nullopt);
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_EQ(nodes.front()->XMLString(), u"yy");
    EXPECT_TRUE(engine.RQhtmlFromSpanArray({}, line, Range{40, 2}, std::nullopt).empty());
}

TEST(HtmlGeneratorTest, ImagesWithOrdinaryUrls) {
    EXPECT_EQ(html(u"![alt](a.png \"width=3\")"), u"<p><img src=\"a.png\" alt=\"alt\" width=3></p>");
    EXPECT_EQ(html(u"![x](caf\u00e9.png)"), u"<p><img src=\"caf%C3%A9%2Epng\" alt=\"x\"></p>");
    // An image whose URL text is empty gets no "src".
    MarkdownString plain;
    const std::u16string line = u"![x]";
    SpanDict image;
    image.type = SpanType::image;
    image.typeId = 64;
    image.range = Range{0, 4};
    image.strRange = image.refRange = Range{2, 1};
    image.linkType = LinkType::external;
    image.urlRange = Range{4, 0};
    auto nodes = plain.RQhtmlFromSpanArray({image}, line, Range{0, line.size()}, std::nullopt);
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_EQ(nodes.front()->XMLString(), u"<img alt=\"x\">");
    MarkdownString engine;
    const std::u16string note = u"![x][pic]\n[pic]: b.png \"t=1\"\n";
    engine.createLocalLinkLables(note);
    EXPECT_EQ(fragmentOf(engine, note), u"<p><img src=\"b.png\" t=1></p><p>[pic]: b.png \"t=1\"</p>");
}

class HtmlImageFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("quillet-html-images-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        pictures_ = root_ / "Pictures";
        base_ = root_ / "export" / "notes";
        fs::create_directories(pictures_);
        fs::create_directories(base_);
        write(pictures_ / "a.png", "picture");
        write(root_ / "secret.txt", "secret");
        engine_.imageFolders.pictures = pictures_;
        engine_.imageFolders.cloudDocuments.reset();
    }
    void TearDown() override { fs::remove_all(root_); }

    static void write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }
    static std::string read(const fs::path& path) {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path root_, pictures_, base_;
    MarkdownString engine_;
};

TEST_F(HtmlImageFilesTest, PicturesAreCopiedBesideTheDocument) {
    EXPECT_EQ(fragmentOf(engine_, u"![x](pictures:/a.png)", base_), u"<p><img src=\"a.png\" alt=\"x\"></p>");
    EXPECT_EQ(read(base_ / "a.png"), "picture");
    // Without a folder the picture is referred to where it is.
    const std::u16string expected =
        u"<p><img src=\"file://" + fs::path(pictures_ / "a.png").u16string() + u"\" alt=\"x\"></p>";
    EXPECT_EQ(fragmentOf(engine_, u"![x](pictures:/a.png)"), expected);
}

TEST_F(HtmlImageFilesTest, CopiesNeverReplaceFilesOrLeaveTheirFolders) {
    write(base_ / "a.png", "older");
    EXPECT_EQ(fragmentOf(engine_, u"![x](pictures:/a.png)", base_), u"<p><img src=\"a.png\" alt=\"x\"></p>");
    EXPECT_EQ(read(base_ / "a.png"), "older");
    // A missing picture is no error: the source still names the copy.
    EXPECT_EQ(fragmentOf(engine_, u"![x](pictures:/missing.png)", base_),
              u"<p><img src=\"missing.png\" alt=\"x\"></p>");
    // '../secret.txt' would read beside the pictures folder and write beside the export folder.
    EXPECT_EQ(fragmentOf(engine_, u"![x](pictures:/../secret.txt)", base_),
              u"<p><img src=\"../secret.txt\" alt=\"x\"></p>");
    EXPECT_FALSE(fs::exists(root_ / "export" / "secret.txt"));
    EXPECT_EQ(std::distance(fs::directory_iterator(base_), fs::directory_iterator()), 1);
}

TEST_F(HtmlImageFilesTest, FileUrlsAreCopiedUnderTheirLastComponent) {
    const std::u16string url = u"file://" + fs::path(root_ / "secret.txt").u16string();
    EXPECT_EQ(fragmentOf(engine_, u"![s](" + url + u")", base_),
              u"<p><img src=\"./secret.txt\" alt=\"s\"></p>");
    EXPECT_EQ(read(base_ / "secret.txt"), "secret");
    EXPECT_EQ(fragmentOf(engine_, u"![s](" + url + u")"), u"<p><img src=\"" + url + u"\" alt=\"s\"></p>");
}

TEST_F(HtmlImageFilesTest, UnsetFoldersMakeTheSchemesOrdinary) {
    engine_.imageFolders.pictures.reset();
    EXPECT_EQ(fragmentOf(engine_, u"![x](pictures:/a.png)", base_),
              u"<p><img src=\"pictures:/a.png\" alt=\"x\"></p>");
    EXPECT_EQ(fragmentOf(engine_, u"![x](iCloudDrive:/a.png)", base_),
              u"<p><img src=\"iCloudDrive:/a.png\" alt=\"x\"></p>");
    engine_.imageFolders.cloudDocuments = pictures_;
    EXPECT_EQ(fragmentOf(engine_, u"![x](iCloudDrive:/a.png)", base_),
              u"<p><img src=\"a.png\" alt=\"x\"></p>");
    EXPECT_EQ(read(base_ / "a.png"), "picture");
}

TEST(HtmlGeneratorTest, DocumentWrapsTheBodyWithLanguageAndTitle) {
    MarkdownString engine;
    const RQXMLElementRef body = engine.bodyElementFromString(u"hi", std::nullopt);
    const std::u16string head =
        u"<!DOCTYPE html><html xml:lang=\"en\" lang=\"en\" xmlns=\"http://www.w3.org/1999/xhtml\">"
        u"<head><title>untitled</title><meta content=\"en\" http-equiv=\"content-language\"></meta>"
        u"<meta content=\"text/html; charset=UTF-8\" http-equiv=\"content-type\"></meta></head>\n";
    EXPECT_EQ(MarkdownString::htmlStringFromBody(body, u"", u"", u"body{}"),
              head + u"<body><p>hi</p></body></html>");
    const std::u16string titled = MarkdownString::htmlStringFromBody(body, u"Notes", u"ja", u"");
    EXPECT_NE(titled.find(u"<title>Notes</title>"), std::u16string::npos);
    EXPECT_NE(titled.find(u"xml:lang=\"ja\" lang=\"ja\""), std::u16string::npos);
    EXPECT_NE(titled.find(u"<meta content=\"ja\" http-equiv=\"content-language\">"), std::u16string::npos);
    // The body is not kept by the document: it can be written again, and even with a parent.
    EXPECT_EQ(body->parent(), nullptr);
    auto holder = RQXMLElement::elementWithName(u"div");
    holder->addChild(body);
    EXPECT_NE(MarkdownString::htmlStringFromBody(body, u"", u"", u"").find(u"<body><p>hi</p></body>"),
              std::u16string::npos);
    // The appending form writes the same document after what the string already holds.
    std::u16string appended = u"kept";
    MarkdownString::appendHtmlStringFromBody(appended, body, u"Notes", u"ja", u"");
    EXPECT_EQ(appended, u"kept" + titled);
    EXPECT_EQ(MarkdownString::htmlEscape(u"<&>"), u"&lt;&amp;&gt;");
}

TEST(HtmlGeneratorTest, LinesEndAtEveryTerminatorWhereverItFalls) {
    // Filler of every length puts the terminator at each position of a scanned block.
    for (const std::u16string terminator : {u"\n", u"\r", u"\r\n", u"\u0085", u"\u2028", u"\u2029"}) {
        for (std::size_t offset = 0; offset < 20; ++offset) {
            MarkdownString engine;
            const std::u16string out = fragmentOf(engine, std::u16string(offset, u'w') + terminator + u"# h" +
                                                              std::u16string(offset, u'z'));
            EXPECT_TRUE(out.ends_with(u"<h1>h" + std::u16string(offset, u'z') + u"</h1>\n"))
                << int(terminator[0]) << " after " << offset;
        }
    }
    // VT and FF do not end a line.
    for (const char16_t inside : {u'\v', u'\f'}) {
        for (std::size_t offset = 0; offset < 20; ++offset) {
            MarkdownString engine;
            const std::u16string out = fragmentOf(engine, std::u16string(offset, u'w') + inside + u"# h");
            EXPECT_EQ(out.find(u"<h1>"), std::u16string::npos) << int(inside) << " after " << offset;
        }
    }
}

TEST(HtmlGeneratorTest, DeepMarkersConvertWithoutRecursion) {
    std::u16string note(200000, u'>');
    note += u" deep\n";
    MarkdownString engine;
    const RQXMLElementRef body = engine.bodyElementFromString(note, std::nullopt);
    const std::u16string out = body->XMLString();
    EXPECT_EQ(out.size(), 200000 * (12 + 14) + std::u16string(u"<body><p>deep</p></body>").size());
    EXPECT_NE(out.find(u"<blockquote><p>deep</p></blockquote>\n"), std::u16string::npos);
}

TEST(HtmlGeneratorTest, LazilyNestedListsAndQuotesStayConsistent) {
    // Alternating list kinds nest ever deeper; quote lines then join the innermost item.
    std::u16string note;
    for (int i = 0; i < 2000; ++i)
        note += i % 2 ? u"1. n\n" : u"- b\n";
    for (int i = 0; i < 2000; ++i)
        note += u"> q\n";
    MarkdownString engine;
    const std::u16string out = fragmentOf(engine, note);
    std::size_t quotes = 0;
    for (std::size_t at = out.find(u"<blockquote>"); at != std::u16string::npos;
         at = out.find(u"<blockquote>", at + 1)) {
        ++quotes;
    }
    EXPECT_EQ(quotes, 1u);
    EXPECT_NE(out.find(u"<li><p>n</p><blockquote><p>q</p><p>q</p>"), std::u16string::npos);
}

// The shape every body has: list items only in lists and lists only of items, a code block is
// one "code", and paragraphs, headers and code hold no blocks.
void expectWellFormed(const RQXMLElement& body, const std::u16string& note) {
    auto isBlock = [](std::u16string_view name) {
        return name == u"ul" || name == u"ol" || name == u"li" || name == u"blockquote" || name == u"p" ||
               name == u"pre" || name == u"hr" || (name.size() == 2 && name[0] == u'h');
    };
    std::vector<const RQXMLElement*> pending{&body};
    while (!pending.empty()) {
        const RQXMLElement* element = pending.back();
        pending.pop_back();
        const std::u16string_view name = element->name();
        for (const RQXMLChild& child : element->children()) {
            const RQXMLElement* inner = child.element();
            if (name == u"ul" || name == u"ol") {
                ASSERT_TRUE(inner && inner->name() == u"li")
                    << "in a list: " << std::string(note.begin(), note.end());
            }
            if (!inner) continue;
            pending.push_back(inner);
            if (inner->name() == u"li") {
                ASSERT_TRUE(name == u"ul" || name == u"ol");
            }
            if (name == u"p" || name == u"code" || (name.size() == 2 && name[0] == u'h')) {
                ASSERT_FALSE(isBlock(inner->name())) << std::string(note.begin(), note.end());
            }
            if (name == u"pre") {
                ASSERT_EQ(inner->name(), u"code") << std::string(note.begin(), note.end());
            }
        }
    }
}

TEST(HtmlGeneratorTest, RandomNotesAlwaysGiveWellFormedBodies) {
    const std::u16string pieces[] = {u"- ",   u"\t",   u"> ",    u">",      u"1. ", u"3. ",    u"# ",
                                     u"```",  u"    ", u"<div>", u"</div>", u"*a*", u"[x](y)", u"---",
                                     u"text", u"\n",   u"\n",    u"\n",     u"`c`"};
    std::mt19937 random(42);
    for (int round = 0; round < 400; ++round) {
        std::u16string note;
        const int count = static_cast<int>(random() % 60);
        for (int i = 0; i < count; ++i)
            note += pieces[random() % std::size(pieces)];
        for (int variant = 0; variant < 4; ++variant) {
            MarkdownString engine;
            MarkdownOptions options = MarkdownOptions::defaults();
            options.resetIndentByBlock = variant == 1;
            options.resetIndentByBlankline = variant == 2;
            options.resetIndentByHeader = variant != 3;
            engine.setMarkdownOptions(options);
            const RQXMLElementRef body = engine.bodyElementFromString(note, std::nullopt);
            expectWellFormed(*body, note);
            if (::testing::Test::HasFatalFailure()) return;
        }
    }
}

} // namespace
} // namespace quillet
