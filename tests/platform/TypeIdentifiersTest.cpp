// Types by extension, MIME type and content. The identifier strings with static text and the
// per-thread extension caches must answer exactly as the constants and the MIME database do.

#include "platform/TypeIdentifiers.h"

#include "PlatformTestSupport.h"

#include <QMimeDatabase>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace quillet::platform {
namespace {

TEST(TypeIdentifiers, ByExtensionMimeTypeAndFile) {
    for (const char* markdown : {"md", "MD", "markdown"})
        EXPECT_EQ(typeIdentifierForExtension(markdown), kMarkdownTypeIdentifier) << markdown;
    EXPECT_EQ(typeIdentifierForExtension("qqqzzz"), QString());
    EXPECT_EQ(typeIdentifierForExtension(""), QString());
    EXPECT_EQ(typeIdentifierForMimeType("text/x-markdown"), kMarkdownTypeIdentifier);
    EXPECT_EQ(typeIdentifierForMimeType("text/css"), kCssTypeIdentifier);
    EXPECT_EQ(typeIdentifierForMimeType("text/x-csrc"), kTextTypeIdentifier); // text, not a note type
    EXPECT_EQ(typeIdentifierForMimeType("application/pdf"), kDataTypeIdentifier);
    EXPECT_EQ(typeIdentifierForMimeType("no/such-type"), kDataTypeIdentifier);

    testing::TempFolder folder;
    EXPECT_EQ(typeIdentifierForFile(folder.path()), kFolderTypeIdentifier);
    EXPECT_EQ(typeIdentifierForFile(folder.file("missing.md")), QString());
    ASSERT_TRUE(testing::writeBytes(folder.file("Binary.md"), QByteArray("\0\1\2", 3)));
    EXPECT_EQ(typeIdentifierForFile(folder.file("Binary.md")),
              kMarkdownTypeIdentifier); // the extension decides
    ASSERT_TRUE(QDir(folder.path()).mkdir("Notes.d") &&
                testing::writeBytes(folder.file("Notes.d/Journal"), "words"));
    EXPECT_EQ(typeIdentifierForFile(folder.file("Notes.d/Journal")), kPlainTextTypeIdentifier); // not ".d"
}

TEST(TypeIdentifiers, StringsHoldTheConstantsTextAndCopiesChangeAlone) {
    for (const char* constant :
         {kMarkdownTypeIdentifier, kPlainTextTypeIdentifier, kCssTypeIdentifier, kPythonScriptTypeIdentifier,
          kFolderTypeIdentifier, kPngTypeIdentifier, kJpegTypeIdentifier, kHtmlTypeIdentifier,
          kDataTypeIdentifier, kTextTypeIdentifier, kSymlinkTypeIdentifier, "org.example.other", ""})
        EXPECT_EQ(typeIdentifierString(std::string(constant).c_str()), QString::fromLatin1(constant))
            << constant;
    QString changed = typeIdentifierString(kCssTypeIdentifier);
    changed[0] = u'P';
    EXPECT_EQ(typeIdentifierString(kCssTypeIdentifier), QStringLiteral("public.css"));
}

TEST(TypeIdentifiers, ExtensionsAnswerAlikeOnEveryThreadPastTheCaches) {
    // Known and unknown extensions, case variants, and more of them than one cache keeps.
    QStringList extensions{"md",   "MD",   "txt",  "css", "py",  "png",
                           "jpeg", "html", "json", "c",   "zip", "markdown"};
    for (int i = 0; i < 80; ++i)
        extensions.append(QStringLiteral("x%1").arg(i));
    QStringList expected; // from the MIME database, without any cache
    for (const QString& extension : extensions) {
        const QList<QMimeType> types = QMimeDatabase().mimeTypesForFileName(QStringLiteral("x.") + extension);
        expected.append(types.isEmpty() ? QString() : typeIdentifierForMimeType(types.first().name()));
    }
    std::vector<QStringList> answers(4, QStringList(extensions.size()));
    {
        std::vector<std::jthread> threads;
        for (std::size_t t = 0; t < answers.size(); ++t)
            threads.emplace_back([&, t] {
                // Each thread meets the extensions in its own order, each several times.
                for (int round = 0; round < 3; ++round)
                    for (qsizetype i = 0; i < extensions.size(); ++i) {
                        const qsizetype at = (i * qsizetype(2 * t + 1)) % extensions.size();
                        answers[t][at] = typeIdentifierForExtension(extensions.at(at));
                    }
            });
    }
    for (const QStringList& found : answers)
        EXPECT_EQ(found, expected);
}

} // namespace
} // namespace quillet::platform
