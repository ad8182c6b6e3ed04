#include "app/LaunchOptions.h"

#include "QtPrinting.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(LaunchOptionsTest, ReadsEveryOption) {
    const LaunchOptions options = LaunchOptions::parse({"quillet", "--screenshot", "/tmp/shot.png", "--quit",
                                                        "--open", "/notes/a.md", "--dark", "--preview"});
    EXPECT_TRUE(options.error.isEmpty());
    EXPECT_EQ(options.screenshotPath, QStringLiteral("/tmp/shot.png"));
    EXPECT_TRUE(options.quitAfterScreenshot);
    EXPECT_EQ(options.openPath, QStringLiteral("/notes/a.md"));
    EXPECT_TRUE(options.dark);
    EXPECT_TRUE(options.showPreview);

    const LaunchOptions plain = LaunchOptions::parse({"quillet"});
    EXPECT_TRUE(plain.error.isEmpty());
    EXPECT_FALSE(plain.screenshotPath || plain.openPath || plain.dark || plain.quitAfterScreenshot);
}

TEST(LaunchOptionsTest, RejectsWhatItDoesNotKnow) {
    EXPECT_FALSE(LaunchOptions::parse({"quillet", "--shot"}).error.isEmpty());
    EXPECT_FALSE(LaunchOptions::parse({"quillet", "--screenshot"}).error.isEmpty());
    EXPECT_FALSE(LaunchOptions::parse({"quillet", "stray.md"}).error.isEmpty());
}

TEST(LaunchOptionsTest, DarkPaletteIsDark) {
    EXPECT_TRUE(isDarkPalette(darkPalette()));
    QPalette light;
    light.setColor(QPalette::Window, Qt::white);
    light.setColor(QPalette::WindowText, Qt::black);
    EXPECT_FALSE(isDarkPalette(light));
}

} // namespace
} // namespace quillet
