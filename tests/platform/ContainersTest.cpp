#include "platform/Containers.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace quillet::platform {
namespace {

TEST(Containers, LocalContainerIsTheApplicationsDocumentsFolder) {
    QStandardPaths::setTestModeEnabled(true);
    const QString path = localContainerPath();
    EXPECT_EQ(path, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/Documents");
    EXPECT_TRUE(path.contains(QCoreApplication::applicationName()));
    ASSERT_TRUE(ensureLocalContainer().ok);
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_TRUE(ensureLocalContainer().ok); // again: already there
    QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)).removeRecursively();
    QStandardPaths::setTestModeEnabled(false);
}

TEST(Containers, UbiquitousItemsAreThoseInsideTheSynchronisedFolder) {
    EXPECT_FALSE(isUbiquitousItem("/sync/Notes/a.md")); // none set up
    setUbiquityContainerPath(QString("/sync/Notes/"));
    EXPECT_EQ(ubiquityContainerPath(), std::optional<QString>("/sync/Notes"));
    EXPECT_TRUE(isUbiquitousItem("/sync/Notes"));
    EXPECT_TRUE(isUbiquitousItem("/sync/Notes/Recipes/Bread.md"));
    EXPECT_TRUE(isUbiquitousItem("/sync/Notes/x/../a.md"));
    EXPECT_FALSE(isUbiquitousItem("/sync/NotesOld/a.md"));
    EXPECT_FALSE(isUbiquitousItem("/sync/Notes/../a.md"));
    EXPECT_FALSE(isUbiquitousItem(""));
    setUbiquityContainerPath(std::nullopt);
    EXPECT_FALSE(isUbiquitousItem("/sync/Notes/a.md"));
}

} // namespace
} // namespace quillet::platform
