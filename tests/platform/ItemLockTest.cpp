#include "platform/ItemLock.h"

#include "PlatformTestSupport.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillet::platform {
namespace {

using testing::TempFolder;
using testing::writeBytes;

mode_t modeOf(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

class ItemLockTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(writeBytes(note, "n")); }
    TempFolder folder;
    const QString note = folder.file("n.md");
};

TEST_F(ItemLockTest, LockingClearsWriteBitsAndUnlockingRestoresTheOwners) {
    ASSERT_EQ(::chmod(QFile::encodeName(note).constData(), 0664), 0);
    EXPECT_FALSE(*isLocked(note));
    ASSERT_TRUE(setLocked(note, true).ok);
    EXPECT_EQ(modeOf(note), mode_t(0444));
    EXPECT_TRUE(*isLocked(note));
    ASSERT_TRUE(setLocked(note, false).ok);
    EXPECT_EQ(modeOf(note), mode_t(0644));
    EXPECT_FALSE(*isLocked(note));
}

TEST_F(ItemLockTest, TheImmutableAttributeAloneLocksAndOnlyAPrivilegedUnlockClearsIt) {
    QUILLET_SKIP_WITHOUT_IMMUTABLE(folder.path());
    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(note).constData(), 0666), 0);
    ASSERT_TRUE(setImmutableAttribute(note, true).ok);
    EXPECT_TRUE(*isLocked(note));          // write bits still on
    ASSERT_TRUE(setLocked(note, true).ok); // already locked: nothing to do, no error
    EXPECT_EQ(modeOf(note), mode_t(0666));

    const int code = testing::runAsUnprivilegedUser([&] {
        const Status status = setLocked(note, false);
        return status.ok ? 0 : status.errorCode;
    });
    if (code >= 0) {
        EXPECT_EQ(code, EPERM);
        EXPECT_TRUE(*hasImmutableAttribute(note));
        EXPECT_EQ(modeOf(note), mode_t(0666)); // untouched
    }
    ASSERT_TRUE(setLocked(note, false).ok);
    EXPECT_FALSE(*hasImmutableAttribute(note));
    EXPECT_FALSE(*isLocked(note));
}

TEST_F(ItemLockTest, MissingItemsAndLinks) {
    EXPECT_EQ(isLocked(folder.file("none")).status.errorCode, ENOENT);
    EXPECT_EQ(setLocked(folder.file("none"), true).errorCode, ENOENT);
    EXPECT_TRUE(refuseIfLocked(folder.file("none")).ok);
    ASSERT_TRUE(setLocked(note, true).ok);
    ASSERT_TRUE(QFile::link(note, folder.file("link.md")));
    EXPECT_FALSE(*isLocked(folder.file("link.md"))); // the link itself, not its target
    EXPECT_EQ(setLocked(folder.file("link.md"), true).errorCode, EINVAL);
}

TEST_F(ItemLockTest, RefusalFindsALockedItemDeepInsideAFolderWhateverItsName) {
    ASSERT_TRUE(QDir(folder.path()).mkpath("a/b/c") && QDir(folder.path()).mkpath("f"));
    const QString deep = folder.file("a/b/c/locked.md");
    ASSERT_TRUE(writeBytes(deep, "n"));
    EXPECT_TRUE(refuseIfLocked(folder.file("a")).ok);
    ASSERT_TRUE(setLocked(deep, true).ok);
    const Status refused = refuseIfLocked(folder.file("a"));
    EXPECT_EQ(refused.errorCode, EPERM);
    EXPECT_TRUE(refused.description.contains("locked.md")) << refused.description.toStdString();
    EXPECT_TRUE(refuseIfLocked(note).ok);

    ASSERT_TRUE(testing::createRaw(QFile::encodeName(folder.file("f")) + "/bad\xff.md", 0444));
    EXPECT_EQ(refuseIfLocked(folder.file("f")).errorCode, EPERM);
}

} // namespace
} // namespace quillet::platform
