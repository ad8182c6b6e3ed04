#include "app/HelpLinks.h"

#include "QtPrinting.h"
#include "app/AboutPanelController.h"

#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace quillet {
namespace {

TEST(HelpLinksTest, OnlyTheIssueItemOpensAnAddressAndTheAboutSheetNamesVersionAndLicence) {
    EXPECT_EQ(helpMenuURL(QString::fromUtf8(kReportIssueTitle)), issueTrackerURL());
    EXPECT_EQ(issueTrackerURL().toString(), QStringLiteral("https://quillet.org/issues"));
    for (const char* other : {kHelpGuideTitle, "Rate us at the App Store…", "Something Else"})
        EXPECT_FALSE(helpMenuURL(QString::fromUtf8(other))) << other;

    AboutPanelController panel;
    EXPECT_TRUE(panel.versionField()->text().contains(QStringLiteral(QUILLET_TEST_VERSION)));
    EXPECT_TRUE(panel.licenseField()->text().contains(QStringLiteral("MIT")));
    EXPECT_TRUE(
        panel.licenseField()->text().contains(QStringLiteral("Qt ") + QString::fromLatin1(qVersion())));
    QList<QUrl> opened;
    panel.setURLOpener([&](const QUrl& url) { opened.append(url); });
    panel.urlButton()->click();
    EXPECT_EQ(opened, QList<QUrl>{productPageURL()});
}

} // namespace
} // namespace quillet
