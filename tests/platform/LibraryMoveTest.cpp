#include "platform/LibraryMove.h"

#include "PlatformTestSupport.h"
#include "platform/ExtendedAttributes.h"
#include "platform/FileOperations.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

namespace quillet::platform {
namespace {

using Outcome = LibraryMove::Outcome;
using testing::writeBytes;

// Everything the library holds, by relative path: kind, mode, modification time, bytes, attributes.
std::map<QString, QString> contentsOf(const QString& folder) {
    std::map<QString, QString> contents;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        QString& entry = contents[path.mid(folder.size())];
        entry = QStringLiteral("%1 %2 ").arg(st.st_mode, 0, 8).arg(st.st_mtim.tv_sec);
        if (S_ISLNK(st.st_mode)) entry += it.fileInfo().symLinkTarget().mid(folder.size());
        if (S_ISREG(st.st_mode)) entry += testing::readBytes(path);
        for (const QString& name : listAttributes(path).value.value_or(QStringList()))
            entry += name + u'=' + readAttribute(path, name, 100).value.value_or("?");
    }
    return contents;
}

class LibraryMoveTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A note with an attribute and an old date, a locked note in a locked folder, a link.
        ASSERT_TRUE(QDir().mkpath(from + "/Recipes/Old") && writeBytes(from + "/Bread.md", "# Bread\n") &&
                    writeBytes(from + "/Recipes/Old/Cake.md", "# Cake\n") &&
                    writeAttribute(from + "/Bread.md", "displayName", "Bread").ok &&
                    setLocked(from + "/Recipes/Old/Cake.md", true).ok &&
                    setLocked(from + "/Recipes/Old", true).ok && QFile::link("Bread.md", from + "/Link.md"));
        const struct timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(from + "/Bread.md").constData(), old, 0), 0);
        before = contentsOf(from);
    }

    testing::TempFolder home;
    const QString from = home.file("data/Quillet/Quillet/Documents");
    const QString to = home.file("home/Documents/Quillet");
    std::map<QString, QString> before;
};

TEST_F(LibraryMoveTest, MovesTheWholeLibraryOnce) {
    const LibraryMove move = moveLibrary(from, to);
    EXPECT_EQ(move.outcome, Outcome::moved);
    EXPECT_EQ(move.library, to);
    EXPECT_FALSE(itemExists(from));
    EXPECT_EQ(contentsOf(to), before);
    EXPECT_EQ(moveLibrary(from, to).outcome, Outcome::nothingToMove);
}

TEST_F(LibraryMoveTest, NeverOntoAnExistingItem) {
    ASSERT_TRUE(QDir().mkpath(to) && writeBytes(to + "/Mine.md", "mine"));
    const LibraryMove move = moveLibrary(from, to);
    EXPECT_EQ(move.outcome, Outcome::targetExists);
    EXPECT_EQ(move.library, from);
    EXPECT_TRUE(move.message.contains(from) && move.message.contains(to)) << move.message.toStdString();
    EXPECT_EQ(contentsOf(from), before);
    EXPECT_EQ(contentsOf(to).size(), 1u);
}

TEST_F(LibraryMoveTest, AFailureKeepsTheLibraryWhereItWas) {
    ASSERT_TRUE(QDir().mkpath(home.file("home")) && writeBytes(home.file("home/Documents"), "not a folder"));
    const LibraryMove move = moveLibrary(from, to);
    EXPECT_EQ(move.outcome, Outcome::failed);
    EXPECT_EQ(move.library, from);
    EXPECT_TRUE(move.message.contains(from) && move.message.contains("File exists"))
        << move.message.toStdString();
    EXPECT_EQ(contentsOf(from), before);
}

dev_t deviceOf(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_dev : 0;
}

// /dev/shm is a tmpfs: another file system than the temporary folder's, where one exists.
class LibraryMoveAcrossTest : public LibraryMoveTest {
protected:
    void SetUp() override {
        LibraryMoveTest::SetUp();
        if (!other.isValid() || deviceOf(from) == deviceOf(other.path())) GTEST_SKIP() << "one file system";
    }
    QTemporaryDir other{QStringLiteral("/dev/shm/quillet-move-XXXXXX")};
    const QString across = other.path() + "/Documents/Quillet";
};

TEST_F(LibraryMoveAcrossTest, CopiesThenRemovesTheOriginal) {
    EXPECT_EQ(moveLibrary(from, across).outcome, Outcome::moved);
    EXPECT_EQ(contentsOf(across), before);
    EXPECT_FALSE(itemExists(from));
    EXPECT_EQ(QDir(home.file("data/Quillet/Quillet"))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());
}

TEST_F(LibraryMoveAcrossTest, ACopyThatFailsLeavesNothingBehind) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(from + "/pipe").constData(), 0600), 0); // cannot be copied
    before = contentsOf(from);
    EXPECT_EQ(moveLibrary(from, across).outcome, Outcome::failed);
    EXPECT_EQ(contentsOf(from), before);
    EXPECT_EQ(contentsOf(other.path() + "/Documents").size(), 0u);
}

} // namespace
} // namespace quillet::platform
