// A record made from a local path keeps the path and builds its URL only when asked, without the
// escaping pass when the path holds no '%': the path and the URL it answers must be the ones that
// QUrl::fromLocalFile gives, and the lookups must find it the same way.

#include "browser/FileRepresentation.h"

#include "BrowserTestSupport.h"
#include "browser/NoteTree.h"
#include "platform/ManualDispatcher.h"
#include "platform/UserDefaults.h"

#include <QUrl>
#include <gtest/gtest.h>
#include <random>
#include <thread>
#include <vector>

namespace quillet {
namespace {

// Names that a URL must escape or that a path parser could stop at.
const QStringList kOddNames{
    "with space.md", "100% sure.md", "#hash.md",     "what?.md", "Straße café.md", "日本語.md", "emoji 😀.md",
    "two\nlines.md", "a%2Fb.md",     "[::1]@x:y.md", "%41",      "~user",          "..",        "{}|^`\\.md"};

void expectLikeTheURL(const QString& path) {
    const QUrl general = QUrl::fromLocalFile(path);
    const QUrl fast = fileURLForPath(path);
    EXPECT_EQ(fast, general) << path.toStdString();
    EXPECT_EQ(fast.toEncoded(), general.toEncoded()) << path.toStdString();
    EXPECT_EQ(fast.toString(), general.toString()) << path.toStdString();
    const FileRep rep = FileRepresentation::forPath(path);
    EXPECT_EQ(rep->path(), general.toLocalFile()) << path.toStdString();
    EXPECT_EQ(rep->fileURL(), general) << path.toStdString();
    EXPECT_EQ(rep->hasFileURL(), !general.isEmpty()) << path.toStdString();
    EXPECT_TRUE(rep->sameValueAs(*FileRepresentation::make(general))) << path.toStdString();
}

TEST(FileRepresentation, PathAndURLAreThoseOfTheGeneralURL) {
    for (char16_t c = 1; c < 0x80; ++c) {
        expectLikeTheURL(QStringLiteral("/notes/a") + QChar(c) + QStringLiteral("b.md"));
        expectLikeTheURL(QStringLiteral("/notes/") + QChar(c));
    }
    for (const QString& name : kOddNames)
        expectLikeTheURL(QStringLiteral("/notes/") + name + QStringLiteral("/Note.md"));
    expectLikeTheURL(QStringLiteral("/notes/") + QChar(0xD800) + QStringLiteral(".md")); // lone half
    // Shapes that a URL does not give back as they were written.
    for (const char* shape : {"", "/", "//", "///triple", "//host/share/Note.md", "relative/Note.md",
                              "C:/Windows", "/C:/Windows", "/a//b", "/trailing/", "/a/../b"})
        expectLikeTheURL(QString::fromUtf8(shape));
    // Random names of printable ASCII, Latin and CJK letters, a lone surrogate half, an astral character.
    const std::u16string alphabet = u" !\"#$%&'()*+,-.:;<=>?@[\\]^_`{|}~azAZ09éß日\xD800😀";
    std::mt19937 random(42);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (int round = 0; round < 2000; ++round) {
        QString path = QStringLiteral("/tmp");
        for (int part = 0; part < 3; ++part) {
            path += u'/';
            for (int i = 1 + int(pick(random) % 12); i > 0; --i)
                path += QChar(alphabet[pick(random)]);
        }
        expectLikeTheURL(path);
    }
}

TEST(FileRepresentation, URLsThatNameNoLocalFileAndURLsSetLater) {
    const QUrl web(QStringLiteral("https://example.com/notes/a.md"));
    const FileRep remote = FileRepresentation::make(web);
    EXPECT_EQ(remote->path(), QString());
    EXPECT_TRUE(remote->sameValueAs(*FileRepresentation::make(web)));
    // Both without a path, so only their URLs tell them apart.
    EXPECT_FALSE(
        remote->sameValueAs(*FileRepresentation::make(QUrl(QStringLiteral("https://example.com/b.md")))));
    EXPECT_FALSE(FileRepresentation::make()->hasFileURL());

    // Before and after the URL was first built from the path.
    for (const bool askedBefore : {false, true}) {
        const FileRep rep = FileRepresentation::forPath(QStringLiteral("/notes/Old name.md"));
        if (askedBefore) {
            EXPECT_EQ(rep->fileURL(), QUrl::fromLocalFile(QStringLiteral("/notes/Old name.md")));
        }
        rep->setFileURL(QUrl::fromLocalFile(QStringLiteral("/notes/New #1.md")));
        EXPECT_EQ(rep->path(), QStringLiteral("/notes/New #1.md"));
        EXPECT_TRUE(rep->sameValueAs(*FileRepresentation::forPath(QStringLiteral("/notes/New #1.md"))));
        rep->setFileURL(web);
        EXPECT_EQ(rep->path(), QString());
        EXPECT_EQ(rep->fileURL(), web);
    }
}

TEST(FileRepresentation, ManyThreadsAskingAtOnceGetOneURL) {
    FileRepList records;
    for (int i = 0; i < 200; ++i)
        records.push_back(FileRepresentation::forPath(QStringLiteral("/notes/Note %1 #x.md").arg(i)));
    std::vector<std::vector<QUrl>> answers(6);
    {
        std::vector<std::jthread> askers;
        for (std::vector<QUrl>& answer : answers)
            askers.emplace_back([&answer, &records] {
                for (const FileRep& rep : records)
                    answer.push_back(rep->fileURL());
            });
    }
    for (const std::vector<QUrl>& answer : answers)
        for (std::size_t i = 0; i < records.size(); ++i)
            EXPECT_EQ(answer.at(i), QUrl::fromLocalFile(QStringLiteral("/notes/Note %1 #x.md").arg(i)));
}

TEST(FileRepresentation, ListedRecordsOfOddNamesAreFoundByTheirURLs) {
    QTemporaryDir library, settings;
    const QString folder = library.filePath(QStringLiteral("Sub folder #1 100%"));
    for (const QString& name : kOddNames.mid(0, 10)) {
        testing::writeFile(library.filePath(name));
        testing::writeFile(folder + u'/' + name);
    }
    platform::UserDefaults defaults(settings.filePath(QStringLiteral("defaults.ini")));
    platform::ManualDispatcher dispatcher;
    NoteTree tree(defaults, dispatcher);
    tree.setLocalContainer(QUrl::fromLocalFile(library.path()));
    tree.queryLocalTop();
    const FileRep top = tree.localTop();
    ASSERT_EQ(top->children->size(), 11u);
    const FileRep sub = tree.findFileRep(QUrl::fromLocalFile(folder));
    ASSERT_TRUE(sub);
    for (const QString& name : kOddNames.mid(0, 10)) {
        for (const QString& path : {library.filePath(name), folder + u'/' + name}) {
            const QUrl url = QUrl::fromLocalFile(path);
            const FileRep found = tree.findFileRep(url);
            ASSERT_TRUE(found) << path.toStdString();
            EXPECT_EQ(found->path(), path);
            EXPECT_EQ(found->fileURL(), url);
            EXPECT_EQ(tree.findParentFileRep(url), path.startsWith(folder) ? sub : top) << path.toStdString();
        }
    }
    // A sibling is never the note that goes away.
    const QUrl first = QUrl::fromLocalFile(folder + u'/' + kOddNames.front());
    const FileRep sibling = tree.findSiblingFileRep(first);
    ASSERT_TRUE(sibling);
    EXPECT_NE(sibling->fileURL(), first);
}

} // namespace
} // namespace quillet
