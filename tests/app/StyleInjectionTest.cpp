#include "app/StyleInjection.h"

#include "QtPrinting.h"
#include "app/MarkdownStyleSheets.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(StyleInjectionTest, EscapesForASingleQuotedLiteral) {
    EXPECT_EQ(javaScriptStringBody(QStringLiteral("a'b")), QStringLiteral("a\\'b"));
    EXPECT_EQ(javaScriptStringBody(QStringLiteral("content: \"\\201C\"")),
              QStringLiteral("content: \"\\\\201C\""));
    EXPECT_EQ(javaScriptStringBody(QStringLiteral("a\r\nb\nc\rd")), QStringLiteral("a  b c d"));
    EXPECT_EQ(javaScriptStringBody(QString::fromUtf16(u"x\u2028y\u2029z")), QStringLiteral("x y z"));
    EXPECT_EQ(javaScriptStringBody(QString()), QString());
}

TEST(StyleInjectionTest, ScriptAppendsAStyleElementWithTheText) {
    const QString script = styleInjectionScript(QStringLiteral("p { font-family: 'X'; }\n"));
    EXPECT_TRUE(script.startsWith(QStringLiteral("var newStyle = document.createElement('style');")));
    EXPECT_TRUE(script.contains(QStringLiteral("newStyle.innerHTML = 'p { font-family: \\'X\\'; } ';")));
    EXPECT_TRUE(script.endsWith(QStringLiteral("document.head.appendChild(newStyle);'';")));
    EXPECT_FALSE(script.contains(QLatin1Char('\n')));
}

TEST(StyleInjectionTest, ReadsFilesAndResourcesAsUtf8Only) {
    QTemporaryDir temp;
    const QString good = temp.filePath(QStringLiteral("good.css"));
    const QString bad = temp.filePath(QStringLiteral("bad.css"));
    QFile goodFile(good), badFile(bad);
    ASSERT_TRUE(goodFile.open(QIODevice::WriteOnly) && badFile.open(QIODevice::WriteOnly));
    goodFile.write("h1::before { content: \"\xc2\xa7\"; }");
    badFile.write("h1 { color: \xff; }");
    goodFile.close();
    badFile.close();

    EXPECT_EQ(readStyleSheet(QUrl::fromLocalFile(good)),
              QString::fromUtf16(u"h1::before { content: \"\u00a7\"; }"));
    EXPECT_FALSE(readStyleSheet(QUrl::fromLocalFile(bad)).has_value());
    EXPECT_FALSE(
        readStyleSheet(QUrl::fromLocalFile(temp.filePath(QStringLiteral("missing.css")))).has_value());
    EXPECT_FALSE(readStyleSheet(QUrl()).has_value());
    EXPECT_FALSE(readStyleSheet(QUrl(QStringLiteral("https://example.org/a.css"))).has_value());
    const auto bundled = readStyleSheet(QUrl(QString::fromLatin1(kFallbackStyleSheetURL)));
    ASSERT_TRUE(bundled.has_value());
    EXPECT_TRUE(bundled->contains(QStringLiteral("prefers-color-scheme: dark")));
}

} // namespace
} // namespace quillet
