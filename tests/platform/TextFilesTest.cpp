#include "platform/TextFiles.h"

#include "PlatformTestSupport.h"
#include "platform/ExtendedAttributes.h"
#include "platform/ItemLock.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace quillet::platform {
namespace {

using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

TEST(TextFiles, ReadsUtf8AndDropsAByteOrderMark) {
    TempFolder folder;
    ASSERT_TRUE(writeBytes(folder.file("a.md"), "# Caf\xc3\xa9\n\xf0\x9f\x98\x80"));
    const auto read = readUtf8File(folder.file("a.md"));
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(*read.text, QString::fromUtf8("# Café\n😀"));
    EXPECT_EQ(read.text->size(), 9); // UTF-16: the emoji is two code units

    ASSERT_TRUE(writeBytes(folder.file("bom.md"), "\xef\xbb\xbfText"));
    EXPECT_EQ(*readUtf8File(folder.file("bom.md")).text, "Text");
    ASSERT_TRUE(writeBytes(folder.file("empty.md"), ""));
    const auto empty = readUtf8File(folder.file("empty.md"));
    ASSERT_TRUE(empty.ok());
    EXPECT_TRUE(empty.text->isEmpty());
}

TEST(TextFiles, InvalidUtf8IsAnErrorWithItsOffset) {
    TempFolder folder;
    ASSERT_TRUE(writeBytes(folder.file("latin1.md"), "# Caf\xe9 au lait\n"));
    const auto read = readUtf8File(folder.file("latin1.md"));
    EXPECT_FALSE(read.ok());
    EXPECT_EQ(read.status.errorCode, EILSEQ);
    EXPECT_EQ(read.invalidByteOffset, std::optional<std::size_t>(5));
    EXPECT_TRUE(read.status.description.contains("latin1.md"));
    EXPECT_TRUE(read.status.description.contains("offset 5"));
}

TEST(TextFiles, WhatCannotBeReadGivesAClearError) {
    TempFolder folder;
    EXPECT_EQ(readUtf8File(folder.file("vanished.md")).status.errorCode, ENOENT);
    EXPECT_EQ(readUtf8File(folder.path()).status.errorCode, EISDIR);
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.file("pipe.md")).constData(), 0644), 0);
    EXPECT_EQ(readUtf8File(folder.file("pipe.md")).status.errorCode, EINVAL); // does not block

    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0755), 0);
    ASSERT_TRUE(writeBytes(folder.file("private.md"), "secret"));
    ASSERT_EQ(::chmod(QFile::encodeName(folder.file("private.md")).constData(), 0600), 0);
    const int code = testing::runAsUnprivilegedUser(
        [&] { return readUtf8File(folder.file("private.md")).status.errorCode; });
    if (code < 0) GTEST_SKIP() << "cannot run a child as nobody";
    EXPECT_EQ(code, EACCES);
}

TEST(TextFiles, AFiftyMegabyteNoteIsReadWholeAndAFaultNearItsEndIsFound) {
    TempFolder folder;
    QByteArray big(50 * 1024 * 1024, 'a');
    for (qsizetype i = 79; i < big.size(); i += 80)
        big[i] = '\n';
    ASSERT_TRUE(writeBytes(folder.file("big.md"), big));
    const auto read = readUtf8File(folder.file("big.md"));
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.text->size(), big.size());

    big[big.size() - 3] = '\xff';
    ASSERT_TRUE(writeBytes(folder.file("big.md"), big));
    const auto broken = readUtf8File(folder.file("big.md"));
    EXPECT_FALSE(broken.ok());
    EXPECT_EQ(broken.invalidByteOffset, std::optional<std::size_t>(big.size() - 3));
}

TEST(TextFiles, AtomicWriteReplacesTheNoteKeepingModeAndAttributes) {
    TempFolder folder;
    const QString note = folder.file("n.md");
    ASSERT_TRUE(writeBytes(note, "old"));
    ASSERT_EQ(::chmod(QFile::encodeName(note).constData(), 0640), 0);
    ASSERT_TRUE(writeAttribute(note, "displayName", "Old title").ok);
    struct stat before {};
    ::stat(QFile::encodeName(note).constData(), &before);

    ASSERT_TRUE(writeUtf8FileAtomically(note, QString::fromUtf8("new → text")).ok);
    EXPECT_EQ(readBytes(note), QByteArray("new \xe2\x86\x92 text"));
    struct stat after {};
    ::stat(QFile::encodeName(note).constData(), &after);
    EXPECT_NE(before.st_ino, after.st_ino); // replaced, not rewritten in place
    EXPECT_EQ(after.st_mode & 07777, mode_t(0640));
    EXPECT_EQ(*readAttribute(note, "displayName", 100), QByteArray("Old title"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"n.md"}); // no temporary file left

    ASSERT_TRUE(writeUtf8FileAtomically(folder.file("fresh.md"), "fresh").ok);
    EXPECT_EQ(readBytes(folder.file("fresh.md")), QByteArray("fresh"));
}

// A POSIX ACL as the kernel stores it: a version, then (tag, permissions, id) entries in order.
QByteArray accessList(std::initializer_list<std::array<unsigned, 3>> entries) {
    QByteArray bytes("\x02\0\0\0", 4);
    for (const auto& [tag, permissions, id] : entries) {
        const char entry[8] = {
            char(tag), 0, char(permissions), 0, char(id), char(id >> 8), char(id >> 16), char(id >> 24)};
        bytes.append(entry, 8);
    }
    return bytes;
}

std::optional<QByteArray> accessListOf(const QString& path, const char* kind = "system.posix_acl_access") {
    char value[256];
    const ssize_t size = ::getxattr(QFile::encodeName(path).constData(), kind, value, sizeof value);
    if (size < 0) return std::nullopt;
    return QByteArray(value, size);
}

TEST(TextFiles, AtomicWriteKeepsTheNotesAccessListAndAddsNone) {
    TempFolder folder;
    const QString note = folder.file("shared.md");
    ASSERT_TRUE(writeBytes(note, "old"));
    constexpr unsigned kNobody = 65534, kAnyone = 0xFFFFFFFF;
    // Owner rw, nobody r, owning group r, mask rw, others nothing: the mode shows the mask.
    const QByteArray list = accessList(
        {{0x01, 6, kAnyone}, {0x02, 4, kNobody}, {0x04, 4, kAnyone}, {0x10, 6, kAnyone}, {0x20, 0, kAnyone}});
    if (::setxattr(QFile::encodeName(note).constData(), "system.posix_acl_access", list.constData(),
                   list.size(), 0) != 0)
        GTEST_SKIP() << "the file system takes no ACL: " << std::strerror(errno);
    struct stat before {};
    ::stat(QFile::encodeName(note).constData(), &before);
    ASSERT_EQ(before.st_mode & 07777, mode_t(0660));

    ASSERT_TRUE(writeUtf8FileAtomically(note, "new").ok);
    struct stat after {};
    ::stat(QFile::encodeName(note).constData(), &after);
    EXPECT_NE(before.st_ino, after.st_ino);
    EXPECT_EQ(after.st_mode & 07777, mode_t(0660));
    EXPECT_EQ(accessListOf(note), list);

    // A note without a list stays without one where the folder hands one to new files.
    const QString plain = folder.file("Inherits/plain.md");
    ASSERT_TRUE(QDir(folder.path()).mkdir("Inherits"));
    ASSERT_TRUE(writeBytes(plain, "old"));
    ASSERT_EQ(::chmod(QFile::encodeName(plain).constData(), 0640), 0);
    ASSERT_EQ(::setxattr(QFile::encodeName(folder.file("Inherits")).constData(), "system.posix_acl_default",
                         list.constData(), list.size(), 0),
              0);
    ASSERT_TRUE(writeUtf8FileAtomically(plain, "new").ok);
    EXPECT_EQ(accessListOf(plain), std::nullopt);
    struct stat plainAfter {};
    ::stat(QFile::encodeName(plain).constData(), &plainAfter);
    EXPECT_EQ(plainAfter.st_mode & 07777, mode_t(0640));
}

TEST(TextFiles, ALockedNoteIsNotWritten) {
    TempFolder folder;
    const QString note = folder.file("n.md");
    ASSERT_TRUE(writeBytes(note, "kept"));
    ASSERT_TRUE(setLocked(note, true).ok);
    const Status status = writeUtf8FileAtomically(note, "lost");
    EXPECT_EQ(status.errorCode, EPERM);
    EXPECT_EQ(readBytes(note), QByteArray("kept"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
              1);

    ASSERT_TRUE(QDir(folder.path()).mkdir("Locked"));
    ASSERT_TRUE(setLocked(folder.file("Locked"), true).ok);
    EXPECT_EQ(writeUtf8FileAtomically(folder.file("Locked/new.md"), "x").errorCode, EPERM);
    EXPECT_EQ(writeUtf8FileAtomically(folder.file("missing/new.md"), "x").errorCode, ENOENT);
}

TEST(TextFiles, WritingThroughALinkWritesItsTarget) {
    TempFolder folder;
    ASSERT_TRUE(writeBytes(folder.file("target.md"), "old"));
    ASSERT_TRUE(QFile::link("target.md", folder.file("link.md")));
    ASSERT_TRUE(writeUtf8FileAtomically(folder.file("link.md"), "new").ok);
    EXPECT_EQ(readBytes(folder.file("target.md")), QByteArray("new"));
    EXPECT_TRUE(QFileInfo(folder.file("link.md")).isSymLink());
}

} // namespace
} // namespace quillet::platform

namespace quillet::platform {
namespace {

// The version looked at is the one taken out by the swap: a write that landed before it is put
// back, and nothing of the attempt is left in the folder.
TEST(TextFiles, AGuardedReplaceWritesOnlyOverTheVersionExpected) {
    TempFolder folder;
    const QString note = folder.file("note.md");
    ASSERT_TRUE(writeBytes(note, "old"));
    const auto inodeOf = [](const QString& path) {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : ino_t(0);
    };
    const auto expected = inodeOf(note);
    const VersionCheck isOld = [&](const QString& path) {
        return inodeOf(path) == expected && readBytes(path) == "old";
    };
    ASSERT_TRUE(replaceFileIfUnchanged(note, "mine 1", isOld).ok);
    EXPECT_EQ(readBytes(note), QByteArray("mine 1"));
    const auto mine = inodeOf(note);

    // Another program's version lands while ours is being written.
    ASSERT_TRUE(writeBytes(folder.file("theirs.tmp"), "theirs"));
    ASSERT_EQ(::rename(folder.native("theirs.tmp").constData(), QFile::encodeName(note).constData()), 0);
    const auto theirs = inodeOf(note);
    const Status refused =
        replaceFileIfUnchanged(note, "mine 2", [&](const QString& path) { return inodeOf(path) == mine; });
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.errorCode, ESTALE);
    EXPECT_EQ(readBytes(note), QByteArray("theirs"));
    EXPECT_EQ(inodeOf(note), theirs);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"note.md"});

    EXPECT_EQ(replaceFileIfUnchanged(folder.file("gone.md"), "x", isOld).errorCode, ENOENT);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"note.md"});
}

} // namespace
} // namespace quillet::platform
