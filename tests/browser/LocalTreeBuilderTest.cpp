// The local tree as built on several threads, with reads relative to each listed folder, must be
// the tree that the plain way gives: one folder after another, every entry examined by its
// whole path.

#include "browser/LocalTreeBuilder.h"

#include "BrowserTestSupport.h"
#include "browser/LocalRecords.h"
#include "browser/PathComponents.h"
#include "platform/ItemLock.h"
#include "platform/Tags.h"
#include "platform/TypeIdentifiers.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace quillet {
namespace {

using testing::childNamed;
using testing::writeFile;

// The records of the folder's browsable entries, recursively, each entry examined by its path.
void buildByPath(const FileRep& folder) {
    FileRepList& children = folder->children.emplace();
    if (isApplicationBundle(folder->path())) return;
    const auto names = platform::listFolder(folder->path(), {false, false, {}});
    for (const platform::FolderEntry& listed : names.value.value_or(std::vector<platform::FolderEntry>())) {
        const auto entry = platform::entryForPath(listed.path);
        if (!entry.ok() || !isBrowsableEntry(*entry)) continue;
        children.push_back(recordForFolderEntry(*entry));
        if (entry->isDirectory) buildByPath(children.back());
    }
}

FileRep built(const QString& path, int threads, SortDescriptors sort = {}) {
    FileRep top = FileRepresentation::forPath(path);
    buildLocalTree(top, {threads, std::move(sort)});
    return top;
}

QStringList sortedNamesOf(const FileRep& folder) {
    QStringList names = testing::namesOf(*folder->children);
    names.sort();
    return names;
}

class LocalTreeBuilderTest : public ::testing::Test {
protected:
    QString at(const QString& relative) const { return library.filePath(relative); }
    QTemporaryDir library;
};

TEST_F(LocalTreeBuilderTest, EveryKindOfEntryGivesTheRecordsThePlainWayGives) {
    writeFile(at("Note.md"), "# Title\n");
    writeFile(at("Latin.md"), "caf\xe9 au lait\n"); // not UTF-8: still a note, read later
    writeFile(at("Plain.txt"));
    writeFile(at("Style.css"), "body {}\n");
    writeFile(at("Tool.py"), "print(1)\n");
    writeFile(at("Picture.png"),
              QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\1\0\0\0\1\x08\x02\0\0\0", 29));
    writeFile(at("Journal"), "words without an extension\n");
    writeFile(at("Blob"), QByteArray("\0\1\2binary", 9));
    writeFile(at("iChats"), "chat\n");
    writeFile(at(".hidden.md"));
    writeFile(at("Viewer.app/Contents/Info.md"));
    writeFile(at("Sub/iChats/Kept.md"));
    writeFile(at("Sub/Deeper/Deepest/Last.md"));
    writeFile(at("Sub/.DS_Store"));
    QDir(library.path()).mkdir("Empty");
    writeFile(at("Odd names/100% sure #1 [draft] ?.md"));
    writeFile(at("Odd names/Café Straße 日本.md"));
    writeFile(at("Odd names/Two\nlines.md"));
    writeFile(at("Odd names/trailing."));
    writeFile(at("Odd names/Notes v1.2.md"));
    const QByteArray badName = QFile::encodeName(at("Odd names")) + "/Bad\xff.md";
    ::close(::open(badName.constData(), O_CREAT | O_WRONLY, 0644));
    writeFile(at("Locked.md"));
    ASSERT_TRUE(platform::setLocked(at("Locked.md"), true));
    QStringList manyTags;
    for (int i = 0; i < 40; ++i)
        manyTags.append(QStringLiteral("Tag number %1").arg(i)); // over the first read's 256 bytes
    writeFile(at("Tagged.md"));
    ASSERT_TRUE(platform::writeTags(at("Tagged.md"), manyTags));
    ASSERT_TRUE(platform::writeTags(at("Sub"), {"Blue"}));
    ASSERT_TRUE(QFile::link("Note.md", at("Alias.md")));
    ASSERT_TRUE(QFile::link("Sub", at("Folder link")) && QFile::link("..", at("Sub/up")));
    ASSERT_TRUE(QFile::link("Nowhere.md", at("Dangling.md")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(at("Pipe.md")).constData(), 0644), 0);

    const FileRep expected = FileRepresentation::forPath(library.path());
    buildByPath(expected);
    for (int threads : {1, 2, 4})
        EXPECT_TRUE(built(library.path(), threads)->sameValueAs(*expected)) << threads << " threads";

    // What both ways give.
    const FileRep top = built(library.path(), 2);
    EXPECT_EQ(sortedNamesOf(top), (QStringList{"Alias", "Empty", "Journal", "Latin", "Locked", "Note",
                                               "Odd names", "Plain", "Style", "Sub", "Tagged", "Tool"}));
    EXPECT_EQ(sortedNamesOf(childNamed(top, "Sub")),
              (QStringList{"Deeper", "iChats"})); // a folder "iChats" is kept
    EXPECT_EQ(
        sortedNamesOf(childNamed(top, "Odd names")), // a name that is not UTF-8 cannot be addressed
        (QStringList{"100% sure #1 [draft] ?", "Café Straße 日本", "Notes v1.2", "Two\nlines", "trailing"}));
    EXPECT_EQ(childNamed(top, "Journal")->UTI, QString::fromLatin1(platform::kPlainTextTypeIdentifier));
    EXPECT_TRUE(childNamed(top, "Locked")->isImmutable);
    EXPECT_FALSE(childNamed(top, "Note")->isImmutable);
    EXPECT_EQ(childNamed(top, "Tagged")->tagNames(), manyTags);
    EXPECT_TRUE(childNamed(top, "Empty")->children->empty());
    platform::setLocked(at("Locked.md"), false);
    ::unlink(badName.constData()); // QDir cannot remove it
}

TEST_F(LocalTreeBuilderTest, TagsAreTheFilesTagsWhenFirstAskedFor) {
    for (const char* name : {"Tagged.md", "Retagged.md", "Given.md"}) {
        writeFile(at(name));
        ASSERT_TRUE(platform::writeTags(at(name), {"Red"}));
    }
    const FileRep top = built(library.path(), 2);
    // Tags changed after the listing and before the first question are the ones answered; once
    // answered they stay until the tree is listed again.
    ASSERT_TRUE(platform::writeTags(at("Retagged.md"), {"Green", "Work"}));
    const FileRep retagged = childNamed(top, "Retagged");
    EXPECT_EQ(retagged->tagNames(), (QStringList{"Green", "Work"}));
    ASSERT_TRUE(platform::writeTags(at("Retagged.md"), {}));
    EXPECT_EQ(retagged->tagNames(), (QStringList{"Green", "Work"}));
    // Many threads asking at once all get the one read's answer.
    const FileRep tagged = childNamed(top, "Tagged");
    std::vector<QStringList> answers(8);
    {
        std::vector<std::jthread> askers;
        for (QStringList& answer : answers)
            askers.emplace_back([&answer, &tagged] { answer = tagged->tagNames(); });
    }
    for (const QStringList& answer : answers)
        EXPECT_EQ(answer, QStringList{"Red"});
    // Tags set on the record replace the file's.
    childNamed(top, "Given")->setTagNames({"Blue"});
    EXPECT_EQ(childNamed(top, "Given")->tagNames(), QStringList{"Blue"});
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
    const SortDescriptors byDate{{SortDescriptor::Key::lastModified, false}};
    const FileRep sortedOnce = built(library.path(), 1, byDate);
    EXPECT_FALSE(sortedOnce->sameValueAs(*once)); // the sort changed something to compare
    for (int round = 0; round < 5; ++round) {
        EXPECT_TRUE(built(library.path(), 4)->sameValueAs(*once));
        EXPECT_TRUE(built(library.path(), 3, byDate)->sameValueAs(*sortedOnce));
    }
    EXPECT_EQ(buildLocalTree(FileRepresentation::forPath(library.path()), {4, {}}), 40u); // folders listed
}

} // namespace
} // namespace quillet
