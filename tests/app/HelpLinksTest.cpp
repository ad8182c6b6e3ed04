#include "app/HelpLinks.h"

#include "QtPrinting.h"
#include "app/AboutPanelController.h"

#include <QPushButton>
#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(HelpLinksTest, EachItemOpensItsPageInTheUsersLanguage) {
    const struct {
        const char* title;
        const char* application;
        const char* language;
        const char* url;
    } cases[] = {
        {kHelpViaWebTitle, "Quillet", "en-GB", "https://quillet.example.org/help/"},
        {kHelpViaWebTitle, "Quillet", "ja-JP", "https://quillet.example.org/ja/help/"},
        {kPrivacyPolicyTitle, "Quillet", "ja", "https://quillet.example.org/ja/privacy/"},
        {kPrivacyPolicyTitle, "Quillet", "jv", "https://quillet.example.org/privacy/"}, // Javanese
        {kFeedbackTitle, "Quillet Script", "en",
         "mailto:support@quillet.example.org?subject=Feedback%20of%20Quillet%20Script"},
        {kRateUsTitle, "Quillet Python", "en", "https://quillet.example.org/store/"},
        {kRateUsTitle, "quillet-app-tests", "en", ""}, // not one of the store's products
        {"Quillet Help", "Quillet", "en", ""},
    };
    for (const auto& c : cases) {
        const std::optional<QUrl> url = helpMenuURL(QString::fromUtf8(c.title), c.application, c.language);
        EXPECT_EQ(url ? url->toString(QUrl::FullyEncoded) : QString(), QString::fromUtf8(c.url)) << c.title;
    }
    EXPECT_EQ(productPageURL("ja").toString(), QStringLiteral("https://quillet.example.org/ja/"));
}

TEST(HelpLinksTest, AboutPanelOpensTheProductPage) {
    EXPECT_EQ(AboutPanelController::versionString("1.2", "34"), QStringLiteral("Version 1.2 (34)"));
    AboutPanelController panel;
    QList<QUrl> opened;
    panel.setURLOpener([&](const QUrl& url) { opened.append(url); });
    panel.urlButton()->click();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().host(), QStringLiteral("quillet.example.org"));
}

} // namespace
} // namespace quillet
