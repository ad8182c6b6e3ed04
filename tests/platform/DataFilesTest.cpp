#include "platform/DataFiles.h"

#include "PlatformTestSupport.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace quillet::platform {
namespace {

TEST(DataFiles, FoundBesideTheProgramFirstThenOnTheDataPath) {
    testing::TempFolder root;
    for (const char* folder : {"prefix/bin", "prefix/share/quillet", "xdg/quillet", "empty"})
        ASSERT_TRUE(QDir().mkpath(root.file(folder)));
    const QStringList roots{root.file("empty"), root.file("xdg")};
    EXPECT_EQ(findDataFolder(root.file("prefix/bin"), roots), root.file("prefix/share/quillet"));
    EXPECT_EQ(findDataFolder(root.file("elsewhere/bin"), roots), root.file("xdg/quillet"));
    EXPECT_EQ(findDataFolder(root.file("elsewhere/bin"), {root.file("empty")}), QString());
}

TEST(DataFiles, TheBuildTreeHoldsTheStyleSheets) {
    EXPECT_EQ(dataFolder(), QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/quillet"));
    EXPECT_TRUE(QFileInfo::exists(dataFolder() + "/css/markdown.css")) << dataFolder().toStdString();
}

} // namespace
} // namespace quillet::platform
