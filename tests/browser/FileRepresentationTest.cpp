// A record made from a local path keeps the path and builds its URL only when asked: the path
// and the URL it answers must be the ones a record built from QUrl::fromLocalFile would give, and
// the lookups must find it the same way.

#include "browser/FileRepresentation.h"

#include "BrowserTestSupport.h"
#include "browser/LocalTreeBuilder.h"
#include "browser/NoteTree.h"
#include "platform/ManualDispatcher.h"
#include "platform/UserDefaults.h"

#include <QUrl>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace quillet {
namespace {

// Names that a URL must escape or that a path parser could stop at.
QStringList oddNames() {
    return {QStringLiteral("with space.md"), QStringLiteral("100% sure.md"),   QStringLiteral("#hash.md"),
            QStringLiteral("what?.md"),      QStringLiteral("Straße café.md"), QStringLiteral("日本語.md"),
            QStringLiteral("emoji 😀.md"),    QStringLiteral("two\nlines.md"),  QStringLiteral("a%2Fb.md"),
            QStringLiteral("[::1]@x:y.md")};
}

void expectLikeTheURL(const QString& path) {
    const QUrl general = QUrl::fromLocalFile(path);
    const FileRep rep = FileRepresentation::forPath(path);
    EXPECT_EQ(rep->path(), general.toLocalFile()) << path.toStdString();
    EXPECT_EQ(rep->hasFileURL(), !general.isEmpty()) << path.toStdString();
    EXPECT_EQ(rep->fileURL(), general) << path.toStdString();
    EXPECT_EQ(rep->fileURL().toString(), general.toString()) << path.toStdString();
    EXPECT_TRUE(rep->sameValueAs(*FileRepresentation::make(general))) << path.toStdString();
}

TEST(FileRepresentation, PathAndURLAreThoseOfTheGeneralURL) {
    for (const QString& name : oddNames())
        expectLikeTheURL(QStringLiteral("/notes/") + name);
    for (char16_t c = 1; c < 0x80; ++c)
        expectLikeTheURL(QStringLiteral("/notes/a") + QChar(c) + QStringLiteral("b.md"));
    expectLikeTheURL(QStringLiteral("/notes/") + QChar(0xD800) + QStringLiteral(".md")); // lone half
    // Shapes that a URL does not give back as they were written.
    for (const char* shape : {"", "/", "//", "///triple", "//host/share/Note.md", "relative/Note.md",
                              "C:/Windows", "/C:/Windows", "/a//b", "/trailing/", "/a/../b"})
        expectLikeTheURL(QString::fromUtf8(shape));
}

TEST(FileRepresentation, URLsThatNameNoLocalFile) {
    const QUrl web(QStringLiteral("https://example.com/notes/a.md"));
    const FileRep remote = FileRepresentation::make(web);
    EXPECT_EQ(remote->fileURL(), web);
    EXPECT_EQ(remote->path(), QString());
    EXPECT_TRUE(remote->hasFileURL());
    // Both without a path, so only their URLs tell them apart.
    EXPECT_FALSE(
        remote->sameValueAs(*FileRepresentation::make(QUrl(QStringLiteral("https://example.com/b.md")))));
    EXPECT_TRUE(remote->sameValueAs(*FileRepresentation::make(web)));

    const FileRep none = FileRepresentation::make();
    EXPECT_TRUE(none->fileURL().isEmpty());
    EXPECT_FALSE(none->hasFileURL());
    EXPECT_FALSE(none->sameValueAs(*remote));
}

TEST(FileRepresentation, SettingTheURLReplacesPathAndURL) {
    // Before and after the URL was first built from the path.
    for (const bool askedBefore : {false, true}) {
        const FileRep rep = FileRepresentation::forPath(QStringLiteral("/notes/Old name.md"));
        if (askedBefore) {
            EXPECT_EQ(rep->fileURL(), QUrl::fromLocalFile(QStringLiteral("/notes/Old name.md")));
        }
        const QUrl renamed = QUrl::fromLocalFile(QStringLiteral("/notes/New #1.md"));
        rep->setFileURL(renamed);
        EXPECT_EQ(rep->fileURL(), renamed);
        EXPECT_EQ(rep->path(), QStringLiteral("/notes/New #1.md"));
        EXPECT_FALSE(rep->sameValueAs(*FileRepresentation::forPath(QStringLiteral("/notes/Old name.md"))));
        EXPECT_TRUE(rep->sameValueAs(*FileRepresentation::forPath(QStringLiteral("/notes/New #1.md"))));

        rep->setFileURL(QUrl(QStringLiteral("https://example.com/a.md")));
        EXPECT_EQ(rep->path(), QString());
        EXPECT_EQ(rep->fileURL(), QUrl(QStringLiteral("https://example.com/a.md")));
        rep->setFileURL(QUrl());
        EXPECT_FALSE(rep->hasFileURL());
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
    for (const std::vector<QUrl>& answer : answers) {
        ASSERT_EQ(answer.size(), records.size());
        for (std::size_t i = 0; i < records.size(); ++i)
            EXPECT_EQ(answer[i], QUrl::fromLocalFile(QStringLiteral("/notes/Note %1 #x.md").arg(i)));
    }
}

// A listed folder of odd names: each record is found by the URL of its path, and answers that URL.
TEST(FileRepresentation, ListedRecordsOfOddNamesAreFoundByTheirURLs) {
    QTemporaryDir library;
    const QString folder = library.filePath(QStringLiteral("Sub folder #1 100%"));
    for (const QString& name : oddNames()) {
        testing::writeFile(library.filePath(name));
        testing::writeFile(folder + u'/' + name);
    }
    QTemporaryDir settings;
    platform::UserDefaults defaults(settings.filePath(QStringLiteral("defaults.ini")));
    platform::ManualDispatcher dispatcher;
    NoteTree tree(defaults, dispatcher);
    tree.setLocalContainer(QUrl::fromLocalFile(library.path()));
    tree.queryLocalTop();
    const FileRep top = tree.localTop();
    ASSERT_EQ(top->children->size(), std::size_t(oddNames().size() + 1));

    const FileRep sub = tree.findFileRep(QUrl::fromLocalFile(folder));
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->fileURL(), QUrl::fromLocalFile(folder));
    for (const QString& name : oddNames()) {
        for (const QString& path : {library.filePath(name), folder + u'/' + name}) {
            const QUrl url = QUrl::fromLocalFile(path);
            const FileRep found = tree.findFileRep(url);
            ASSERT_TRUE(found) << path.toStdString();
            EXPECT_EQ(found->path(), path);
            EXPECT_EQ(found->fileURL(), url) << path.toStdString();
            EXPECT_EQ(tree.findParentFileRep(url), path.startsWith(folder) ? sub : top) << path.toStdString();
            // A note made apart from the tree, with the same values, is found by value.
            const FileRep twin = FileRepresentation::make(url);
            twin->filename = found->filename;
            twin->displayName = found->displayName;
            twin->directory = found->directory;
            twin->lastModified = found->lastModified;
            twin->creationDate = found->creationDate;
            twin->isImmutable = found->isImmutable;
            twin->setTagNames(found->tagNames());
            twin->downloaded = true;
            twin->UTI = found->UTI;
            EXPECT_EQ(NoteTree::findItem(twin, top), path.startsWith(folder) ? sub : top)
                << path.toStdString();
        }
    }
    // A sibling is never the note that goes away.
    const QUrl first = QUrl::fromLocalFile(folder + u'/' + oddNames().front());
    const FileRep sibling = tree.findSiblingFileRep(first);
    ASSERT_TRUE(sibling);
    EXPECT_NE(sibling->fileURL(), first);
    EXPECT_FALSE(sibling->directory);
}

} // namespace
} // namespace quillet
