// What the dialect examples (tests/dialect/*.md) cannot show: the options, line terminators other
// than LF, pictures copied beside the document, the engine's own entry points, and deep notes.

#include "HtmlTestSupport.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quillet {
namespace {

namespace fs = std::filesystem;

std::u16string html(std::u16string_view note, void (*change)(MarkdownOptions&) = nullptr) {
    MarkdownOptions options = MarkdownOptions::defaults();
    if (change) change(options);
    return testing::bodyHtml(options, note);
}

TEST(HtmlGeneratorTest, OptionsChangeHowBlocksNestAndHowCodeIsCut) {
    EXPECT_EQ(html(u"    x < y\n", [](MarkdownOptions& o) { o.removeProceeding4SpacesInCodeBlock = false; }),
              u"<pre><code>    x &lt; y\n</code></pre>");
    // Blank lines leave every container, but stay code inside a fence.
    const auto blankResets = [](MarkdownOptions& o) { o.resetIndentByBlankline = true; };
    EXPECT_EQ(html(u"- a\n\t- b\n\nc\n", blankResets),
              u"<ul><li><p>a</p><ul><li><p>b</p></li>\n</ul>\n</li>\n</ul>\n<p>c</p>");
    EXPECT_EQ(html(u"~~~\na\n\nb\n~~~\n", blankResets), u"<pre><code>a\n\nb\n</code></pre>");
    EXPECT_EQ(html(u"- a\n1. b\n", [](MarkdownOptions& o) { o.resetIndentByBlock = true; }),
              u"<ul><li><p>a</p></li>\n</ul>\n<ol><li><p>b</p></li>\n</ol>\n");
    EXPECT_EQ(html(u"- a\n# H\nb\n", [](MarkdownOptions& o) { o.resetIndentByHeader = false; }),
              u"<ul><li><p>a</p><h1>H</h1>\n<p>b</p></li>\n</ul>\n");
}

TEST(HtmlGeneratorTest, LinesEndAtEveryPlatformTerminatorWhereverItFalls) {
    // CR LF drops only the LF: the CR stays in the line, and a CR LF line is no blank line.
    EXPECT_EQ(html(u"a\r\n\r\nb"), u"<p>a\r</p><p>\r</p><p>b</p>");
    // A form feed ends no line, but one at the very end is dropped as a newline character.
    EXPECT_EQ(html(u"a\fb\f"), u"<p>a\fb</p>");
    // Filler of every length puts the character at each position of a scanned block.
    for (std::size_t offset = 0; offset < 20; ++offset) {
        const std::u16string before(offset, u'w'), after(offset, u'z');
        for (const std::u16string terminator : {u"\n", u"\r", u"\r\n", u"\u0085", u"\u2028", u"\u2029"})
            EXPECT_TRUE(html(before + terminator + u"# h" + after).ends_with(u"<h1>h" + after + u"</h1>\n"))
                << int(terminator[0]) << " after " << offset;
        for (const char16_t inside : {u'\v', u'\f'})
            EXPECT_EQ(html(before + inside + u"# h").find(u"<h1>"), std::u16string::npos)
                << int(inside) << " after " << offset;
    }
}

TEST(HtmlGeneratorTest, SpanArrayConversionCoversOnlyTheGivenRange) {
    MarkdownString engine;
    const std::u16string line = u"xx *a* yy";
    const auto spans = engine.findSpanElements(line, Range{0, line.size()});
    std::u16string out;
    for (const auto& node : engine.RQhtmlFromSpanArray(spans, line, Range{3, 4}, std::nullopt))
        node->appendXMLString(out);
    EXPECT_EQ(out, u"<em>a</em> ");
    // A range past the line's end gives the text that exists and no more.
    const auto nodes = engine.RQhtmlFromSpanArray({}, line, Range{7, 50}, std::nullopt);
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_EQ(nodes.front()->XMLString(), u"yy");
    EXPECT_TRUE(engine.RQhtmlFromSpanArray({}, line, Range{40, 2}, std::nullopt).empty());
}

TEST(HtmlGeneratorTest, TheDocumentWrapsABodyThatIsKeptElsewhere) {
    MarkdownString engine;
    const RQXMLElementRef body = engine.bodyElementFromString(u"hi", std::nullopt);
    const std::u16string document = MarkdownString::htmlStringFromBody(body, u"Notes", u"ja", u"body{}");
    EXPECT_TRUE(document.ends_with(u"</head>\n<body><p>hi</p></body></html>"));
    EXPECT_NE(document.find(u"<title>Notes</title>"), std::u16string::npos);
    EXPECT_NE(document.find(u"xml:lang=\"ja\" lang=\"ja\""), std::u16string::npos);
    EXPECT_NE(document.find(u"<meta content=\"ja\" http-equiv=\"content-language\">"), std::u16string::npos);
    EXPECT_NE(MarkdownString::htmlStringFromBody(body, u"", u"", u"").find(u"<title>untitled</title>"),
              std::u16string::npos);
    // A body that has a parent is written all the same, and appending keeps what came before.
    RQXMLElement::elementWithName(u"div")->addChild(body);
    std::u16string appended = u"kept";
    MarkdownString::appendHtmlStringFromBody(appended, body, u"Notes", u"ja", u"");
    EXPECT_EQ(appended, u"kept" + document);
}

void write(const fs::path& path, const std::string& text) {
    std::ofstream(path) << text;
}
std::string read(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(HtmlGeneratorTest, PicturesAreCopiedBesideTheDocumentNeverOverAFileNorOutOfTheirFolders) {
    const fs::path root = fs::temp_directory_path() / ("quillet-html-images-" + std::to_string(::getpid()));
    const fs::path pictures = root / "Pictures", base = root / "export" / "notes";
    fs::remove_all(root);
    fs::create_directories(pictures);
    fs::create_directories(base);
    write(pictures / "a.png", "picture");
    write(root / "secret.txt", "secret");
    MarkdownString engine;
    engine.imageFolders.pictures = pictures;
    engine.imageFolders.cloudDocuments.reset();
    const auto image = [&](std::u16string_view url, bool intoBase = true) {
        return testing::bodyHtml(engine, u"![x](" + std::u16string(url) + u")",
                                 intoBase ? std::optional<fs::path>(base) : std::nullopt);
    };

    EXPECT_EQ(image(u"pictures:/a.png"), u"<p><img src=\"a.png\" alt=\"x\"></p>");
    EXPECT_EQ(read(base / "a.png"), "picture");
    EXPECT_EQ(image(u"pictures:/a.png", false),
              u"<p><img src=\"file://" + (pictures / "a.png").u16string() + u"\" alt=\"x\"></p>");
    const std::u16string file = u"file://" + (root / "secret.txt").u16string();
    EXPECT_EQ(image(file), u"<p><img src=\"./secret.txt\" alt=\"x\"></p>");
    EXPECT_EQ(read(base / "secret.txt"), "secret");
    EXPECT_EQ(image(file, false), u"<p><img src=\"" + file + u"\" alt=\"x\"></p>");

    write(base / "a.png", "older");
    EXPECT_EQ(image(u"pictures:/a.png"), u"<p><img src=\"a.png\" alt=\"x\"></p>");
    EXPECT_EQ(read(base / "a.png"), "older");
    // A missing picture is no error: the source still names the copy.
    EXPECT_EQ(image(u"pictures:/missing.png"), u"<p><img src=\"missing.png\" alt=\"x\"></p>");
    // '../secret.txt' would read beside the pictures folder and write beside the export folder.
    EXPECT_EQ(image(u"pictures:/../secret.txt"), u"<p><img src=\"../secret.txt\" alt=\"x\"></p>");
    EXPECT_FALSE(fs::exists(root / "export" / "secret.txt"));
    EXPECT_EQ(std::distance(fs::directory_iterator(base), fs::directory_iterator()), 2);

    // A file name is decoded from the note's URL before it names the copy: "%22" is a real quote,
    // escaped in the attribute.
    write(root / "a\" onerror=\"x#1?.png", "picture");
    EXPECT_EQ(image(u"file://" + root.u16string() + u"/a%22%20onerror=%22x%231%3F.png"),
              u"<p><img src=\"./a&quot; onerror=&quot;x%231%3F.png\" alt=\"x\"></p>");
    EXPECT_TRUE(fs::exists(base / "a\" onerror=\"x#1?.png")) << "the copy keeps the file's own name";

    // Unset folders make the schemes ordinary.
    engine.imageFolders.pictures.reset();
    EXPECT_EQ(image(u"pictures:/a.png"), u"<p><img src=\"pictures:/a.png\" alt=\"x\"></p>");
    EXPECT_EQ(image(u"iCloudDrive:/a.png"), u"<p><img src=\"iCloudDrive:/a.png\" alt=\"x\"></p>");
    engine.imageFolders.cloudDocuments = pictures;
    EXPECT_EQ(image(u"iCloudDrive:/a.png"), u"<p><img src=\"a.png\" alt=\"x\"></p>");
    fs::remove_all(root);
}

TEST(HtmlGeneratorTest, DeepMarkersConvertWithoutRecursion) {
    std::u16string note(200000, u'>');
    note += u" deep\n";
    MarkdownString engine;
    const std::u16string out = engine.bodyElementFromString(note, std::nullopt)->XMLString();
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
    const std::u16string out = html(note);
    EXPECT_EQ(out.find(u"<blockquote>"), out.rfind(u"<blockquote>")) << "one quote";
    EXPECT_NE(out.find(u"<li><p>n</p><blockquote><p>q</p><p>q</p>"), std::u16string::npos);
}

} // namespace
} // namespace quillet
