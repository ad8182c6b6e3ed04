#include "app/LaunchOptions.h"

#include "QtPrinting.h"

#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(LaunchOptionsTest, ReadsEveryOptionAndRejectsWhatItDoesNotKnow) {
    const LaunchOptions options = LaunchOptions::parse({"quillet", "--screenshot", "/tmp/shot.png", "--quit",
                                                        "--open", "/notes/a.md", "--dark", "--preview",
                                                        "--sync-folder", "/sync"});
    EXPECT_TRUE(options.error.isEmpty());
    EXPECT_EQ(options.screenshotPath, QStringLiteral("/tmp/shot.png"));
    EXPECT_EQ(options.openPath, QStringLiteral("/notes/a.md"));
    EXPECT_TRUE(options.quitAfterScreenshot && options.dark && options.showPreview);
    EXPECT_EQ(options.syncFolder, QStringLiteral("/sync"));
    const LaunchOptions plain = LaunchOptions::parse({"quillet"});
    EXPECT_TRUE(plain.error.isEmpty());
    EXPECT_FALSE(plain.screenshotPath || plain.openPath || plain.dark || plain.quitAfterScreenshot ||
                 plain.syncFolder);

    for (const QStringList& wrong : {QStringList{"quillet", "--shot"}, QStringList{"quillet", "--screenshot"}})
        EXPECT_FALSE(LaunchOptions::parse(wrong).error.isEmpty()) << wrong.join(' ').toStdString();
}

TEST(LaunchOptionsTest, FilesFromTheFileManagerFollowTheOpenOption) {
    const LaunchOptions options = LaunchOptions::parse({"quillet", "a.md", "--dark", "/n/b.md", "--open", "/n/c.md"});
    EXPECT_TRUE(options.error.isEmpty());
    EXPECT_TRUE(options.dark);
    EXPECT_EQ(options.notePaths(), (QStringList{"/n/c.md", "a.md", "/n/b.md"}));
    EXPECT_TRUE(LaunchOptions::parse({"quillet", "--", "-dash.md"}).files == QStringList{"-dash.md"});
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
