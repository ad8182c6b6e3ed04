#include "platform/FolderListing.h"

#include "PlatformTestSupport.h"
#include "platform/ItemLock.h"
#include "platform/Tags.h"
#include "platform/TypeIdentifiers.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace quillet::platform {
namespace {

using testing::TempFolder;
using testing::writeBytes;

std::map<QString, FolderEntry> byName(const std::vector<FolderEntry>& entries) {
    std::map<QString, FolderEntry> map;
    for (const FolderEntry& entry : entries)
        map.emplace(entry.name, entry);
    return map;
}

const QByteArray kPng("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\1\0\0\0\1\x08\x06\0\0\0", 29);

TEST(FolderListing, EveryKindOfEntryWithItsTypeAndFlags) {
    TempFolder folder;
    ASSERT_TRUE(writeBytes(folder.file("Note.md"), "# Note\n"));
    ASSERT_TRUE(writeBytes(folder.file("Plain.txt"), "plain"));
    ASSERT_TRUE(writeBytes(folder.file("markdown.css"), "body {}"));
    ASSERT_TRUE(writeBytes(folder.file("InsertDate.py"), "print(1)\n"));
    ASSERT_TRUE(writeBytes(folder.file("Image.png"), kPng));
    ASSERT_TRUE(writeBytes(folder.file("Journal"), "text without an extension\n"));
    ASSERT_TRUE(writeBytes(folder.file("iChats"), QByteArray("\x7f"
                                                             "ELF\x02\x01\x01\0\0\0\0\0",
                                                             12)));
    ASSERT_TRUE(writeBytes(folder.file("Empty"), ""));
    ASSERT_TRUE(writeBytes(folder.file(".hidden.md"), "hidden"));
    ASSERT_TRUE(QDir(folder.path()).mkpath("Sub/Deeper"));
    ASSERT_TRUE(QDir(folder.path()).mkpath("Tool.app/Contents"));
    ASSERT_TRUE(QFile::link(folder.path(), folder.file("Loop")));       // a link to a folder
    ASSERT_TRUE(QFile::link("Note.md", folder.file("Linked.md")));      // a link to a note
    ASSERT_TRUE(QFile::link("nowhere.md", folder.file("Dangling.md"))); // a link to nothing
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.file("Pipe.md")).constData(), 0644), 0);

    const auto listing = listFolder(folder.path());
    ASSERT_TRUE(listing.ok()) << listing.status.description.toStdString();
    const auto entries = byName(*listing);
    EXPECT_EQ(entries.size(), 14u);
    EXPECT_FALSE(entries.count(".hidden.md"));

    auto type = [&](const char* name) { return entries.at(name).typeIdentifier; };
    EXPECT_EQ(type("Note.md"), kMarkdownTypeIdentifier);
    EXPECT_EQ(type("Plain.txt"), kPlainTextTypeIdentifier);
    EXPECT_EQ(type("markdown.css"), kCssTypeIdentifier);
    EXPECT_EQ(type("InsertDate.py"), kPythonScriptTypeIdentifier);
    EXPECT_EQ(type("Image.png"), kPngTypeIdentifier);
    EXPECT_EQ(type("Journal"), kPlainTextTypeIdentifier); // judged by content
    EXPECT_EQ(type("iChats"), kDataTypeIdentifier);       // binary: never a note
    EXPECT_EQ(type("Empty"), kPlainTextTypeIdentifier);
    EXPECT_EQ(type("Sub"), kFolderTypeIdentifier);
    EXPECT_EQ(type("Tool.app"), kFolderTypeIdentifier);
    EXPECT_EQ(type("Loop"), kSymlinkTypeIdentifier);
    EXPECT_EQ(type("Linked.md"), kMarkdownTypeIdentifier);
    EXPECT_EQ(type("Dangling.md"), kSymlinkTypeIdentifier);
    EXPECT_EQ(type("Pipe.md"), kDataTypeIdentifier); // not opened: would block

    const FolderEntry& note = entries.at("Note.md");
    EXPECT_TRUE(note.isRegularFile);
    EXPECT_FALSE(note.isDirectory);
    EXPECT_EQ(note.path, folder.file("Note.md"));
    ASSERT_TRUE(note.contentModificationDate.has_value());
    EXPECT_LE(qAbs(note.contentModificationDate->secsTo(QDateTime::currentDateTimeUtc())), 60);
    EXPECT_EQ(note.isImmutable, std::optional<bool>(false));

    EXPECT_TRUE(entries.at("Sub").isDirectory);
    const FolderEntry& loop = entries.at("Loop");
    EXPECT_FALSE(loop.isDirectory); // never followed into
    EXPECT_FALSE(loop.isRegularFile);
    EXPECT_TRUE(loop.isSymbolicLink);
    EXPECT_TRUE(entries.at("Linked.md").isRegularFile);
    EXPECT_TRUE(entries.at("Linked.md").isSymbolicLink);
    EXPECT_FALSE(entries.at("Pipe.md").isRegularFile);
}

TEST(FolderListing, DatesLocksAndTags) {
    TempFolder folder;
    const QString note = folder.file("Dated.md");
    ASSERT_TRUE(writeBytes(note, "x"));
    const QDateTime modified = QDateTime::fromSecsSinceEpoch(1'600'000'000, Qt::UTC);
    {
        QFile file(note);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    ASSERT_TRUE(setLocked(note, true).ok);
    ASSERT_TRUE(writeTags(note, {"Red", " Work "}).ok);

    const auto entry = entryForPath(note);
    ASSERT_TRUE(entry.ok());
    EXPECT_EQ(entry->contentModificationDate, modified);
    if (entry->creationDate) {
        EXPECT_GT(*entry->creationDate, modified); // created now, dated back
    }
    EXPECT_EQ(entry->isImmutable, std::optional<bool>(true));
    EXPECT_EQ(entry->tagNames, (QStringList{"Red", "Work"}));

    ListingOptions bare;
    bare.tags = false;
    bare.typeIdentifiers = false;
    const auto listing = listFolder(folder.path(), bare);
    ASSERT_TRUE(listing.ok());
    ASSERT_EQ(listing->size(), 1u);
    EXPECT_TRUE(listing->front().tagNames.isEmpty());
    EXPECT_TRUE(listing->front().typeIdentifier.isEmpty());
}

TEST(FolderListing, ImmutableAttributeShowsAsLocked) {
    TempFolder folder;
    QUILLET_SKIP_WITHOUT_IMMUTABLE(folder.path());
    ASSERT_TRUE(writeBytes(folder.file("Frozen.md"), "x"));
    ASSERT_TRUE(setImmutableAttribute(folder.file("Frozen.md"), true).ok);
    const auto listing = listFolder(folder.path());
    ASSERT_TRUE(listing.ok());
    ASSERT_EQ(listing->size(), 1u);
    EXPECT_EQ(listing->front().isImmutable, std::optional<bool>(true));
}

TEST(FolderListing, NamesWithNewlinesAreListedAndInvalidUtf8NamesSkipped) {
    TempFolder folder;
    const QString withNewline = folder.file("two\nlines.md");
    ASSERT_TRUE(writeBytes(withNewline, "x"));
    const QByteArray invalid = QFile::encodeName(folder.path()) + "/bad\xff\xfe.md";
    const int fd = ::open(invalid.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);

    const auto listing = listFolder(folder.path());
    ASSERT_TRUE(listing.ok());
    ASSERT_EQ(listing->size(), 1u);
    EXPECT_EQ(listing->front().name, "two\nlines.md");
    EXPECT_TRUE(QFile::exists(listing->front().path)); // the path addresses the file again
    EXPECT_EQ(QFile::encodeName(QFile::decodeName(QFile::encodeName(withNewline))),
              QFile::encodeName(withNewline));
}

TEST(FolderListing, FoldersThatCannotBeListed) {
    TempFolder folder;
    const auto missing = listFolder(folder.file("missing"));
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.status.errorCode, ENOENT);
    ASSERT_TRUE(writeBytes(folder.file("file.md"), "x"));
    EXPECT_EQ(listFolder(folder.file("file.md")).status.errorCode, ENOTDIR);
    // An item that went away after it was listed.
    const auto vanished = entryForPath(folder.file("vanished.md"));
    EXPECT_FALSE(vanished.ok());
    EXPECT_EQ(vanished.status.errorCode, ENOENT);

    // Root lists anything: an unprivileged child meets the closed folder.
    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0755), 0);
    ASSERT_TRUE(QDir(folder.path()).mkdir("Closed"));
    ASSERT_TRUE(writeBytes(folder.file("Closed/secret.md"), "x"));
    ASSERT_EQ(::chmod(QFile::encodeName(folder.file("Closed")).constData(), 0), 0);
    ListingOptions bare{false, false, {}};
    const int code = testing::runAsUnprivilegedUser([&] {
        const auto listing = listFolder(folder.file("Closed"), bare);
        return listing.ok() ? 0 : listing.status.errorCode;
    });
    if (code < 0) GTEST_SKIP() << "cannot run a child as nobody";
    EXPECT_EQ(code, EACCES);
}

TEST(TypeIdentifiers, ExtensionsMimeTypesAndPreferredExtensions) {
    EXPECT_EQ(typeIdentifierForExtension("md"), kMarkdownTypeIdentifier);
    EXPECT_EQ(typeIdentifierForExtension("markdown"), kMarkdownTypeIdentifier);
    EXPECT_EQ(typeIdentifierForExtension("txt"), kPlainTextTypeIdentifier);
    EXPECT_EQ(typeIdentifierForExtension("css"), kCssTypeIdentifier);
    EXPECT_EQ(typeIdentifierForExtension("py"), kPythonScriptTypeIdentifier);
    EXPECT_EQ(typeIdentifierForExtension("jpg"), kJpegTypeIdentifier);
    EXPECT_EQ(typeIdentifierForExtension("html"), kHtmlTypeIdentifier);
    EXPECT_EQ(typeIdentifierForExtension("pdf"), kDataTypeIdentifier);
    EXPECT_EQ(typeIdentifierForExtension("qqqzzz"), QString());
    EXPECT_EQ(typeIdentifierForExtension(""), QString());

    EXPECT_EQ(typeIdentifierForMimeType("text/x-markdown"), kMarkdownTypeIdentifier);
    EXPECT_EQ(typeIdentifierForMimeType("text/x-csrc"), kTextTypeIdentifier); // text, not a note type
    EXPECT_EQ(typeIdentifierForMimeType("no/such-type"), kDataTypeIdentifier);

    EXPECT_EQ(preferredExtensionForTypeIdentifier(kMarkdownTypeIdentifier), "md");
    EXPECT_EQ(preferredExtensionForTypeIdentifier(kPlainTextTypeIdentifier), "txt");
    EXPECT_EQ(preferredExtensionForTypeIdentifier("com.example.none"), QString());

    TempFolder folder;
    EXPECT_EQ(typeIdentifierForFile(folder.path()), kFolderTypeIdentifier);
    EXPECT_EQ(typeIdentifierForFile(folder.file("missing.md")), QString());
    ASSERT_TRUE(writeBytes(folder.file("Binary.md"), QByteArray("\0\1\2", 3)));
    EXPECT_EQ(typeIdentifierForFile(folder.file("Binary.md")),
              kMarkdownTypeIdentifier); // the extension decides
}

TEST(Tags, ParsedFromTheFreedesktopAttribute) {
    EXPECT_EQ(parseTags("Red,Green , ,Blue"), (QStringList{"Red", "Green", "Blue"}));
    EXPECT_EQ(parseTags("Caf\xc3\xa9"), QStringList{QString::fromUtf8("Café")});
    EXPECT_TRUE(parseTags("bad\xff").isEmpty());
    EXPECT_TRUE(parseTags("").isEmpty());

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
