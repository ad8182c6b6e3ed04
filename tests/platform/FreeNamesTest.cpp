#include "platform/FreeNames.h"

#include "PlatformTestSupport.h"
#include "platform/FileOperations.h"
#include "platform/ItemLock.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillet::platform {
namespace {

using testing::readBytes;
using testing::writeBytes;

TEST(FreeNamesTest, NumbersGoBeforeTheExtension) {
    EXPECT_EQ(numberedName("Note.md", 1), "Note.md");
    EXPECT_EQ(numberedName("Note.md", 2), "Note 2.md");
    EXPECT_EQ(numberedName("a.b.css", 3), "a.b 3.css");
    EXPECT_EQ(numberedName("Folder", 2), "Folder 2");
    EXPECT_EQ(numberedName(".hidden", 2), ".hidden 2");
}

TEST(FreeNamesTest, NewFilesCopiesAndMovesTakeTheFirstFreeNameAndReplaceNothing) {
    testing::TempFolder folder;
    const QString here = folder.path();
    ASSERT_TRUE(writeBytes(here + "/Note.md", "first") && writeBytes(here + "/Note 2.md", "second"));
    const auto made = createFileWithFreeName(here, "Note.md", "third");
    ASSERT_TRUE(made.ok());
    EXPECT_EQ(*made, here + "/Note 3.md");
    EXPECT_EQ(readBytes(here + "/Note.md"), "first");
    EXPECT_EQ(readBytes(*made), "third");

    ASSERT_TRUE(QDir(here).mkdir("Sub"));
    ASSERT_TRUE(writeBytes(here + "/Sub/Note.md", "kept"));
    const auto copied = copyItemToFreeName(here + "/Note 2.md", here + "/Sub", "Note.md");
    ASSERT_TRUE(copied.ok());
    EXPECT_EQ(*copied, here + "/Sub/Note 2.md");
    const auto moved = moveItemToFreeName(here + "/Note.md", here + "/Sub", "Note.md");
    ASSERT_TRUE(moved.ok());
    EXPECT_EQ(*moved, here + "/Sub/Note 3.md");
    EXPECT_EQ(readBytes(here + "/Sub/Note.md"), "kept");
    EXPECT_EQ(readBytes(*moved), "first");
    EXPECT_FALSE(itemExists(here + "/Note.md"));

    // Failures other than a taken name stop at once.
    EXPECT_EQ(createFileWithFreeName(here + "/missing", "Note.md", "x").status.errorCode, ENOENT);
    ASSERT_TRUE(setLocked(here + "/Sub", true).ok);
    EXPECT_EQ(createFileWithFreeName(here + "/Sub", "New.md", "x").status.errorCode, EPERM);
    EXPECT_EQ(moveItemToFreeName(*made, here + "/Sub", "Note.md").status.errorCode, EPERM);
    EXPECT_EQ(readBytes(*made), "third");
}

TEST(FreeNamesTest, AMoveAcrossFileSystemsThatFailsHalfWayLeavesTheSourceWhole) {
    testing::TempFolder folder;
    QTemporaryDir other(QStringLiteral("/dev/shm/quillet-XXXXXX"));
    struct stat a {}, b{};
    if (!other.isValid() || ::stat(QFile::encodeName(other.path()).constData(), &b) != 0 ||
        ::stat(QFile::encodeName(folder.path()).constData(), &a) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system";
    const QString source = folder.file("Trip");
    ASSERT_TRUE(QDir().mkpath(source) && writeBytes(source + "/a.md", "# A\n"));
    // A FIFO is not copied: the copy fails after the note was copied.
    ASSERT_EQ(::mkfifo(QFile::encodeName(source + "/z-pipe").constData(), 0600), 0);
    const Status failed = moveItem(source, other.path() + "/Trip");
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(readBytes(source + "/a.md"), "# A\n");
    EXPECT_FALSE(itemExists(other.path() + "/Trip"));

    ASSERT_TRUE(QFile::remove(source + "/z-pipe"));
    ASSERT_TRUE(moveItem(source, other.path() + "/Trip").ok);
    EXPECT_EQ(readBytes(other.path() + "/Trip/a.md"), "# A\n");
    EXPECT_FALSE(itemExists(source));
}

} // namespace
} // namespace quillet::platform
