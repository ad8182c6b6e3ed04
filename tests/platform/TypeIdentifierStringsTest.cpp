// Identifier strings with static text, and the per-thread extension caches, must answer exactly as
// the plain strings and the MIME database do.

#include "PlatformTestSupport.h"
#include "platform/TypeIdentifiers.h"

#include <QMimeDatabase>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace quillet::platform {
namespace {

const char* const kConstants[] = {kMarkdownTypeIdentifier,     kPlainTextTypeIdentifier, kCssTypeIdentifier,
                                  kPythonScriptTypeIdentifier, kFolderTypeIdentifier,    kPngTypeIdentifier,
                                  kJpegTypeIdentifier,         kHtmlTypeIdentifier,      kDataTypeIdentifier,
                                  kTextTypeIdentifier,         kSymlinkTypeIdentifier};

TEST(TypeIdentifierStrings, HoldTheConstantsText) {
    for (const char* constant : kConstants) {
        const QString identifier = typeIdentifierString(constant);
        EXPECT_EQ(identifier, QString::fromLatin1(constant));
        EXPECT_EQ(identifier.size(), qsizetype(std::strlen(constant)));
        // The same text from another buffer finds the same identifier.
        const std::string copy(constant);
        EXPECT_EQ(typeIdentifierString(copy.c_str()), identifier);
    }
    EXPECT_EQ(typeIdentifierString("org.example.other"), QStringLiteral("org.example.other"));
    EXPECT_EQ(typeIdentifierString(""), QString());

    // A changed copy leaves the static text and the other copies alone.
    const QString first = typeIdentifierString(kCssTypeIdentifier);
    QString changed = first;
    changed.append(QStringLiteral(".changed"));
    changed[0] = u'P';
    EXPECT_EQ(first, QStringLiteral("public.css"));
    EXPECT_EQ(typeIdentifierString(kCssTypeIdentifier), QStringLiteral("public.css"));
    EXPECT_EQ(changed, QStringLiteral("Public.css.changed"));
}

// What the MIME database says for the extension, without any cache.
QString uncachedIdentifier(const QString& extension) {
    const QList<QMimeType> types = QMimeDatabase().mimeTypesForFileName(QStringLiteral("x.") + extension);
    return types.isEmpty() ? QString() : typeIdentifierForMimeType(types.first().name());
}

TEST(TypeIdentifierStrings, ExtensionsAnswerAlikeOnEveryThread) {
    // Known and unknown extensions, case variants, and more of them than one cache keeps.
    QStringList extensions{"md",   "MD",   "txt",  "css", "py",  "png",
                           "jpeg", "html", "json", "c",   "zip", "markdown"};
    for (int i = 0; i < 80; ++i)
        extensions.append(QStringLiteral("x%1").arg(i));
    QStringList expected;
    for (const QString& extension : extensions)
        expected.append(uncachedIdentifier(extension));
    ASSERT_EQ(expected.first(), QString::fromLatin1(kMarkdownTypeIdentifier));
    ASSERT_EQ(expected.at(extensions.indexOf("zip")), QString::fromLatin1(kDataTypeIdentifier));

    std::vector<QStringList> answers(4);
    {
        std::vector<std::jthread> threads;
        for (std::size_t t = 0; t < answers.size(); ++t) {
            threads.emplace_back([&, t] {
                // Each thread meets the extensions in its own order, each several times.
                for (int round = 0; round < 3; ++round) {
                    QStringList found;
                    for (qsizetype i = 0; i < extensions.size(); ++i) {
                        const qsizetype at = (i * qsizetype(2 * t + 1)) % extensions.size();
                        found.append(typeIdentifierForExtension(extensions.at(at)) + u'@' +
                                     QString::number(at));
                    }
                    found.sort();
                    answers[t] = found;
                }
            });
        }
    }
    QStringList wanted;
    for (qsizetype i = 0; i < extensions.size(); ++i)
        wanted.append(expected.at(i) + u'@' + QString::number(i));
    wanted.sort();
    for (const QStringList& found : answers)
        EXPECT_EQ(found, wanted);
}

} // namespace
} // namespace quillet::platform
