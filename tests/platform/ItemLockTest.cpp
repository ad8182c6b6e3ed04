#include "platform/ItemLock.h"

#include "PlatformTestSupport.h"

#include <cerrno>
#include <fcntl.h>
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

TEST(ItemLock, LockingClearsWriteBitsAndUnlockingRestoresTheOwners) {
    TempFolder folder;
    const QString note = folder.file("n.md");
    ASSERT_TRUE(writeBytes(note, "n"));
    ASSERT_EQ(::chmod(QFile::encodeName(note).constData(), 0664), 0);
    EXPECT_FALSE(*isLocked(note));

    ASSERT_TRUE(setLocked(note, true).ok);
    EXPECT_EQ(modeOf(note), mode_t(0444));
    EXPECT_TRUE(*isLocked(note));

    ASSERT_TRUE(setLocked(note, false).ok);
    EXPECT_EQ(modeOf(note), mode_t(0644));
    EXPECT_FALSE(*isLocked(note));
}

TEST(ItemLock, ImmutableAttributeLocksAndUnlockingClearsIt) {
    TempFolder folder;
    QUILLET_SKIP_WITHOUT_IMMUTABLE(folder.path());
    const QString note = folder.file("n.md");
    ASSERT_TRUE(writeBytes(note, "n"));
    ASSERT_TRUE(setImmutableAttribute(note, true).ok);
    EXPECT_TRUE(*hasImmutableAttribute(note));
    EXPECT_TRUE(*isLocked(note)); // write bits still on: the attribute alone locks
    EXPECT_EQ(modeOf(note) & 0200, mode_t(0200));

    ASSERT_TRUE(setLocked(note, true).ok); // already locked: nothing to do, no error
    ASSERT_TRUE(setLocked(note, false).ok);
    EXPECT_FALSE(*hasImmutableAttribute(note));
    EXPECT_FALSE(*isLocked(note));
}

TEST(ItemLock, UnlockingWithoutTheCapabilityReportsTheError) {
    TempFolder folder;
    QUILLET_SKIP_WITHOUT_IMMUTABLE(folder.path());
    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0755), 0);
    const QString note = folder.file("n.md");
    ASSERT_TRUE(writeBytes(note, "n"));
    ASSERT_EQ(::chmod(QFile::encodeName(note).constData(), 0666), 0);
    ASSERT_TRUE(setImmutableAttribute(note, true).ok);

    const int code = testing::runAsUnprivilegedUser([&] {
        const Status status = setLocked(note, false);
        return status.ok ? 0 : status.errorCode;
    });
    if (code < 0) GTEST_SKIP() << "cannot run a child as nobody";
    EXPECT_EQ(code, EPERM);
    EXPECT_TRUE(*hasImmutableAttribute(note));
    EXPECT_EQ(modeOf(note), mode_t(0666)); // untouched
}

TEST(ItemLock, MissingItemsAndLinks) {
    TempFolder folder;
    const auto missing = isLocked(folder.file("none"));
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.status.errorCode, ENOENT);
    EXPECT_EQ(setLocked(folder.file("none"), true).errorCode, ENOENT);
    EXPECT_TRUE(refuseIfLocked(folder.file("none")).ok);

    const QString note = folder.file("n.md");
    ASSERT_TRUE(writeBytes(note, "n"));
    ASSERT_TRUE(setLocked(note, true).ok);
    ASSERT_TRUE(QFile::link(note, folder.file("link.md")));
    EXPECT_FALSE(*isLocked(folder.file("link.md"))); // the link itself, not its target
    EXPECT_EQ(setLocked(folder.file("link.md"), true).errorCode, EINVAL);
}

TEST(ItemLock, RefusalFindsALockedItemDeepInsideAFolder) {
    TempFolder folder;
    ASSERT_TRUE(QDir(folder.path()).mkpath("a/b/c"));
    const QString deep = folder.file("a/b/c/locked.md");
    ASSERT_TRUE(writeBytes(deep, "n"));
    ASSERT_TRUE(writeBytes(folder.file("a/free.md"), "n"));
    EXPECT_TRUE(refuseIfLocked(folder.file("a")).ok);

    ASSERT_TRUE(setLocked(deep, true).ok);
    const Status refused = refuseIfLocked(folder.file("a"));
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.errorCode, EPERM);
    EXPECT_TRUE(refused.description.contains("locked.md")) << refused.description.toStdString();
    EXPECT_TRUE(refuseIfLocked(folder.file("a/free.md")).ok);
}

TEST(ItemLock, RefusalSeesNamesThatAreNotUtf8) {
    TempFolder folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir("f"));
    const QByteArray badName = QFile::encodeName(folder.file("f")) + "/bad\xff.md";
    ASSERT_TRUE(writeBytes(folder.file("f/ok.md"), "n"));
    const int fd = ::open(badName.constData(), O_CREAT | O_WRONLY, 0444);
    ASSERT_GE(fd, 0);
    ::close(fd);
    EXPECT_EQ(refuseIfLocked(folder.file("f")).errorCode, EPERM);
}

} // namespace
} // namespace quillet::platform
