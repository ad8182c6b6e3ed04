// Reads relative to an open folder must answer exactly as the reads by whole path they replace.

#include "PlatformTestSupport.h"
#include "platform/FolderListing.h"
#include "platform/PosixFiles.h"
#include "platform/Tags.h"
#include "platform/TypeIdentifiers.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace quillet::platform {
namespace {

using testing::TempFolder;
using testing::writeBytes;

bool setRawTags(const QString& path, const QByteArray& value) {
    return ::setxattr(QFile::encodeName(path).constData(), "user.xdg.tags", value.constData(), value.size(),
                      0) == 0;
}

// Restores the relative reads as they were when the test ends.
class RelativeReads {
public:
    explicit RelativeReads(bool enabled) : before_(posix::setRelativeAttributeReads(enabled)) {}
    ~RelativeReads() { posix::setRelativeAttributeReads(before_); }

private:
    bool before_;
};

TEST(RelativeReads, TagsEqualThoseReadByPath) {
    TempFolder folder;
    ASSERT_TRUE(writeBytes(folder.file("None.md"), "x"));
    ASSERT_TRUE(writeBytes(folder.file("Short.md"), "x"));
    ASSERT_TRUE(writeTags(folder.file("Short.md"), {"Red", "Work"}).ok);
    QStringList many;
    for (int i = 0; i < 60; ++i)
        many.append(QStringLiteral("A rather long tag %1").arg(i)); // well over the first read
    ASSERT_TRUE(writeBytes(folder.file("Long.md"), "x"));
    ASSERT_TRUE(writeTags(folder.file("Long.md"), many).ok);
    ASSERT_TRUE(writeBytes(folder.file("Invalid.md"), "x"));
    ASSERT_TRUE(setRawTags(folder.file("Invalid.md"), "Red,\xff"));
    ASSERT_TRUE(writeBytes(folder.file("Blanks.md"), "x"));
    ASSERT_TRUE(setRawTags(folder.file("Blanks.md"), " a , ,b,"));
    ASSERT_TRUE(QFile::link("Short.md", folder.file("Link.md")));
    ASSERT_TRUE(QDir(folder.path()).mkdir("Folder"));
    ASSERT_TRUE(writeTags(folder.file("Folder"), {"Blue"}).ok);
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.file("Pipe")).constData(), 0644), 0);

    const posix::FileDescriptor fd(
        ::open(QFile::encodeName(folder.path()).constData(), O_RDONLY | O_DIRECTORY));
    ASSERT_TRUE(fd.valid());
    const char* names[] = {"None.md", "Short.md", "Long.md", "Invalid.md", "Blanks.md",
                           "Link.md", "Folder",   "Pipe",    "Missing.md"};
    for (bool relative : {true, false}) {
        RelativeReads reads(relative);
        for (const char* name : names) {
            const QString path = folder.file(QString::fromUtf8(name));
            EXPECT_EQ(readTagsAt(fd.get(), name, path), readTags(path)) << name << " relative " << relative;
        }
    }
    // The comparison above means something only if the reads found tags.
    EXPECT_EQ(readTagsAt(fd.get(), "Short.md", folder.file("Short.md")), (QStringList{"Red", "Work"}));
    EXPECT_EQ(readTagsAt(fd.get(), "Long.md", folder.file("Long.md")), many);
    EXPECT_EQ(readTagsAt(fd.get(), "Link.md", folder.file("Link.md")), (QStringList{"Red", "Work"}));
    EXPECT_EQ(readTagsAt(fd.get(), "Blanks.md", folder.file("Blanks.md")), (QStringList{"a", "b"}));
    EXPECT_TRUE(readTagsAt(fd.get(), "Invalid.md", folder.file("Invalid.md")).isEmpty());
}

TEST(RelativeReads, ListingKeepsOnlyAcceptedEntriesWithTheirTags) {
    TempFolder folder;
    ASSERT_TRUE(writeBytes(folder.file("Kept.md"), "x"));
    ASSERT_TRUE(writeTags(folder.file("Kept.md"), {"Green"}).ok);
    ASSERT_TRUE(writeBytes(folder.file("Dropped.png"), "x"));
    ASSERT_TRUE(QDir(folder.path()).mkdir("Sub"));
    ASSERT_TRUE(writeTags(folder.file("Sub"), {"Gray"}).ok);
    ListingOptions options;
    int asked = 0;
    options.keep = [&](const FolderEntry& entry) {
        ++asked;
        EXPECT_TRUE(entry.tagNames.isEmpty()); // judged before the tags are read
        return entry.name != QStringLiteral("Dropped.png");
    };
    const auto listing = listFolder(folder.path(), options);
    ASSERT_TRUE(listing.ok());
    EXPECT_EQ(asked, 3);
    ASSERT_EQ(listing->size(), 2u);
    for (const FolderEntry& entry : *listing) {
        const auto alone = entryForPath(entry.path);
        ASSERT_TRUE(alone.ok());
        EXPECT_EQ(entry.tagNames, alone->tagNames) << entry.name.toStdString();
        EXPECT_EQ(entry.typeIdentifier, alone->typeIdentifier);
        EXPECT_EQ(entry.contentModificationDate, alone->contentModificationDate);
        EXPECT_EQ(entry.creationDate, alone->creationDate);
        EXPECT_EQ(entry.isImmutable, alone->isImmutable);
        EXPECT_EQ(entry.tagNames.size(), 1);
    }
}

TEST(RelativeReads, TypesByExtensionStayRightPastTheCache) {
    // More extensions than the cache holds: every one still answers as the MIME database does.
    TempFolder folder;
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(typeIdentifierForExtension(QStringLiteral("zz%1").arg(i)), QString());
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(typeIdentifierForExtension("md"), kMarkdownTypeIdentifier);
        EXPECT_EQ(typeIdentifierForExtension("MD"), kMarkdownTypeIdentifier);
        EXPECT_EQ(typeIdentifierForExtension("css"), kCssTypeIdentifier);
        EXPECT_EQ(typeIdentifierForExtension("png"), kPngTypeIdentifier);
    }
    ASSERT_TRUE(QDir(folder.path()).mkdir("Notes.d"));
    ASSERT_TRUE(writeBytes(folder.file("Notes.d/Journal"), "plain words\n"));
    EXPECT_EQ(typeIdentifierForFile(folder.file("Notes.d/Journal")), kPlainTextTypeIdentifier); // not ".d"
}

} // namespace
} // namespace quillet::platform
