#include "platform/Containers.h"

#include "platform/LibraryMove.h"
#include "tests/support/TemporaryHome.h"

#include <gtest/gtest.h>

namespace quillet::platform {
namespace {

TEST(Containers, UbiquitousItemsAreThoseInsideTheSynchronisedFolder) {
    EXPECT_FALSE(isUbiquitousItem("/sync/Notes/a.md")); // none set up
    setUbiquityContainerPath(QString("/sync/Notes/"));
    for (const char* inside : {"/sync/Notes", "/sync/Notes/Recipes/Bread.md", "/sync/Notes/x/../a.md"})
        EXPECT_TRUE(isUbiquitousItem(inside)) << inside;
    for (const char* outside : {"/sync/NotesOld/a.md", "/sync/Notes/../a.md", ""})
        EXPECT_FALSE(isUbiquitousItem(outside)) << outside;
    setUbiquityContainerPath(std::nullopt);
    EXPECT_FALSE(isUbiquitousItem("/sync/Notes/a.md"));
}

TEST(Containers, TheLibraryIsUsedFromItsFormerPlaceUntilMovedToTheDocumentsFolder) {
    quillet::testing::TemporaryHome home;
    EXPECT_EQ(documentsLibraryPath(), home.path() + "/home/Documents/Quillet");
    EXPECT_EQ(localContainerPath(), documentsLibraryPath());
    ASSERT_TRUE(QDir().mkpath(formerLocalContainerPath()));
    EXPECT_EQ(localContainerPath(), formerLocalContainerPath());
    EXPECT_EQ(moveFormerLocalContainer().outcome, LibraryMove::Outcome::moved);
    EXPECT_EQ(localContainerPath(), documentsLibraryPath());
    EXPECT_TRUE(QFileInfo(documentsLibraryPath()).isDir());
}

} // namespace
} // namespace quillet::platform
