#include "app/NoteInfoText.h"

#include "QtPrinting.h"
#include "app/InfoPanelController.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace quillet {
namespace {

QVariantMap sampleInfo() {
    return {{QStringLiteral("Title"), QStringLiteral("Plan")},
            {QStringLiteral("Filename"), QStringLiteral("plan.md")},
            {QStringLiteral("Size"), QStringLiteral("1 KB")},
            {QStringLiteral("Created"), QStringLiteral("2026/01/02 10:00")},
            {QStringLiteral("Modified"), QStringLiteral("2026/01/03 11:00")},
            {QStringLiteral("Locked"), QStringLiteral("No")},
            {QStringLiteral("Kind"), QStringLiteral("Plain Text")},
            {QStringLiteral("Text Encoding"), QStringLiteral("UTF8")},
            {QStringLiteral("Line Break"), QStringLiteral("LF")},
            {QStringLiteral("Characters"), QStringLiteral("120")},
            {QStringLiteral("Words"), QStringLiteral("20")}};
}

TEST(NoteInfoTextTest, LinesInOrderWithoutUtiWhenUnknown) {
    EXPECT_EQ(noteInfoText(sampleInfo()), QStringLiteral("\tTitle :\t\"Plan\"\n"
                                                         "\tFilename :\t\"plan.md\"\n"
                                                         "\tSize :\t1 KB\n"
                                                         "\tCreated :\t2026/01/02 10:00\n"
                                                         "\tModified :\t2026/01/03 11:00\n"
                                                         "\tLocked :\tNo\n"
                                                         "\tKind :\tPlain Text\n"
                                                         "\tText Encoding :\tUTF8\n"
                                                         "\tLine Break :\tLF\n"
                                                         "\tCharacters :\t120\n"
                                                         "\tWords :\t20\n"));
}

TEST(NoteInfoTextTest, UtiLineFollowsKindOnlyWithFileUti) {
    QVariantMap info = sampleInfo();
    info.insert(QStringLiteral("fileUTI"), QStringLiteral("net.daringfireball.markdown"));
    const QStringList lines = noteInfoText(info).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 12);
    EXPECT_EQ(lines[6], QStringLiteral("\tKind :\tPlain Text"));
    EXPECT_EQ(lines[7], QStringLiteral("\tUTI :\tnet.daringfireball.markdown"));
    EXPECT_EQ(lines[8], QStringLiteral("\tText Encoding :\tUTF8"));
    // A record's own "UTI" key is not the one shown.
    info.remove(QStringLiteral("fileUTI"));
    info.insert(QStringLiteral("UTI"), QStringLiteral("public.plain-text"));
    EXPECT_FALSE(noteInfoText(info).contains(QStringLiteral("UTI :")));
}

TEST(NoteInfoTextTest, DocumentUsesHelveticaAndTheTwoTabStops) {
    const auto document = attributedStringFromNoteInfo(sampleInfo());
    EXPECT_EQ(document->defaultFont().family(), QStringLiteral("Helvetica"));
    EXPECT_DOUBLE_EQ(document->defaultFont().pointSizeF(), 15.0);
    const QList<QTextOption::Tab> tabs = document->defaultTextOption().tabs();
    ASSERT_EQ(tabs.size(), 2);
    EXPECT_DOUBLE_EQ(tabs[0].position, 120.0);
    EXPECT_EQ(tabs[0].type, QTextOption::RightTab);
    EXPECT_DOUBLE_EQ(tabs[1].position, 127.0);
    EXPECT_EQ(tabs[1].type, QTextOption::LeftTab);
    EXPECT_EQ(document->toPlainText(), noteInfoText(sampleInfo()));
}

TEST(NoteInfoTextTest, PanelShowsFileNameAndRefreshesWithNewInfo) {
    InfoPanelController panel;
    EXPECT_TRUE(panel.textView()->isReadOnly());
    panel.setFileURL(QUrl::fromLocalFile(QStringLiteral("/notes/folder/plan.md")));
    panel.setNoteInfo(sampleInfo());
    EXPECT_EQ(panel.filenameField()->text(), QStringLiteral("plan.md"));
    EXPECT_TRUE(panel.textView()->toPlainText().startsWith(QStringLiteral("\tTitle :\t\"Plan\"")));

    QVariantMap renamed = sampleInfo();
    renamed.insert(QStringLiteral("Title"), QStringLiteral("Renamed"));
    panel.setNoteInfo(renamed);
    EXPECT_TRUE(panel.textView()->toPlainText().contains(QStringLiteral("\"Renamed\"")));
    EXPECT_EQ(panel.textView()->document()->defaultTextOption().tabs().size(), 2);

    panel.open();
    panel.doneButton()->click();
    EXPECT_EQ(panel.result(), 1);
    EXPECT_FALSE(panel.isVisible());
}

} // namespace
} // namespace quillet
