// The listing reads folders with getdents64 into a buffer of its own, builds plain ASCII names
// without decoding them, makes dates from a copy of one UTC date, and asks for the size of an
// item's tags before reading them: each must give what the general way gives.

#include "PlatformTestSupport.h"
#include "platform/FolderListing.h"
#include "platform/PosixFiles.h"
#include "platform/Tags.h"

#include <algorithm>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace quillet::platform {
namespace {

using testing::TempFolder;

bool createRaw(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    return fd >= 0 && ::close(fd) == 0;
}

TEST(ListingFastPaths, EveryNameOnceInAFolderLargerThanOneRead) {
    // 700 entries of 100-byte names (some 80 KB of the kernel's entries) take several reads.
    TempFolder folder;
    std::set<QString> expected;
    const QString padding(50, u'n');
    for (int i = 0; i < 700; ++i) {
        const QString name = QStringLiteral("A note with a rather long name %1, number %2.md")
                                 .arg(padding)
                                 .arg(i, 5, 10, QChar(u'0'));
        ASSERT_TRUE(createRaw(QFile::encodeName(folder.file(name))));
        expected.insert(name);
    }
    const auto listing = listFolder(folder.path(), {false, false, {}});
    ASSERT_TRUE(listing.ok());
    std::set<QString> listed;
    for (const FolderEntry& entry : *listing) {
        EXPECT_TRUE(listed.insert(entry.name).second) << entry.name.toStdString() << " twice";
        EXPECT_EQ(entry.path, folder.path() + u'/' + entry.name);
    }
    EXPECT_EQ(listed, expected);
}

TEST(ListingFastPaths, NamesAndPathsAsDecodedFromUtf8) {
    TempFolder folder;
    // Every printable ASCII character but '/', names beside them in two, three and four bytes of
    // UTF-8, a control character, and names that are not UTF-8 (never listed).
    QByteArray printable;
    for (char c = 0x20; c < 0x7f; ++c)
        if (c != '/') printable += c;
    const QByteArray names[] = {"x" + printable,
                                "Caf\xc3\xa9 Stra\xc3\x9f"
                                "e.md",
                                "\xe6\x97\xa5\xe6\x9c\xac.md",
                                "\xf0\x9f\x93\x9d note",
                                "tab\there",
                                "plain.md",
                                "A\x7f"
                                "del"};
    const QByteArray invalid[] = {"bad\xff.md", "cut\xc3", "over\xf0\x9f\x93"};
    const QByteArray root = QFile::encodeName(folder.path()) + '/';
    for (const QByteArray& name : names)
        ASSERT_TRUE(createRaw(root + name)) << name.toStdString();
    for (const QByteArray& name : invalid)
        ASSERT_TRUE(createRaw(root + name));

    // With names and without them (the name then read from the end of the path).
    for (bool withNames : {true, false}) {
        for (const QString& prefix : {folder.path(), folder.path() + u'/'}) {
            ListingOptions options{false, false, {}};
            options.names = withNames;
            const auto listing = listFolder(prefix, options);
            ASSERT_TRUE(listing.ok());
            std::map<QString, QString> pathByName;
            for (const FolderEntry& entry : *listing) {
                EXPECT_EQ(entry.name.isEmpty(), !withNames);
                pathByName[entryName(entry).toString()] = entry.path;
            }
            ASSERT_EQ(pathByName.size(), std::size(names));
            for (const QByteArray& name : names) {
                const QString decoded = QString::fromUtf8(name);
                ASSERT_TRUE(pathByName.count(decoded)) << name.toStdString();
                EXPECT_EQ(pathByName[decoded], folder.path() + u'/' + decoded);
                EXPECT_EQ(posix::nativePath(pathByName[decoded]), root + name); // addresses the file again
            }
        }
    }
}

TEST(ListingFastPaths, DatesInUtcToTheMillisecond) {
    TempFolder folder;
    struct Case {
        const char* name;
        timespec time;
    };
    const Case cases[] = {{"Epoch.md", {0, 0}},
                          {"Fraction.md", {1'600'000'000, 123'456'789}},
                          {"Before 1970.md", {-86'400 * 400, 999'000'000}},
                          {"Far ahead.md", {4'102'444'800, 1'000'000}}};
    for (const Case& c : cases) {
        const QByteArray path = QFile::encodeName(folder.file(QString::fromUtf8(c.name)));
        ASSERT_TRUE(createRaw(path));
        const timespec times[2] = {c.time, c.time};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.constData(), times, 0), 0) << c.name;
    }
    const auto listing = listFolder(folder.path(), {false, false, {}});
    ASSERT_TRUE(listing.ok());
    ASSERT_EQ(listing->size(), std::size(cases));
    for (const FolderEntry& entry : *listing) {
        const auto c = std::find_if(std::begin(cases), std::end(cases), [&](const Case& each) {
            return entry.name == QString::fromUtf8(each.name);
        });
        ASSERT_NE(c, std::end(cases));
        const QDateTime expected = QDateTime::fromMSecsSinceEpoch(
            qint64(c->time.tv_sec) * 1000 + c->time.tv_nsec / 1'000'000, Qt::UTC);
        ASSERT_TRUE(entry.contentModificationDate.has_value());
        EXPECT_EQ(*entry.contentModificationDate, expected) << c->name;
        EXPECT_EQ(entry.contentModificationDate->timeSpec(), Qt::UTC) << c->name;
        EXPECT_EQ(entry.contentModificationDate->toMSecsSinceEpoch(), expected.toMSecsSinceEpoch())
            << c->name;
    }
}

bool setRawTags(const QString& path, const QByteArray& value) {
    return ::setxattr(QFile::encodeName(path).constData(), "user.xdg.tags", value.constData(), value.size(),
                      0) == 0;
}

TEST(ListingFastPaths, TagsOfEverySizeAroundTheFirstRead) {
    TempFolder folder;
    const posix::FileDescriptor fd(
        ::open(QFile::encodeName(folder.path()).constData(), O_RDONLY | O_DIRECTORY));
    ASSERT_TRUE(fd.valid());
    ASSERT_TRUE(testing::writeBytes(folder.file("Note.md"), "x"));
    const QString path = folder.file("Note.md");
    EXPECT_TRUE(readTagsAt(fd.get(), "Note.md", path).isEmpty()); // no attribute
    // An empty value, then values up to past the short read's size, each compared with the read
    // by path.
    for (int size : {0, 1, 2, 100, 254, 255, 256, 257, 258, 600, 4000}) {
        QByteArray value;
        for (int i = 0; value.size() < size; ++i)
            value += QByteArray("t") + QByteArray::number(i) + ',';
        value.truncate(size);
        ASSERT_TRUE(setRawTags(path, value)) << size;
        const QStringList read = readTagsAt(fd.get(), "Note.md", path);
        EXPECT_EQ(read, readTags(path)) << size;
        EXPECT_EQ(read, parseTags(value)) << size;
        if (size >= 2) {
            EXPECT_FALSE(read.isEmpty()) << size; // the comparison saw tags
        }
    }
}

} // namespace
} // namespace quillet::platform
