#include "platform/FolderListing.h"

#include "PlatformTestSupport.h"
#include "platform/ItemLock.h"
#include "platform/Tags.h"
#include "platform/TypeIdentifiers.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace quillet::platform {
namespace {

using testing::TempFolder;
using testing::writeBytes;

TEST(FolderListing, EveryKindOfEntryWithItsTypeFlagsDatesAndTags) {
    TempFolder folder;
    const QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\1\0\0\0\1\x08\x06\0\0\0", 29);
    const QByteArray elf("\177ELF\2\1\1\0\0\0\0\0", 12);
    const std::pair<const char*, QByteArray> files[] = {
        {"Note.md", "# Note\n"},     {"Plain.txt", "plain"},
        {"markdown.css", "body {}"}, {"InsertDate.py", "print(1)"},
        {"Journal", "words\n"},      {"Empty", ""},
        {"Image.png", png},          {"iChats", elf},
        {".hidden.md", "hidden"}};
    for (const auto& [name, bytes] : files)
        ASSERT_TRUE(writeBytes(folder.file(name), bytes));
    ASSERT_TRUE(QDir(folder.path()).mkpath("Sub/Deeper") && QDir(folder.path()).mkpath("Tool.app/Contents"));
    ASSERT_TRUE(QFile::link(folder.path(), folder.file("Loop")));
    ASSERT_TRUE(QFile::link("Note.md", folder.file("Linked.md")));
    ASSERT_TRUE(QFile::link("nowhere.md", folder.file("Dangling.md")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.file("Pipe.md")).constData(), 0644), 0);

    const QDateTime modified = QDateTime::fromSecsSinceEpoch(1'600'000'000, Qt::UTC);
    QFile note(folder.file("Note.md"));
    ASSERT_TRUE(note.open(QIODevice::ReadWrite) &&
                note.setFileTime(modified, QFileDevice::FileModificationTime));
    ASSERT_TRUE(setLocked(folder.file("Plain.txt"), true).ok);
    ASSERT_TRUE(writeTags(folder.file("Note.md"), {"Red", " Work "}).ok);

    const auto listing = listFolder(folder.path());
    ASSERT_TRUE(listing.ok());
    std::map<QString, FolderEntry> entries;
    for (const FolderEntry& entry : *listing)
        entries.emplace(entry.name, entry);
    const std::map<QString, const char*> types{
        {"Note.md", kMarkdownTypeIdentifier},    {"Plain.txt", kPlainTextTypeIdentifier},
        {"markdown.css", kCssTypeIdentifier},    {"InsertDate.py", kPythonScriptTypeIdentifier},
        {"Image.png", kPngTypeIdentifier},       {"Journal", kPlainTextTypeIdentifier}, // by content
        {"iChats", kDataTypeIdentifier},         {"Empty", kPlainTextTypeIdentifier},
        {"Sub", kFolderTypeIdentifier},          {"Tool.app", kFolderTypeIdentifier},
        {"Loop", kSymlinkTypeIdentifier},        {"Linked.md", kMarkdownTypeIdentifier},
        {"Dangling.md", kSymlinkTypeIdentifier}, {"Pipe.md", kDataTypeIdentifier}}; // not opened: would block
    ASSERT_EQ(entries.size(), types.size());                                        // no hidden entry
    for (const auto& [name, type] : types)
        EXPECT_EQ(entries.at(name).typeIdentifier, type) << name.toStdString();

    const FolderEntry& entry = entries.at("Note.md");
    EXPECT_TRUE(entry.isRegularFile && !entry.isDirectory && !entry.isSymbolicLink);
    EXPECT_EQ(entry.path, folder.file("Note.md"));
    EXPECT_EQ(entry.contentModificationDate, modified);
    if (entry.creationDate) {
        EXPECT_GT(*entry.creationDate, modified); // created now, dated back
    }
    EXPECT_EQ(entry.tagNames, (QStringList{"Red", "Work"}));
    EXPECT_EQ(entry.isImmutable, std::optional<bool>(false));
    EXPECT_EQ(entries.at("Plain.txt").isImmutable, std::optional<bool>(true));
    EXPECT_TRUE(entries.at("Sub").isDirectory);
    const FolderEntry& loop = entries.at("Loop");
    EXPECT_TRUE(loop.isSymbolicLink && !loop.isDirectory && !loop.isRegularFile); // never followed into
    EXPECT_TRUE(entries.at("Linked.md").isRegularFile && entries.at("Linked.md").isSymbolicLink);
    EXPECT_FALSE(entries.at("Pipe.md").isRegularFile);
    for (const FolderEntry& bare : testing::entriesOf(folder.path(), {false, false, {}}))
        EXPECT_TRUE(bare.tagNames.isEmpty() && bare.typeIdentifier.isEmpty());

    QUILLET_SKIP_WITHOUT_IMMUTABLE(folder.path());
    ASSERT_TRUE(setImmutableAttribute(folder.file("Empty"), true).ok);
    for (const FolderEntry& listed : testing::entriesOf(folder.path()))
        if (listed.name == "Empty") {
            EXPECT_EQ(listed.isImmutable, std::optional<bool>(true));
        }
}

TEST(FolderListing, FoldersThatCannotBeListed) {
    TempFolder folder;
    EXPECT_EQ(listFolder(folder.file("missing")).status.errorCode, ENOENT);
    ASSERT_TRUE(writeBytes(folder.file("file.md"), "x"));
    EXPECT_EQ(listFolder(folder.file("file.md")).status.errorCode, ENOTDIR);
    EXPECT_EQ(entryForPath(folder.file("vanished.md")).status.errorCode, ENOENT); // gone after its listing

    // Root lists anything: an unprivileged child meets the closed folder.
    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0755), 0);
    ASSERT_TRUE(QDir(folder.path()).mkdir("Closed"));
    ASSERT_EQ(::chmod(QFile::encodeName(folder.file("Closed")).constData(), 0), 0);
    const int code = testing::runAsUnprivilegedUser([&] {
        const auto listing = listFolder(folder.file("Closed"), {false, false, {}});
        return listing.ok() ? 0 : listing.status.errorCode;
    });
    if (code < 0) GTEST_SKIP() << "cannot run a child as nobody";
    EXPECT_EQ(code, EACCES);
}

TEST(Tags, StoredInTheFreedesktopAttribute) {
    EXPECT_EQ(parseTags("Caf\xc3\xa9, Tea"), (QStringList{QString::fromUtf8("Café"), "Tea"}));
    TempFolder folder;
    const QString note = folder.file("n.md");
    ASSERT_TRUE(writeBytes(note, "n"));
    EXPECT_TRUE(readTags(note).isEmpty());
    ASSERT_TRUE(writeTags(note, {"Work", "Home"}).ok);
    char raw[32] = {};
    EXPECT_EQ(::getxattr(QFile::encodeName(note).constData(), "user.xdg.tags", raw, sizeof raw), 9);
    EXPECT_STREQ(raw, "Work,Home");
    EXPECT_EQ(writeTags(note, {"a,b"}).errorCode, EINVAL);
    ASSERT_TRUE(writeTags(note, {}).ok);
    EXPECT_TRUE(readTags(note).isEmpty());
    EXPECT_TRUE(writeTags(note, {}).ok); // removing no tags is fine
}

} // namespace
} // namespace quillet::platform
