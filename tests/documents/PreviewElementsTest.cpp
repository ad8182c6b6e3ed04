// The preview's body in pieces: patches between conversions, and pieces that parse alone.

#include "documents/PreviewConversion.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace quillet {
namespace {

QString bodyOf(const QString& document) {
    const qsizetype start = document.indexOf(QStringLiteral("<body>")) + 6;
    return document.mid(start, document.lastIndexOf(QStringLiteral("</body>")) - start);
}

TEST(PreviewElementsTest, PatchesBetweenRandomEditsRebuildEachConversion) {
    const QStringList lines = {"# Title", "", "Some *text*.", "- one", "- two", "> quoted", "```", "code",
                               "```", "<div>", "", "inside", "", "</div>", "1. first", "    indented"};
    QRandomGenerator random(7);
    PreviewRequest request;
    QStringList text = lines + lines;
    QStringList shown;
    for (int edit = 0; edit < 60; ++edit) {
        const auto at = random.bounded(int(text.size()));
        switch (random.bounded(3)) {
        case 0: text.insert(at, lines[random.bounded(int(lines.size()))]); break;
        case 1: text.removeAt(at); break;
        default: text[at] += QStringLiteral(" word"); break;
        }
        request.text = text.join(u'\n');
        const QStringList pieces = PreviewConversion::convertElements(request);
        applyPreviewPatch(shown, diffPreviewElements(shown, pieces));
        ASSERT_EQ(shown, pieces) << edit;
        ASSERT_EQ(pieces.join(QString()), bodyOf(PreviewConversion::convert(request))) << edit;
    }
}

TEST(PreviewElementsTest, RawHTMLThatOpensAnElementKeepsWhatItWrapsInOnePiece) {
    const auto nesting = [](const char* html) {
        HtmlNesting scanned;
        scanned.scan(QString::fromLatin1(html));
        return scanned;
    };
    EXPECT_TRUE(nesting("<DIV class='a'><br><img src=x /><!-- <p> --></div> a < b").isBalanced());
    EXPECT_FALSE(nesting("<div><span>").isBalanced());
    EXPECT_TRUE(nesting("</div><p>x</p>").isBalanced()) << "nothing open to close";
    EXPECT_TRUE(nesting("<blockquote><div></blockquote>").isMisnested());
    EXPECT_TRUE(nesting("<pre><code/></pre>").isMisnested()) << "HTML keeps the code open";
    EXPECT_TRUE(nesting("<svg><path d='M0'/></svg>").isBalanced());

    PreviewElementJoiner joiner;
    joiner.add("<p>before</p>", false);
    joiner.add("<div>\n", true);
    joiner.add("<section>\n", true);
    joiner.add("<p>inside</p>", false);
    joiner.add("</section></div>\n", true);
    joiner.add("<p>after</p>", false);
    joiner.add("<blockquote><p>q</p><div>\n</blockquote>", false);
    joiner.add("</div>\n", true);
    joiner.add("<p>last</p>", false);
    EXPECT_EQ(joiner.finish(),
              QStringList({"<p>before</p>", "<div>\n<section>\n<p>inside</p></section></div>\n", "<p>after</p>",
                           "<blockquote><p>q</p><div>\n</blockquote></div>\n<p>last</p>"}));
}

} // namespace
} // namespace quillet
