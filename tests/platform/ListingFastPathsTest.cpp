// The listing reads folders with getdents64 into a buffer of its own, builds plain ASCII names
// without decoding them, makes dates from a copy of one UTC date, and reads tags relative to the
// listed folder after asking for their size: each must give what the general way gives.

#include "PlatformTestSupport.h"
#include "platform/FolderListing.h"
#include "platform/PosixFiles.h"
#include "platform/Tags.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace quillet::platform {
namespace {

using testing::createRaw;
using testing::TempFolder;

const ListingOptions kBare{false, false, {}};

TEST(ListingFastPaths, EveryNameOnceInAFolderLargerThanOneRead) {
    // 700 entries of 100-byte names (some 80 KB of the kernel's entries) take several reads.
    TempFolder folder;
    std::set<QString> expected;
    for (int i = 0; i < 700; ++i) {
        const QString name = QStringLiteral("A note with a rather long name %1, number %2.md")
                                 .arg(QString(50, u'n'))
                                 .arg(i, 5, 10, QChar(u'0'));
        ASSERT_TRUE(createRaw(folder.native(name)));
        expected.insert(name);
    }
    std::set<QString> listed;
    for (const FolderEntry& entry : testing::entriesOf(folder.path(), kBare)) {
        EXPECT_TRUE(listed.insert(entry.name).second) << entry.name.toStdString() << " twice";
        EXPECT_EQ(entry.path, folder.file(entry.name));
    }
    EXPECT_EQ(listed, expected);
}

TEST(ListingFastPaths, NamesAndPathsAsDecodedFromUtf8) {
    // Every printable ASCII character but '/', names in two, three and four bytes of UTF-8,
    // control characters, and names that are not UTF-8 (never listed).
    TempFolder folder;
    QByteArray printable = "x";
    for (char c = 0x20; c < 0x7f; ++c)
        if (c != '/') printable += c;
    const QByteArray root = folder.native(""); // ends in '/'
    // Split at '/', the one byte no name holds.
    const QByteArrayList names = (printable + "/Caf\303\251 Stra\303\237e.md/\xe6\x97\xa5\xe6\x9c\xac.md/"
                                              "\xf0\x9f\x93\x9d note/tab\there/two\nlines.md/A\177del")
                                     .split('/');
    for (const QByteArray& name : names + QByteArrayList{"bad\xff.md", "cut\xc3", "over\xf0\x9f\x93"})
        ASSERT_TRUE(createRaw(root + name)) << name.toStdString();

    // With names and without (the name then taken from the end of the path), after either prefix.
    for (bool withNames : {true, false}) {
        for (const QString& prefix : {folder.path(), folder.path() + u'/'}) {
            ListingOptions options = kBare;
            options.names = withNames;
            std::map<QString, QString> pathByName;
            for (const FolderEntry& entry : testing::entriesOf(prefix, options)) {
                EXPECT_EQ(entry.name.isEmpty(), !withNames);
                pathByName[entryName(entry).toString()] = entry.path;
            }
            ASSERT_EQ(pathByName.size(), std::size_t(names.size()));
            for (const QByteArray& name : names) {
                const QString decoded = QString::fromUtf8(name);
                EXPECT_EQ(pathByName[decoded], folder.file(decoded)) << name.toStdString();
                EXPECT_EQ(posix::nativePath(pathByName[decoded]), root + name); // addresses the file again
            }
        }
    }
}

TEST(ListingFastPaths, DatesInUtcToTheMillisecond) {
    TempFolder folder;
    const std::map<QString, timespec> times{{"Epoch.md", {0, 0}},
                                            {"Fraction.md", {1'600'000'000, 123'456'789}},
                                            {"Before 1970.md", {-86'400 * 400, 999'000'000}},
                                            {"Far ahead.md", {4'102'444'800, 1'000'000}}};
    for (const auto& [name, time] : times) {
        const QByteArray path = folder.native(name);
        const timespec both[2] = {time, time};
        ASSERT_TRUE(createRaw(path) && ::utimensat(AT_FDCWD, path.constData(), both, 0) == 0);
    }
    const auto listing = listFolder(folder.path(), kBare);
    ASSERT_EQ(listing->size(), times.size());
    for (const FolderEntry& entry : *listing) {
        const timespec time = times.at(entry.name);
        const qint64 ms = qint64(time.tv_sec) * 1000 + time.tv_nsec / 1'000'000;
        EXPECT_EQ(entry.contentModificationDate, QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC))
            << entry.name.toStdString();
        EXPECT_EQ(entry.contentModificationDate->timeSpec(), Qt::UTC);
    }
}

TEST(ListingFastPaths, TagsReadInTheFolderEqualThoseReadByPath) {
    // Values of every size around the first read's, values that are not UTF-8 or hold blanks, and
    // items of every kind, read with the relative call and with its fallback by path.
    TempFolder folder;
    std::map<QString, QByteArray> values{{"Invalid.md", "Red,\xff"}, {"Blanks.md", " a , ,b,"}};
    for (int size : {0, 1, 2, 100, 254, 255, 256, 257, 258, 600, 4000}) {
        QByteArray& value = values[QStringLiteral("Size %1.md").arg(size)];
        for (int i = 0; value.size() < size; ++i)
            value += "t" + QByteArray::number(i) + ',';
        value.truncate(size);
    }
    QStringList names{"None.md", "Link.md", "Folder", "Pipe", "Missing.md"};
    for (const auto& [name, value] : values) {
        names.append(name);
        const QByteArray path = folder.native(name);
        ASSERT_TRUE(createRaw(path));
        ASSERT_EQ(::setxattr(path.constData(), "user.xdg.tags", value.constData(), value.size(), 0), 0);
    }
    ASSERT_TRUE(createRaw(folder.native("None.md")));
    ASSERT_TRUE(QFile::link("Size 600.md", folder.file("Link.md")));
    ASSERT_TRUE(QDir(folder.path()).mkdir("Folder") && writeTags(folder.file("Folder"), {"Blue"}).ok);
    ASSERT_EQ(::mkfifo(folder.native("Pipe").constData(), 0644), 0);

    const posix::FileDescriptor fd(::open(folder.native("").constData(), O_RDONLY | O_DIRECTORY));
    auto read = [&](const QString& name) {
        return readTagsAt(fd.get(), name.toUtf8().constData(), folder.file(name));
    };
    for (const bool relative : {true, false}) {
        const bool before = posix::setRelativeAttributeReads(relative);
        for (const QString& name : names)
            EXPECT_EQ(read(name), readTags(folder.file(name)))
                << name.toStdString() << " relative " << relative;
        posix::setRelativeAttributeReads(before);
    }
    // The comparison above means something only if the reads found tags.
    for (const auto& [name, value] : values)
        EXPECT_EQ(read(name), parseTags(value)) << name.toStdString();
    EXPECT_EQ(read("Link.md"), parseTags(values["Size 600.md"]));
    EXPECT_EQ(read("Blanks.md"), (QStringList{"a", "b"}));
}

TEST(ListingFastPaths, TagsAreReadOnlyForKeptEntries) {
    TempFolder folder;
    ASSERT_TRUE(testing::writeBytes(folder.file("Kept.md"), "x") &&
                writeTags(folder.file("Kept.md"), {"Green"}).ok);
    ASSERT_TRUE(testing::writeBytes(folder.file("Dropped.png"), "x"));
    ASSERT_TRUE(QDir(folder.path()).mkdir("Sub") && writeTags(folder.file("Sub"), {"Gray"}).ok);
    ListingOptions options;
    int asked = 0;
    options.keep = [&](const FolderEntry& entry) {
        ++asked;
        EXPECT_TRUE(entry.tagNames.isEmpty()); // judged before the tags are read
        return entry.name != QStringLiteral("Dropped.png");
    };
    const auto listing = listFolder(folder.path(), options);
    EXPECT_EQ(asked, 3);
    ASSERT_EQ(listing->size(), 2u);
    for (const FolderEntry& entry : *listing) {
        const auto alone = entryForPath(entry.path);
        EXPECT_EQ(entry.tagNames.size(), 1);
        EXPECT_EQ(entry.tagNames, alone->tagNames) << entry.name.toStdString();
        EXPECT_EQ(entry.typeIdentifier, alone->typeIdentifier);
        EXPECT_EQ(entry.contentModificationDate, alone->contentModificationDate);
        EXPECT_EQ(entry.creationDate, alone->creationDate);
        EXPECT_EQ(entry.isImmutable, alone->isImmutable);
    }
}

} // namespace
} // namespace quillet::platform
