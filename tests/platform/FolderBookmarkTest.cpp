#include "platform/FolderBookmark.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(FolderBookmarkTest, NoticesAFolderMovedReplacedOrRemoved) {
    QTemporaryDir root;
    const QString path = root.path() + "/Notes";
    ASSERT_TRUE(QDir().mkpath(path));
    const QByteArray data = platform::FolderBookmark::make(path + "/")->toData();
    EXPECT_EQ(platform::resolveFolderBookmark(data)->path, path);
    EXPECT_FALSE(platform::resolveFolderBookmark(data)->stale);

    ASSERT_TRUE(QDir().rename(path, root.path() + "/Moved"));
    EXPECT_FALSE(platform::resolveFolderBookmark(data));
    ASSERT_TRUE(QDir().mkpath(path));
    EXPECT_TRUE(platform::resolveFolderBookmark(data)->stale);
    ASSERT_TRUE(QDir(path).removeRecursively());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(platform::resolveFolderBookmark(data));
    EXPECT_FALSE(platform::FolderBookmark::make(path));
    EXPECT_FALSE(platform::resolveFolderBookmark("garbage"));
}

} // namespace
} // namespace quillet
