#include "platform/UserDefaults.h"

#include "PlatformTestSupport.h"
#include "platform/SettingsMarkdownDefaults.h"

#include <gtest/gtest.h>

namespace quillet::platform {
namespace {

using namespace defaults_keys;
using testing::TempFolder;

TEST(UserDefaults, ValuesKeepTheirTypesAcrossRuns) {
    TempFolder folder;
    const QString file = folder.file("Quillet.ini");
    const QDateTime installed = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);
    const QVariantMap bookmark{{"bookmark", QByteArray("/home/me/Notes\xff")}};
    {
        UserDefaults defaults(file);
        defaults.setObject(kLastOpenedFilepath, "/home/me/Notes/Bread.md");
        defaults.setObject(kDefaultFontSize, 15.5);
        defaults.setObject(kPopoverDepth, 3);
        defaults.setObject(kLastOpenedFolder, bookmark);
        defaults.setObject(kRecentOpenedFolders, QVariantList{bookmark});
        defaults.setObject("OneString", QStringList{"only"});
        defaults.setObject(kMarkdownStyleCreateDate, installed);
        defaults.setObject("Flag", true);
        ASSERT_TRUE(defaults.synchronize());
    }
    UserDefaults reread(file);
    EXPECT_EQ(reread.string(kLastOpenedFilepath), std::optional<QString>("/home/me/Notes/Bread.md"));
    EXPECT_EQ(reread.number(kDefaultFontSize), std::optional<double>(15.5));
    EXPECT_EQ(reread.number(kPopoverDepth), std::optional<double>(3));
    EXPECT_EQ(reread.dictionary(kLastOpenedFolder), std::optional<QVariantMap>(bookmark));
    const auto recent = reread.array(kRecentOpenedFolders);
    ASSERT_TRUE(recent.has_value());
    ASSERT_EQ(recent->size(), 1);
    EXPECT_EQ(recent->front().toMap(), bookmark);
    EXPECT_EQ(reread.stringArray("OneString"), std::optional<QStringList>(QStringList{"only"}));
    EXPECT_EQ(reread.date(kMarkdownStyleCreateDate), std::optional<QDateTime>(installed));
    EXPECT_TRUE(reread.boolean("Flag"));
    EXPECT_FALSE(reread.boolean("Absent"));
    // Asking for the wrong kind gives nothing.
    EXPECT_EQ(reread.dictionary(kLastOpenedFilepath), std::nullopt);
    EXPECT_EQ(reread.string(kLastOpenedFolder), std::nullopt);
    EXPECT_EQ(reread.number(kLastOpenedFilepath), std::nullopt);
}

TEST(UserDefaults, KeysAreStoredUnderTheirOwnNames) {
    TempFolder folder;
    UserDefaults defaults(folder.file("Quillet.ini"));
    defaults.setObject(kLastSortMode, "Name");
    defaults.setObject(kSelectedMarkdownStyle, "github.css");
    ASSERT_TRUE(defaults.synchronize());
    const QByteArray ini = testing::readBytes(folder.file("Quillet.ini"));
    EXPECT_TRUE(ini.contains("RQ1DlastSortMode=Name")) << ini.constData();
    EXPECT_TRUE(ini.contains("RQ1DselectedMarkdownStyle=github.css"));
}

TEST(UserDefaults, RegisteredValuesAnswerUntilAValueIsStored) {
    TempFolder folder;
    UserDefaults defaults(folder.file("Quillet.ini"));
    EXPECT_FALSE(defaults.contains(kLastSortMode));
    defaults.registerDefaults({{kLastSortMode, "Date"}, {kSystemFont, "DejaVu Sans"}});
    EXPECT_EQ(defaults.string(kLastSortMode), std::optional<QString>("Date"));
    defaults.setObject(kLastSortMode, "Name");
    EXPECT_EQ(defaults.string(kLastSortMode), std::optional<QString>("Name"));
    defaults.remove(kLastSortMode);
    EXPECT_EQ(defaults.string(kLastSortMode), std::optional<QString>("Date"));
    defaults.setObject(kSystemFont, QVariant()); // storing nothing removes
    EXPECT_EQ(defaults.string(kSystemFont), std::optional<QString>("DejaVu Sans"));

    const auto languages = defaults.stringArray(kPreferredLanguages);
    ASSERT_TRUE(languages.has_value());
    EXPECT_EQ(*languages, QLocale::system().uiLanguages());
}

TEST(UserDefaults, MarkdownOptionsRoundTripAsARecord) {
    TempFolder folder;
    const QString file = folder.file("Quillet.ini");
    {
        UserDefaults defaults(file);
        SettingsMarkdownDefaults options(defaults);
        EXPECT_EQ(options.markdownOptions(), std::nullopt);
        options.setMarkdownOptions({{"indentNormalLines", 1}, {"indentWidthByChars", 4}});
        defaults.synchronize();
    }
    UserDefaults defaults(file);
    const auto stored = defaults.dictionary(kMarkdownOptions);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->value("indentWidthByChars").toInt(), 4);
    // A record written by hand with booleans and a stray string.
    defaults.setObject(kMarkdownOptions, QVariantMap{{"resetIndentByHeader", true}, {"junk", "x"}});
    const auto read = SettingsMarkdownDefaults(defaults).markdownOptions();
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, (MarkdownOptions::KeyValues{{"resetIndentByHeader", 1}}));
}

} // namespace
} // namespace quillet::platform
