#include "app/StyleInjection.h"

#include "QtPrinting.h"
#include "app/MarkdownStyleSheets.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(StyleInjectionTest, TheSheetGoesIntoAStyleElementAsOneSingleQuotedLine) {
    EXPECT_EQ(javaScriptStringBody("content: \"\\201C\""), QStringLiteral("content: \"\\\\201C\""));
    EXPECT_EQ(javaScriptStringBody("a\r\nb\nc\rd"), QStringLiteral("a  b c d"));
    EXPECT_EQ(javaScriptStringBody(QString::fromUtf16(u"x\u2028y\u2029z")), QStringLiteral("x y z"));
    const QString script = styleInjectionScript("p { font-family: 'X'; }\n");
    EXPECT_TRUE(script.startsWith("var newStyle = document.createElement('style');"));
    EXPECT_TRUE(script.contains("newStyle.innerHTML = 'p { font-family: \\'X\\'; } ';"));
    EXPECT_TRUE(script.endsWith("document.head.appendChild(newStyle);'';"));
}

TEST(StyleInjectionTest, ReadsLocalFilesAndResourcesAsUtf8Only) {
    QTemporaryDir temp;
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile file(temp.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return QUrl::fromLocalFile(file.fileName());
    };
    EXPECT_EQ(readStyleSheet(write("good.css", "h1::before { content: \"\xc2\xa7\"; }")),
              QString::fromUtf16(u"h1::before { content: \"\u00a7\"; }"));
    EXPECT_EQ(readStyleSheet(write("bad.css", "h1 { color: \xff; }")), std::nullopt);
    EXPECT_EQ(readStyleSheet(QUrl::fromLocalFile(temp.filePath("missing.css"))), std::nullopt);
    EXPECT_EQ(readStyleSheet(QUrl("https://example.org/a.css")), std::nullopt);
    const auto bundled = readStyleSheet(QUrl(QString::fromLatin1(kFallbackStyleSheetURL)));
    ASSERT_TRUE(bundled.has_value());
    EXPECT_TRUE(bundled->contains("prefers-color-scheme: dark"));
}

} // namespace
} // namespace quillet
