#include "app/NoteInfoText.h"

#include "QtPrinting.h"
#include "app/InfoPanelController.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
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

void expectTabStops(const QTextDocument& document) {
    ASSERT_GT(document.blockCount(), 10);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QList<QTextOption::Tab> tabs = block.blockFormat().tabPositions();
        ASSERT_EQ(tabs.size(), 2) << block.text().toStdString();
        EXPECT_DOUBLE_EQ(tabs[0].position, 120.0);
        EXPECT_EQ(tabs[0].type, QTextOption::RightTab);
        EXPECT_DOUBLE_EQ(tabs[1].position, 127.0);
        EXPECT_EQ(tabs[1].type, QTextOption::LeftTab);
    }
}

TEST(NoteInfoTextTest, DocumentUsesHelveticaAndTheTwoTabStopsOnEveryLine) {
    const auto document = attributedStringFromNoteInfo(sampleInfo());
    EXPECT_EQ(document->defaultFont().family(), QStringLiteral("Helvetica"));
    EXPECT_EQ(document->defaultFont().pixelSize(), 15);
    expectTabStops(*document);
    EXPECT_EQ(document->toPlainText(), noteInfoText(sampleInfo()));
}

// The right tab stop right-aligns the labels: they all end where the values begin, less the gap.
TEST(NoteInfoTextTest, LabelsEndAtTheFirstStopAndValuesStartAtTheSecond) {
    const auto document = attributedStringFromNoteInfo(sampleInfo());
    document->setTextWidth(400);
    document->setDocumentMargin(0);
    ASSERT_GT(document->size().height(), 0.0); // lays the text out
    for (QTextBlock block = document->begin(); block.isValid() && !block.text().isEmpty();
         block = block.next()) {
        QTextLayout* layout = block.layout();
        ASSERT_EQ(layout->lineCount(), 1) << block.text().toStdString();
        const QTextLine line = layout->lineAt(0);
        const int valueStart = int(block.text().lastIndexOf(QLatin1Char('\t'))) + 1;
        const int labelEnd = valueStart - 1;
        EXPECT_NEAR(line.cursorToX(labelEnd), 120.0, 1.0) << block.text().toStdString();
        EXPECT_NEAR(line.cursorToX(valueStart), 127.0, 1.0) << block.text().toStdString();
    }
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
    expectTabStops(*panel.textView()->document());

    panel.open();
    panel.doneButton()->click();
    EXPECT_EQ(panel.result(), 1);
    EXPECT_FALSE(panel.isVisible());
}

} // namespace
} // namespace quillet
