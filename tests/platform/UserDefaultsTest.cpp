#include "platform/UserDefaults.h"

#include "PlatformTestSupport.h"
#include "platform/SettingsMarkdownDefaults.h"

#include <gtest/gtest.h>

namespace quillet::platform {
namespace {

using namespace defaults_keys;

TEST(UserDefaults, ValuesKeepTheirTypesAndNamesAcrossRuns) {
    testing::TempFolder folder;
    const QString file = folder.file("Quillet.ini");
    const QDateTime installed = QDateTime::fromSecsSinceEpoch(1'700'000'000, Qt::UTC);
    const QVariantMap bookmark{{"bookmark", QByteArray("/home/me/Notes\xff")}};
    {
        UserDefaults defaults(file);
        defaults.setObject(kLastOpenedFilepath, "/home/me/Notes/Bread.md");
        defaults.setObject(kDefaultFontSize, 15.5);
        defaults.setObject(kLastOpenedFolder, bookmark);
        defaults.setObject(kRecentOpenedFolders, QVariantList{bookmark});
        defaults.setObject("OneString", QStringList{"only"});
        defaults.setObject(kMarkdownStyleCreateDate, installed);
        defaults.setObject("Flag", true);
        defaults.setObject(kLastSortMode, "Name");
        ASSERT_TRUE(defaults.synchronize());
    }
    EXPECT_TRUE(testing::readBytes(file).contains("RQ1DlastSortMode=Name")); // the stored key's own name
    UserDefaults reread(file);
    EXPECT_EQ(reread.string(kLastOpenedFilepath), std::optional<QString>("/home/me/Notes/Bread.md"));
    EXPECT_EQ(reread.number(kDefaultFontSize), std::optional<double>(15.5));
    EXPECT_EQ(reread.dictionary(kLastOpenedFolder), std::optional<QVariantMap>(bookmark));
    EXPECT_EQ(reread.array(kRecentOpenedFolders), std::optional<QVariantList>(QVariantList{bookmark}));
    EXPECT_EQ(reread.stringArray("OneString"), std::optional<QStringList>(QStringList{"only"}));
    EXPECT_EQ(reread.date(kMarkdownStyleCreateDate), std::optional<QDateTime>(installed));
    EXPECT_TRUE(reread.boolean("Flag"));
    EXPECT_FALSE(reread.boolean("Absent"));
    // Asking for the wrong kind gives nothing.
    EXPECT_EQ(reread.dictionary(kLastOpenedFilepath), std::nullopt);
    EXPECT_EQ(reread.string(kLastOpenedFolder), std::nullopt);
    EXPECT_EQ(reread.number(kLastOpenedFilepath), std::nullopt);
}

TEST(UserDefaults, RegisteredValuesAnswerUntilAValueIsStored) {
    testing::TempFolder folder;
    UserDefaults defaults(folder.file("Quillet.ini"));
    defaults.registerDefaults({{kLastSortMode, "Date"}, {kSystemFont, "DejaVu Sans"}});
    defaults.setObject(kLastSortMode, "Name");
    EXPECT_EQ(defaults.string(kLastSortMode), std::optional<QString>("Name"));
    defaults.remove(kLastSortMode);
    EXPECT_EQ(defaults.string(kLastSortMode), std::optional<QString>("Date"));
    defaults.setObject(kSystemFont, QVariant()); // storing nothing removes
    EXPECT_EQ(defaults.string(kSystemFont), std::optional<QString>("DejaVu Sans"));
    EXPECT_EQ(defaults.stringArray(kPreferredLanguages),
              std::optional<QStringList>(QLocale::system().uiLanguages()));
}

TEST(UserDefaults, MarkdownOptionsRoundTripAsARecordOfNumbers) {
    testing::TempFolder folder;
    UserDefaults defaults(folder.file("Quillet.ini"));
    SettingsMarkdownDefaults options(defaults);
    EXPECT_EQ(options.markdownOptions(), std::nullopt);
    options.setMarkdownOptions({{"indentNormalLines", 1}, {"indentWidthByChars", 4}});
    EXPECT_EQ(defaults.dictionary(kMarkdownOptions)->value("indentWidthByChars").toInt(), 4);
    // A record written by hand with booleans and a stray string.
    defaults.setObject(kMarkdownOptions, QVariantMap{{"resetIndentByHeader", true}, {"junk", "x"}});
    EXPECT_EQ(options.markdownOptions(), (MarkdownOptions::KeyValues{{"resetIndentByHeader", 1}}));
}

} // namespace
} // namespace quillet::platform
