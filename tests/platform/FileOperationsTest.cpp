#include "platform/FileOperations.h"

#include "PlatformTestSupport.h"
#include "platform/ExtendedAttributes.h"
#include "platform/ItemLock.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillet::platform {
namespace {

using testing::readBytes;
using testing::writeBytes;

class FileOperationsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(folder.path()).mkpath("Recipes/Old"));
        ASSERT_TRUE(writeBytes(bread, "# Bread\n") && writeBytes(cake, "# Cake\n"));
        ASSERT_TRUE(writeAttribute(bread, "displayName", "Bread").ok);
    }
    QString at(const char* relative) const { return folder.file(relative); }

    testing::TempFolder folder;
    const QString bread = at("Recipes/Bread.md"), cake = at("Recipes/Old/Cake.md");
};

TEST_F(FileOperationsTest, CopyKeepsContentModeLinksAndAttributesAndReplacesNothing) {
    ASSERT_TRUE(setLocked(bread, true).ok);
    ASSERT_TRUE(QFile::link("Bread.md", at("Recipes/link.md")));
    ASSERT_TRUE(copyItem(at("Recipes"), at("Copy")).ok);
    EXPECT_EQ(readBytes(at("Copy/Old/Cake.md")), QByteArray("# Cake\n"));
    EXPECT_EQ(*readAttribute(at("Copy/Bread.md"), "displayName", 100), QByteArray("Bread"));
    EXPECT_TRUE(*isLocked(at("Copy/Bread.md")));
    EXPECT_EQ(QFileInfo(at("Copy/link.md")).symLinkTarget(), at("Copy/Bread.md"));

    EXPECT_EQ(copyItem(cake, at("Copy/Bread.md")).errorCode, EEXIST);
    EXPECT_EQ(readBytes(at("Copy/Bread.md")), QByteArray("# Bread\n"));
    EXPECT_EQ(copyItem(at("nothing.md"), at("x.md")).errorCode, ENOENT);
}

TEST_F(FileOperationsTest, MoveCarriesTheSideFileAndReplacesNothing) {
    ASSERT_TRUE(writeAttribute(bread, "text.selectedRange", "{3, 1}", AttributeStorage::sideFile).ok);
    ASSERT_TRUE(moveItem(bread, at("Bread2.md")).ok);
    EXPECT_FALSE(itemExists(bread) || itemExists(attributeSideFilePath(bread)));
    EXPECT_EQ(*readAttribute(at("Bread2.md"), "displayName", 100), QByteArray("Bread"));
    EXPECT_EQ(*readAttribute(at("Bread2.md"), "text.selectedRange", 100, AttributeStorage::sideFile),
              QByteArray("{3, 1}"));
    EXPECT_EQ(moveItem(at("Bread2.md"), cake).errorCode, EEXIST);
    EXPECT_EQ(readBytes(cake), QByteArray("# Cake\n"));
}

TEST_F(FileOperationsTest, MoveAcrossFileSystemsCopiesAndRemoves) {
    QTemporaryDir other(QStringLiteral("/dev/shm/quillet-XXXXXX")); // a tmpfs here
    struct stat a {
    }, b{};
    if (!other.isValid() || ::stat("/dev/shm", &b) != 0 ||
        ::stat(QFile::encodeName(folder.path()).constData(), &a) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system";
    ASSERT_TRUE(moveItem(at("Recipes"), other.path() + "/Recipes").ok);
    EXPECT_FALSE(itemExists(at("Recipes")));
    EXPECT_EQ(*readAttribute(other.path() + "/Recipes/Bread.md", "displayName", 100), QByteArray("Bread"));
}

TEST_F(FileOperationsTest, LockedItemsAndLockedFoldersRefuseChangesWithEperm) {
    ASSERT_TRUE(setLocked(cake, true).ok);
    for (const Status& status : {removeItem(cake), moveItem(cake, at("Cake.md")), removeItem(at("Recipes")),
                                 moveItem(at("Recipes"), at("Moved"))})
        EXPECT_EQ(status.errorCode, EPERM);
    EXPECT_TRUE(itemExists(cake) && itemExists(bread)); // nothing removed half-way
    EXPECT_TRUE(copyItem(cake, at("CakeCopy.md")).ok);  // a copy only reads
    ASSERT_TRUE(setLocked(cake, false).ok);

    const QString old = at("Recipes/Old");
    ASSERT_TRUE(setLocked(old, true).ok);
    for (const Status& status : {removeItem(cake), moveItem(bread, old + "/Bread.md"),
                                 copyItem(bread, old + "/Bread.md"), createFolder(old + "/New", false)})
        EXPECT_EQ(status.errorCode, EPERM);
    EXPECT_EQ(QDir(old).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"Cake.md"});
    ASSERT_TRUE(setLocked(old, false).ok);
    EXPECT_TRUE(removeItem(at("Recipes")).ok);
}

TEST_F(FileOperationsTest, ImmutableNotesAreRefusedBeforeTheKernelIsAsked) {
    QUILLET_SKIP_WITHOUT_IMMUTABLE(folder.path());
    ASSERT_TRUE(setImmutableAttribute(bread, true).ok);
    EXPECT_EQ(removeItem(at("Recipes")).errorCode, EPERM);
    EXPECT_TRUE(itemExists(cake)); // refused before anything went
    EXPECT_EQ(moveItem(bread, at("B.md")).errorCode, EPERM);
    ASSERT_TRUE(copyItem(bread, at("B.md")).ok);
    EXPECT_TRUE(*isLocked(at("B.md"))); // the copy is locked by its mode
    EXPECT_FALSE(*hasImmutableAttribute(at("B.md")));
}

TEST_F(FileOperationsTest, RemoveFollowsNoLinkOutOfTheFolder) {
    testing::TempFolder outside;
    ASSERT_TRUE(writeBytes(outside.file("keep.md"), "keep"));
    ASSERT_TRUE(QFile::link(outside.path(), at("Recipes/outside")));
    ASSERT_TRUE(QFile::link(at("Recipes"), at("Recipes/Old/loop")));
    ASSERT_TRUE(removeItem(at("Recipes")).ok);
    EXPECT_FALSE(itemExists(at("Recipes")));
    EXPECT_EQ(readBytes(outside.file("keep.md")), QByteArray("keep"));
}

TEST_F(FileOperationsTest, CreateFolderWithAndWithoutIntermediates) {
    EXPECT_EQ(createFolder(at("a/b/c"), false).errorCode, ENOENT);
    EXPECT_TRUE(createFolder(at("a/b/c"), true).ok);
    EXPECT_TRUE(createFolder(at("a/b/c"), true).ok); // existing is fine
    EXPECT_EQ(createFolder(at("a/b/c"), false).errorCode, EEXIST);
    EXPECT_EQ(createFolder(bread, true).errorCode, EEXIST); // a file
    EXPECT_EQ(removeItem(at("nothing")).errorCode, ENOENT);
}

TEST_F(FileOperationsTest, OddNamesAndNamesThatAreNotUtf8) {
    const QString odd = at("line\nbreak ✓ \"q\" 100% #1.md");
    ASSERT_TRUE(writeBytes(odd, "odd"));
    ASSERT_TRUE(testing::createRaw(QFile::encodeName(at("Recipes")) + "/bad\xfe.md"));
    ASSERT_TRUE(copyItem(odd, at("Recipes/line\nbreak.md")).ok);
    ASSERT_TRUE(moveItem(at("Recipes"), at("Moved")).ok);
    EXPECT_EQ(readBytes(at("Moved/line\nbreak.md")), QByteArray("odd"));
    ASSERT_TRUE(copyItem(at("Moved"), at("Copy")).ok);
    EXPECT_EQ(::access((QFile::encodeName(at("Copy")) + "/bad\xfe.md").constData(), F_OK), 0);
    ASSERT_TRUE(removeItem(odd).ok && removeItem(at("Copy")).ok);
    EXPECT_FALSE(itemExists(odd) || itemExists(at("Copy")));
}

} // namespace
} // namespace quillet::platform
