#include "platform/Containers.h"

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

} // namespace
} // namespace quillet::platform
