// The local tree as built on several threads, with reads relative to each listed folder, must be
// the tree that the plain way gives: one folder after another, every entry examined by its
// whole path.

#include "browser/LocalTreeBuilder.h"

#include "BrowserTestSupport.h"
#include "browser/LocalRecords.h"
#include "browser/PathComponents.h"
#include "platform/ItemLock.h"
#include "platform/Tags.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace quillet {
namespace {

using testing::writeFile;

// The records of the folder's browsable entries, recursively, built entry by entry by path.
void buildByPath(const FileRep& folder) {
    FileRepList& children = folder->children.emplace();
    if (isApplicationBundle(folder->path())) return;
    const auto names = platform::listFolder(folder->path(), {false, false, {}});
    if (!names.ok()) return;
    for (const platform::FolderEntry& listed : *names) {
        const auto entry = platform::entryForPath(listed.path, {true, false, {}});
        if (!entry.ok()) continue;
        const QString type = typeIdentifierOfEntry(*entry);
        if (!isBrowsableEntry(*entry, type)) continue;
        FileRep rep = FileRepresentation::forPath(entry->path);
        rep->filename = lastComponentWithoutExtension(entry->path);
        rep->displayName = rep->filename;
        rep->directory = entry->isDirectory;
        rep->lastModified = entry->contentModificationDate;
        rep->creationDate = entry->creationDate;
        rep->isImmutable = entry->isImmutable.value_or(false);
        rep->setTagNames(platform::readTags(entry->path));
        rep->iCloud = false;
        rep->downloaded = true;
        rep->UTI = type;
        children.push_back(rep);
        if (entry->isDirectory) buildByPath(rep);
    }
}

FileRep built(const QString& path, int threads, SortDescriptors sort = {}) {
    FileRep top = FileRepresentation::forPath(path);
    buildLocalTree(top, {threads, std::move(sort)});
    return top;
}

int countRecords(const FileRep& folder) {
    int count = 1;
    if (folder->children)
        for (const FileRep& child : *folder->children)
            count += countRecords(child);
    return count;
}

class LocalTreeBuilderTest : public ::testing::Test {
protected:
    QString at(const QString& relative) const { return library.filePath(relative); }
    QTemporaryDir library;
};

TEST_F(LocalTreeBuilderTest, EveryKindOfEntryGivesTheRecordsThePlainWayGives) {
    const QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\1\0\0\0\1\x08\x02\0\0\0", 29);
    writeFile(at("Note.md"), "# Title\n");
    writeFile(at("Plain.txt"));
    writeFile(at("Style.css"), "body {}\n");
    writeFile(at("Tool.py"), "print(1)\n");
    writeFile(at("Picture.png"), png);
    writeFile(at("Journal"), "words without an extension\n");
    writeFile(at("Blob"), QByteArray("\0\1\2binary", 9));
    writeFile(at("Empty"), "");
    writeFile(at("iChats"), "chat\n");
    writeFile(at("iChats.md"));
    writeFile(at(".hidden.md"));
    writeFile(at("Viewer.app/Contents/Info.md"));
    writeFile(at("Sub/iChats/Kept.md"));
    writeFile(at("Sub/Deeper/Deepest/Last.md"));
    writeFile(at("Sub/.DS_Store"));
    writeFile(at("Odd names/100% sure #1 [draft] ?.md"));
    writeFile(at("Odd names/Café Straße 日本.md"));
    writeFile(at("Odd names/Two\nlines.md"));
    writeFile(at("Odd names/.profile"));
    writeFile(at("Odd names/trailing."));
    writeFile(at("Locked.md"));
    ASSERT_TRUE(platform::setLocked(at("Locked.md"), true));
    writeFile(at("Tagged.md"));
    ASSERT_TRUE(platform::writeTags(at("Tagged.md"), {"Red", "Work"}));
    QStringList manyTags;
    for (int i = 0; i < 40; ++i)
        manyTags.append(QStringLiteral("Tag number %1").arg(i));
    writeFile(at("ManyTags.md"));
    ASSERT_TRUE(platform::writeTags(at("ManyTags.md"), manyTags));
    ASSERT_TRUE(platform::writeTags(at("Sub"), {"Blue"}));
    ASSERT_TRUE(QFile::link("Note.md", at("Alias.md")));
    ASSERT_TRUE(QFile::link("Sub", at("Folder link")));
    ASSERT_TRUE(QFile::link("Nowhere.md", at("Dangling.md")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(at("Pipe.md")).constData(), 0644), 0);

    const FileRep expected = FileRepresentation::forPath(library.path());
    buildByPath(expected);
    ASSERT_GE(countRecords(expected), 20); // the comparison covers a real tree
    for (int threads : {1, 2, 4}) {
        const FileRep top = built(library.path(), threads);
        EXPECT_TRUE(top->sameValueAs(*expected)) << threads << " threads";
    }
    EXPECT_EQ(testing::childNamed(built(library.path(), 2), "Tagged")->tagNames(),
              (QStringList{"Red", "Work"}));
    platform::setLocked(at("Locked.md"), false);
}

TEST_F(LocalTreeBuilderTest, TagsAreTheFilesTagsWhenFirstAskedFor) {
    writeFile(at("Tagged.md"));
    writeFile(at("Retagged.md"));
    writeFile(at("Given.md"));
    ASSERT_TRUE(platform::writeTags(at("Tagged.md"), {"Red"}));
    ASSERT_TRUE(platform::writeTags(at("Retagged.md"), {"Red"}));
    const FileRep top = built(library.path(), 2);

    // Tags changed after the listing and before the first question are the ones answered; once
    // answered they stay until the tree is listed again.
    ASSERT_TRUE(platform::writeTags(at("Retagged.md"), {"Green", "Work"}));
    const FileRep retagged = testing::childNamed(top, "Retagged");
    EXPECT_EQ(retagged->tagNames(), (QStringList{"Green", "Work"}));
    ASSERT_TRUE(platform::writeTags(at("Retagged.md"), {}));
    EXPECT_EQ(retagged->tagNames(), (QStringList{"Green", "Work"}));

    // Many threads asking at once all get the one read's answer.
    const FileRep tagged = testing::childNamed(top, "Tagged");
    std::vector<QStringList> answers(8);
    {
        std::vector<std::jthread> askers;
        for (QStringList& answer : answers)
            askers.emplace_back([&answer, &tagged] { answer = tagged->tagNames(); });
    }
    for (const QStringList& answer : answers)
        EXPECT_EQ(answer, QStringList{"Red"});

    // Tags set on the record replace the file's.
    const FileRep given = testing::childNamed(top, "Given");
    given->setTagNames({"Blue"});
    EXPECT_EQ(given->tagNames(), QStringList{"Blue"});
}

TEST_F(LocalTreeBuilderTest, ManyFoldersGiveTheSameTreeOnAnyNumberOfThreads) {
    // 3 + 9 + 27 folders, a few notes in each with dates apart so that sorting has work to do.
    QStringList level{""};
    int note = 0;
    for (int depth = 0; depth < 3; ++depth) {
        QStringList next;
        for (const QString& parent : level)
            for (int i = 0; i < 3; ++i)
                next.append(parent + QStringLiteral("Folder %1/").arg(i));
        for (const QString& folder : next) {
            for (int i = 0; i < 4; ++i) {
                const QString path = at(folder + QStringLiteral("Note %1.md").arg(++note));
                writeFile(path);
                QFile file(path);
                ASSERT_TRUE(file.open(QIODevice::ReadWrite));
                file.setFileTime(QDateTime::fromSecsSinceEpoch(1'000'000 + (note * 7919) % 1000),
                                 QFileDevice::FileModificationTime);
            }
        }
        level = next;
    }
    const FileRep once = built(library.path(), 1);
    EXPECT_EQ(countRecords(once), 1 + 39 + 39 * 4);
    const SortDescriptors byDate{{SortDescriptor::Key::lastModified, false}};
    const FileRep sortedOnce = built(library.path(), 1, byDate);
    EXPECT_FALSE(sortedOnce->sameValueAs(*once)); // the sort changed something to compare
    for (int round = 0; round < 5; ++round) {
        EXPECT_TRUE(built(library.path(), 4)->sameValueAs(*once));
        EXPECT_TRUE(built(library.path(), 3, byDate)->sameValueAs(*sortedOnce));
    }
    EXPECT_EQ(buildLocalTree(FileRepresentation::forPath(library.path()), {4, {}}), 40u);
}

TEST_F(LocalTreeBuilderTest, BundlesAndMissingFoldersListNothing) {
    writeFile(at("Viewer.app/Inside.md"));
    const FileRep bundle = FileRepresentation::forPath(at("Viewer.app"));
    EXPECT_EQ(buildLocalTree(bundle, {2, {}}), 0u);
    EXPECT_TRUE(bundle->children && bundle->children->empty());
    const FileRep missing = FileRepresentation::forPath(at("missing"));
    EXPECT_EQ(buildLocalTree(missing, {2, {}}), 1u);
    EXPECT_TRUE(missing->children && missing->children->empty());
}

} // namespace
} // namespace quillet
