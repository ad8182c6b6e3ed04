#include "browser/LocalRecords.h"

#include "BrowserTestSupport.h"
#include "browser/PathComponents.h"

#include <QUrl>
#include <gtest/gtest.h>
#include <random>

namespace quillet {
namespace {

// The fast URL must be the very URL QUrl::fromLocalFile gives: equal, and the same in every
// form the program reads back.
void expectSameURL(const QString& path) {
    const QUrl fast = fileURLForPath(path);
    const QUrl general = QUrl::fromLocalFile(path);
    EXPECT_EQ(fast, general) << path.toStdString();
    EXPECT_EQ(fast.toEncoded(), general.toEncoded()) << path.toStdString();
    EXPECT_EQ(fast.toString(), general.toString()) << path.toStdString();
    EXPECT_EQ(fast.toLocalFile(), general.toLocalFile()) << path.toStdString();
    EXPECT_EQ(fast.path(), general.path()) << path.toStdString();
    EXPECT_EQ(fast.isValid(), general.isValid()) << path.toStdString();
}

TEST(FileURLForPath, EqualsTheGeneralConstructionForEveryCharacter) {
    for (char16_t c = 1; c < 0x80; ++c) {
        expectSameURL(QStringLiteral("/notes/a") + QChar(c) + QStringLiteral("b.md"));
        expectSameURL(QStringLiteral("/notes/") + QChar(c));
    }
    for (const char* odd : {"é",   "Straße", "日本語", "😀",     "%41", "%", "a%2Fb", "#x", "?q=1", "[::1]",
                            "a b", "\\",     "x:y",    "~user", "..",  ".", "@host", "{}", "|",    "^`"})
        expectSameURL(QStringLiteral("/notes/") + QString::fromUtf8(odd) + QStringLiteral("/Note.md"));
    for (const char* shape : {"/", "//", "//host/share/Note.md", "///triple", "relative/Note.md", "Note.md",
                              "", "/trailing/", "/a//b", "C:/Windows"})
        expectSameURL(QString::fromUtf8(shape));
}

TEST(FileURLForPath, EqualsTheGeneralConstructionForRandomNames) {
    // Printable ASCII, a few Latin and CJK letters, a lone surrogate half, an astral character.
    const std::u16string alphabet = u" !\"#$%&'()*+,-.:;<=>?@[\\]^_`{|}~azAZ09éß日\xD800😀";
    std::mt19937 random(42);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(1, 12);
    for (int round = 0; round < 2000; ++round) {
        QString path = QStringLiteral("/tmp");
        for (int part = 0; part < 3; ++part) {
            path += u'/';
            for (int i = length(random); i > 0; --i)
                path += QChar(alphabet[pick(random)]);
        }
        expectSameURL(path);
    }
}

TEST(LocalRecords, NamesWithoutExtensionMatchThePathRule) {
    platform::FolderEntry entry;
    entry.isRegularFile = true;
    entry.typeIdentifier = QStringLiteral("public.plain-text");
    for (const char* name : {"Note.md", "a.b.md", ".profile", "trailing.", "plain", "..double", "x.y.z"}) {
        entry.name = QString::fromUtf8(name);
        entry.path = QStringLiteral("/notes/") + entry.name;
        const FileRep rep = recordForFolderEntry(entry);
        EXPECT_EQ(rep->filename, lastComponentWithoutExtension(entry.path)) << name;
        EXPECT_EQ(rep->displayName, rep->filename) << name;
        EXPECT_EQ(rep->fileURL(), QUrl::fromLocalFile(entry.path)) << name;
    }
}

} // namespace
} // namespace quillet
