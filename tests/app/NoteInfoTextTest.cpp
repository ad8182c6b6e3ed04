#include "app/NoteInfoText.h"

#include "QtPrinting.h"
#include "app/InfoPanelController.h"

#include <QLineEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace quillet {
namespace {

QVariantMap sampleInfo() {
    return {{"Title", "Plan"},
            {"Filename", "plan.md"},
            {"Size", "1 KB"},
            {"Created", "2026/01/02 10:00"},
            {"Modified", "2026/01/03 11:00"},
            {"Locked", "No"},
            {"Kind", "Plain Text"},
            {"Text Encoding", "UTF8"},
            {"Line Break", "LF"},
            {"Characters", "120"},
            {"Words", "20"},
            {"UTI", "public.plain-text"}}; // a record's own UTI is not shown
}

TEST(NoteInfoTextTest, LinesInOrderWithTheUtiOnlyFromFileUti) {
    const QString lines = "\tTitle :\t\"Plan\"\n"
                          "\tFilename :\t\"plan.md\"\n"
                          "\tSize :\t1 KB\n"
                          "\tCreated :\t2026/01/02 10:00\n"
                          "\tModified :\t2026/01/03 11:00\n"
                          "\tLocked :\tNo\n"
                          "\tKind :\tPlain Text\n"
                          "%1"
                          "\tText Encoding :\tUTF8\n"
                          "\tLine Break :\tLF\n"
                          "\tCharacters :\t120\n"
                          "\tWords :\t20\n";
    QVariantMap info = sampleInfo();
    EXPECT_EQ(noteInfoText(info), lines.arg(QString()));
    info.insert("fileUTI", "net.daringfireball.markdown");
    EXPECT_EQ(noteInfoText(info), lines.arg("\tUTI :\tnet.daringfireball.markdown\n"));
}

// The right tab stop right-aligns the labels: they all end where the values begin, less the gap.
void expectLabelsEndAtTheFirstStopAndValuesStartAtTheSecond(QTextDocument& document) {
    document.setTextWidth(400);
    document.setDocumentMargin(0);
    ASSERT_GT(document.size().height(), 0.0); // lays the text out
    ASSERT_GT(document.blockCount(), 10);
    for (QTextBlock block = document.begin(); block.isValid() && !block.text().isEmpty();
         block = block.next()) {
        ASSERT_EQ(block.layout()->lineCount(), 1) << block.text().toStdString();
        const QTextLine line = block.layout()->lineAt(0);
        const int valueStart = int(block.text().lastIndexOf(u'\t')) + 1;
        EXPECT_NEAR(line.cursorToX(valueStart - 1), 120.0, 1.0) << block.text().toStdString();
        EXPECT_NEAR(line.cursorToX(valueStart), 127.0, 1.0) << block.text().toStdString();
    }
}

TEST(NoteInfoTextTest, PanelShowsTheFileNameAndTheLinesWithTheirTabStops) {
    InfoPanelController panel;
    panel.setFileURL(QUrl::fromLocalFile("/notes/folder/plan.md"));
    panel.setNoteInfo(sampleInfo());
    EXPECT_EQ(panel.filenameField()->text(), QStringLiteral("plan.md"));
    QVariantMap renamed = sampleInfo();
    renamed.insert("Title", "Renamed");
    panel.setNoteInfo(renamed);
    EXPECT_EQ(panel.textView()->toPlainText(), noteInfoText(renamed));
    EXPECT_TRUE(panel.textView()->isReadOnly());
    expectLabelsEndAtTheFirstStopAndValuesStartAtTheSecond(*panel.textView()->document());
}

} // namespace
} // namespace quillet
