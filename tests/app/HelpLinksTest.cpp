#include "app/HelpLinks.h"

#include "QtPrinting.h"
#include "app/AboutPanelController.h"

#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace quillet {
namespace {

const QString kQuillet = QStringLiteral("Quillet");

QString help(const char* title, const QString& app = QStringLiteral("Quillet"),
             const QString& lang = QStringLiteral("en-GB")) {
    const std::optional<QUrl> url = helpMenuURL(QString::fromUtf8(title), app, lang);
    return url ? url->toString(QUrl::FullyEncoded) : QStringLiteral("<none>");
}

TEST(HelpLinksTest, EachItemOpensItsPageWithJapaneseVariants) {
    EXPECT_EQ(help(kHelpViaWebTitle), QStringLiteral("https://quillet.example.org/help/"));
    EXPECT_EQ(help(kHelpViaWebTitle, kQuillet, QStringLiteral("ja-JP")),
              QStringLiteral("https://quillet.example.org/ja/help/"));
    EXPECT_EQ(help(kPrivacyPolicyTitle), QStringLiteral("https://quillet.example.org/privacy/"));
    EXPECT_EQ(help(kPrivacyPolicyTitle, kQuillet, QStringLiteral("ja")),
              QStringLiteral("https://quillet.example.org/ja/privacy/"));
    // "jv" (Javanese) is not Japanese.
    EXPECT_EQ(help(kPrivacyPolicyTitle, kQuillet, QStringLiteral("jv")),
              QStringLiteral("https://quillet.example.org/privacy/"));
    EXPECT_EQ(productPageURL(QStringLiteral("ja")).toString(),
              QStringLiteral("https://quillet.example.org/ja/"));
}

TEST(HelpLinksTest, FeedbackMailNamesTheApplicationWithEncodedSpaces) {
    EXPECT_EQ(help(kFeedbackTitle, QStringLiteral("Quillet Script")),
              QStringLiteral("mailto:support@quillet.example.org?subject=Feedback%20of%20Quillet%20Script"));
}

TEST(HelpLinksTest, StorePageOnlyForTheFamilyAndUnknownTitlesDoNothing) {
    EXPECT_EQ(help(kRateUsTitle), QStringLiteral("https://quillet.example.org/store/"));
    EXPECT_EQ(help(kRateUsTitle, QStringLiteral("Quillet Python")),
              QStringLiteral("https://quillet.example.org/store/"));
    EXPECT_EQ(help(kRateUsTitle, QStringLiteral("quillet-app-tests")), QStringLiteral("<none>"));
    EXPECT_EQ(help("Quillet Help"), QStringLiteral("<none>"));
    EXPECT_EQ(help(""), QStringLiteral("<none>"));
}

TEST(HelpLinksTest, AboutPanelShowsVersionAndOpensTheProductPage) {
    EXPECT_EQ(AboutPanelController::versionString(QStringLiteral("1.2"), QStringLiteral("34")),
              QStringLiteral("Version 1.2 (34)"));
    AboutPanelController panel;
    EXPECT_TRUE(panel.versionField()->text().startsWith(QStringLiteral("Version ")));
    EXPECT_FALSE(panel.productNameField()->text().isEmpty());
    QList<QUrl> opened;
    panel.setURLOpener([&](const QUrl& url) { opened.append(url); });
    panel.urlButton()->click();
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.first().host(), QStringLiteral("quillet.example.org"));

    panel.open();
    panel.okButton()->click();
    EXPECT_EQ(panel.result(), 1);
}

} // namespace
} // namespace quillet
