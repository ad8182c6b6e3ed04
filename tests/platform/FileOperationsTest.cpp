#include "platform/FileOperations.h"

#include "PlatformTestSupport.h"
#include "platform/ExtendedAttributes.h"
#include "platform/ItemLock.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet::platform {
namespace {

using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

class FileOperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(folder.path()).mkpath("Recipes/Old"));
        ASSERT_TRUE(writeBytes(folder.file("Recipes/Bread.md"), "# Bread\n"));
        ASSERT_TRUE(writeBytes(folder.file("Recipes/Old/Cake.md"), "# Cake\n"));
        ASSERT_TRUE(writeAttribute(folder.file("Recipes/Bread.md"), "displayName", "Bread").ok);
    }
    TempFolder folder;
};

TEST_F(FileOperationsTest, CopyKeepsContentModeAndAttributesAndRefusesToOverwrite) {
    ASSERT_TRUE(setLocked(folder.file("Recipes/Bread.md"), true).ok);
    ASSERT_TRUE(QFile::link("Bread.md", folder.file("Recipes/link.md")));
    ASSERT_TRUE(copyItem(folder.file("Recipes"), folder.file("Copy")).ok);

    EXPECT_EQ(readBytes(folder.file("Copy/Bread.md")), QByteArray("# Bread\n"));
    EXPECT_EQ(readBytes(folder.file("Copy/Old/Cake.md")), QByteArray("# Cake\n"));
    EXPECT_EQ(*readAttribute(folder.file("Copy/Bread.md"), "displayName", 100), QByteArray("Bread"));
    EXPECT_TRUE(*isLocked(folder.file("Copy/Bread.md")));
    EXPECT_EQ(QFileInfo(folder.file("Copy/link.md")).symLinkTarget(), folder.file("Copy/Bread.md"));

    const Status again = copyItem(folder.file("Recipes/Old/Cake.md"), folder.file("Copy/Bread.md"));
    EXPECT_EQ(again.errorCode, EEXIST);
    EXPECT_EQ(readBytes(folder.file("Copy/Bread.md")), QByteArray("# Bread\n"));
    EXPECT_EQ(copyItem(folder.file("nothing.md"), folder.file("x.md")).errorCode, ENOENT);
}

TEST_F(FileOperationsTest, MoveRenamesAndCarriesTheAttributeSideFile) {
    const QString bread = folder.file("Recipes/Bread.md");
    ASSERT_TRUE(writeAttribute(bread, "text.selectedRange", "{3, 1}", AttributeStorage::sideFile).ok);
    ASSERT_TRUE(moveItem(bread, folder.file("Bread2.md")).ok);
    EXPECT_FALSE(itemExists(bread));
    EXPECT_FALSE(itemExists(attributeSideFilePath(bread)));
    EXPECT_EQ(readBytes(folder.file("Bread2.md")), QByteArray("# Bread\n"));
    EXPECT_EQ(*readAttribute(folder.file("Bread2.md"), "displayName", 100), QByteArray("Bread"));
    EXPECT_EQ(*readAttribute(folder.file("Bread2.md"), "text.selectedRange", 100, AttributeStorage::sideFile),
              QByteArray("{3, 1}"));

    EXPECT_EQ(moveItem(folder.file("Bread2.md"), folder.file("Recipes/Old/Cake.md")).errorCode, EEXIST);
    EXPECT_EQ(readBytes(folder.file("Recipes/Old/Cake.md")), QByteArray("# Cake\n"));
}

TEST_F(FileOperationsTest, MoveAcrossFileSystemsCopiesAndRemoves) {
    // /dev/shm is a tmpfs here, another file system than the temporary folder.
    QTemporaryDir other(QStringLiteral("/dev/shm/quillet-XXXXXX"));
    struct stat a {
    }, b{};
    if (!other.isValid() || ::stat("/dev/shm", &b) != 0 ||
        ::stat(QFile::encodeName(folder.path()).constData(), &a) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system";
    const QString target = other.path() + "/Recipes";
    ASSERT_TRUE(moveItem(folder.file("Recipes"), target).ok);
    EXPECT_FALSE(itemExists(folder.file("Recipes")));
    EXPECT_EQ(readBytes(target + "/Old/Cake.md"), QByteArray("# Cake\n"));
    EXPECT_EQ(*readAttribute(target + "/Bread.md", "displayName", 100), QByteArray("Bread"));
}

TEST_F(FileOperationsTest, LockedItemsRefuseRemovalAndMovesWithEperm) {
    const QString cake = folder.file("Recipes/Old/Cake.md");
    ASSERT_TRUE(setLocked(cake, true).ok);

    for (const Status& status : {removeItem(cake), moveItem(cake, folder.file("Cake.md")),
                                 removeItem(folder.file("Recipes")), // holds the locked note
                                 moveItem(folder.file("Recipes"), folder.file("Moved"))}) {
        EXPECT_FALSE(status.ok);
        EXPECT_EQ(status.errorCode, EPERM);
    }
    EXPECT_TRUE(itemExists(cake));
    EXPECT_TRUE(itemExists(folder.file("Recipes/Bread.md"))); // nothing removed half-way

    // A copy only reads: allowed.
    EXPECT_TRUE(copyItem(cake, folder.file("CakeCopy.md")).ok);
    ASSERT_TRUE(setLocked(cake, false).ok);
    EXPECT_TRUE(removeItem(folder.file("Recipes")).ok);
    EXPECT_FALSE(itemExists(folder.file("Recipes")));
}

TEST_F(FileOperationsTest, ALockedFolderKeepsItsEntries) {
    const QString old = folder.file("Recipes/Old");
    ASSERT_TRUE(setLocked(old, true).ok);
    EXPECT_EQ(removeItem(folder.file("Recipes/Old/Cake.md")).errorCode, EPERM);
    EXPECT_EQ(moveItem(folder.file("Recipes/Bread.md"), old + "/Bread.md").errorCode, EPERM);
    EXPECT_EQ(copyItem(folder.file("Recipes/Bread.md"), old + "/Bread.md").errorCode, EPERM);
    EXPECT_EQ(createFolder(old + "/New", false).errorCode, EPERM);
    EXPECT_EQ(QDir(old).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"Cake.md"});
    ASSERT_TRUE(setLocked(old, false).ok);
}

TEST_F(FileOperationsTest, ImmutableNotesAreRefusedBeforeTheKernelIsAsked) {
    QUILLET_SKIP_WITHOUT_IMMUTABLE(folder.path());
    const QString bread = folder.file("Recipes/Bread.md");
    ASSERT_TRUE(setImmutableAttribute(bread, true).ok);
    EXPECT_EQ(removeItem(folder.file("Recipes")).errorCode, EPERM);
    EXPECT_TRUE(itemExists(folder.file("Recipes/Old/Cake.md"))); // refused before anything went
    EXPECT_EQ(moveItem(bread, folder.file("B.md")).errorCode, EPERM);
    ASSERT_TRUE(copyItem(bread, folder.file("B.md")).ok);
    EXPECT_TRUE(*isLocked(folder.file("B.md"))); // the copy is locked by its mode
    EXPECT_FALSE(*hasImmutableAttribute(folder.file("B.md")));
}

TEST_F(FileOperationsTest, RemoveDoesNotFollowLinksOutOfTheFolder) {
    TempFolder outside;
    ASSERT_TRUE(writeBytes(outside.file("keep.md"), "keep"));
    ASSERT_TRUE(QFile::link(outside.path(), folder.file("Recipes/outside")));
    ASSERT_TRUE(QFile::link(folder.file("Recipes"), folder.file("Recipes/Old/loop")));
    ASSERT_TRUE(removeItem(folder.file("Recipes")).ok);
    EXPECT_FALSE(itemExists(folder.file("Recipes")));
    EXPECT_EQ(readBytes(outside.file("keep.md")), QByteArray("keep"));
}

TEST_F(FileOperationsTest, CreateFolderWithAndWithoutIntermediates) {
    EXPECT_EQ(createFolder(folder.file("a/b/c"), false).errorCode, ENOENT);
    EXPECT_TRUE(createFolder(folder.file("a/b/c"), true).ok);
    EXPECT_TRUE(QFileInfo(folder.file("a/b/c")).isDir());
    EXPECT_TRUE(createFolder(folder.file("a/b/c"), true).ok); // existing is fine
    EXPECT_EQ(createFolder(folder.file("a/b/c"), false).errorCode, EEXIST);
    EXPECT_EQ(createFolder(folder.file("Recipes/Bread.md"), true).errorCode, EEXIST); // a file
    EXPECT_EQ(removeItem(folder.file("nothing")).errorCode, ENOENT);
}

TEST_F(FileOperationsTest, NamesWithNewlinesAndUnusualCharacters) {
    const QString odd = folder.file("line\nbreak ✓ \"q\".md");
    ASSERT_TRUE(writeBytes(odd, "odd"));
    ASSERT_TRUE(copyItem(odd, odd + ".copy").ok);
    ASSERT_TRUE(moveItem(odd + ".copy", folder.file("Recipes/line\nbreak.md")).ok);
    EXPECT_EQ(readBytes(folder.file("Recipes/line\nbreak.md")), QByteArray("odd"));
    ASSERT_TRUE(removeItem(odd).ok);
    EXPECT_FALSE(itemExists(odd));
}

TEST_F(FileOperationsTest, FoldersHoldingNamesThatAreNotUtf8AreCopiedAndRemovedWhole) {
    const QByteArray bad = QFile::encodeName(folder.file("Recipes")) + "/bad\xfe.md";
    const int fd = ::open(bad.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "x", 1), 1);
    ::close(fd);
    ASSERT_TRUE(copyItem(folder.file("Recipes"), folder.file("Copy")).ok);
    EXPECT_EQ(::access((QFile::encodeName(folder.file("Copy")) + "/bad\xfe.md").constData(), F_OK), 0);
    ASSERT_TRUE(removeItem(folder.file("Recipes")).ok);
    EXPECT_FALSE(itemExists(folder.file("Recipes")));
}

} // namespace
} // namespace quillet::platform
