#include "platform/Trash.h"

#include "PlatformTestSupport.h"
#include "platform/FileOperations.h"
#include "platform/ItemLock.h"
#include "tests/support/TemporaryHome.h"

#include <QUrl>
#include <cerrno>
#include <gtest/gtest.h>

namespace quillet::platform {
namespace {

using testing::readBytes;
using testing::writeBytes;

class TrashTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(notes + "/Folder") && writeBytes(notes + "/a.md", "# A\n") &&
                    writeBytes(notes + "/Folder/a.md", "# Other A\n"));
    }
    quillet::testing::TemporaryHome home; // the home trash is in its data folder
    const QString notes = home.path() + "/notes";
    const QString trash = home.path() + "/data/Trash";
};

TEST_F(TrashTest, TrashedItemsKeepTheirTextAndWhereTheyCameFrom) {
    const auto first = moveItemToTrash(notes + "/a.md");
    const auto second = moveItemToTrash(notes + "/Folder/a.md");
    ASSERT_TRUE(first.ok() && second.ok()) << first.status.description.toStdString();
    EXPECT_EQ(*first, trash + "/files/a.md");
    EXPECT_EQ(*second, trash + "/files/a.md.2");
    EXPECT_EQ(readBytes(*first), "# A\n");
    EXPECT_EQ(readBytes(*second), "# Other A\n");
    const QByteArray info = readBytes(trash + "/info/a.md.2.trashinfo");
    EXPECT_TRUE(info.startsWith("[Trash Info]\nPath=" + QUrl::toPercentEncoding(notes + "/Folder/a.md", "/") +
                                "\nDeletionDate="))
        << info.toStdString();
    EXPECT_FALSE(itemExists(notes + "/a.md") || itemExists(notes + "/Folder/a.md"));
    EXPECT_EQ(moveItemToTrash(notes + "/a.md").status.errorCode, ENOENT);
}

TEST_F(TrashTest, LockedItemsStayAndWithoutATrashNothingMoves) {
    ASSERT_TRUE(setLocked(notes + "/Folder/a.md", true).ok);
    EXPECT_EQ(moveItemToTrash(notes + "/Folder").status.errorCode, EPERM);
    EXPECT_EQ(moveItemToTrash(notes + "/Folder/a.md").status.errorCode, EPERM);
    ASSERT_TRUE(setLocked(notes + "/Folder/a.md", false).ok);
    ASSERT_TRUE(setLocked(notes + "/Folder", true).ok);
    EXPECT_EQ(moveItemToTrash(notes + "/Folder/a.md").status.errorCode, EPERM);
    ASSERT_TRUE(setLocked(notes + "/Folder", false).ok);
    EXPECT_TRUE(itemExists(notes + "/Folder/a.md"));

    ASSERT_TRUE(writeBytes(trash, "a file where the trash would be"));
    EXPECT_EQ(moveItemToTrash(notes + "/Folder").status.errorCode, ENOTSUP);
    EXPECT_EQ(readBytes(notes + "/Folder/a.md"), "# Other A\n");
    EXPECT_TRUE(trashFolderFor(notes + "/a.md").isEmpty());
}

} // namespace
} // namespace quillet::platform
