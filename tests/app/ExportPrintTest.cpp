// PDF export and printing from the window (both paths), and the command line's export.
#include "ShellTestSupport.h"
#include "app/ExportCommands.h"
#include "app/HeadlessExport.h"
#include "app/PagedPdf.h"
#include "app/LaunchOptions.h"
#include "app/WebViewController.h"
#include "documents/ExportPanels.h"

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace quillet::testing {
namespace {

constexpr int kTimeoutMs = 30000;

class AnsweringPanels final : public ExportPanels {
public:
    std::optional<QString> chooseSaveFile(const QString&, const QString&, const QStringList&) override { return answer; }
    std::optional<QString> chooseOpenFile(const QString&, const QStringList&) override { return answer; }
    std::optional<QString> answer;
};

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(kTimeoutMs);
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pageCount(const QString& pdf) {
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run("pdfinfo", {pdf}));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// pdftotext's words, joined by single spaces.
QString words(const QString& pdf) {
    return run("pdftotext", {pdf, "-"}).simplified();
}

// A note of `sections` sections of a heading, a paragraph, a list, code and a quote: about 14
// lines each.
QByteArray longNote(int sections) {
    QByteArray note = "# Field notes\n\n";
    for (int i = 1; i <= sections; ++i) {
        note += "## Day " + QByteArray::number(i) + "\n\nWe walked to marker" + QByteArray::number(i) +
                " and *back* again.\n\n- water\n- bread\n\n    let day = " + QByteArray::number(i) +
                ";\n\n> Quiet today.\n\n";
    }
    return note;
}

class ExportPrintTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        writeNote("Field.md", longNote(30));
        launch(notePath("Field.md"));
        window->exportCommands().setPanels(&panels);
        window->exportCommands().setPrintDialog([this](QPrinter&) { return printAnswer; });
    }
    QString out(const QString& name) { return home.path() + "/" + name; }
    bool showPreview() {
        QSignalSpy ready(window->webViewController(), &WebViewController::previewReady);
        controller().showPreview(true);
        dispatcher.runPending();
        return !ready.isEmpty() || ready.wait(kTimeoutMs);
    }
    // Runs the PDF export and waits for it to end.
    bool exportPdf(const QString& target) {
        panels.answer = target;
        QSignalSpy ran(&window->exportCommands(), &ExportCommands::printOperationDidRun);
        window->exportCommands().saveDocumentAsPDF();
        if (ran.isEmpty() && !ran.wait(kTimeoutMs)) return false;
        return ran.first().first().toBool();
    }
    AnsweringPanels panels;
    bool printAnswer = false;
};

TEST_F(ExportPrintTest, TextLayoutPdfHoldsTheNoteOnPagesThatFitItsLength) {
    ASSERT_FALSE(controller().webViewState() && window->webViewController()->webView());
    ASSERT_TRUE(exportPdf(out("field.pdf")));
    EXPECT_FALSE(controller().printing());
    const QString text = words(out("field.pdf"));
    for (const char* expected : {"# Field notes", "## Day 1", "marker30 and *back* again.", "let day = 30;", "> Quiet today."})
        EXPECT_TRUE(text.contains(expected)) << expected;
    // About 420 lines of 10-point text: 4 to 9 pages, as the font's line spacing gives 50 to 90
    // lines a page (the machine's sans font decides: DejaVu Sans alone gives 5).
    const int pages = pageCount(out("field.pdf"));
    EXPECT_GE(pages, 4);
    EXPECT_LE(pages, 9);

    editor().setString("# Short\n\nOne line.\n");
    ASSERT_TRUE(exportPdf(out("field.pdf"))); // replaces the earlier export
    EXPECT_EQ(pageCount(out("field.pdf")), 1);
    EXPECT_EQ(words(out("field.pdf")), "# Short One line.");
}

TEST_F(ExportPrintTest, PreviewPdfHoldsWhatThePreviewShows) {
    ASSERT_TRUE(showPreview());
    ASSERT_TRUE(exportPdf(out("preview.pdf")));
    EXPECT_FALSE(controller().printing());
    EXPECT_EQ(window->exportCommands().urlOfExportPDF(), out("preview.pdf"));
    const QString text = words(out("preview.pdf"));
    // Converted: headings and quotes without their marks, the code as it is.
    EXPECT_TRUE(text.startsWith("Field notes Day 1 We walked to marker1 and back again.")) << text.toStdString();
    EXPECT_TRUE(text.contains("let day = 30; Quiet today.")) << text.toStdString();
    EXPECT_FALSE(text.contains("## Day"));
    EXPECT_GE(pageCount(out("preview.pdf")), 4);
}

TEST_F(ExportPrintTest, FlagsClearAfterCancelsAndFailuresOnBothPaths) {
    for (const bool preview : {false, true}) {
        if (preview) {
            ASSERT_TRUE(showPreview());
        }
        panels.answer.reset();
        window->exportCommands().saveDocumentAsPDF();
        EXPECT_FALSE(controller().printing());
        printAnswer = false;
        window->exportCommands().printDocument();
        EXPECT_FALSE(controller().printing());

        EXPECT_FALSE(exportPdf(out("no/such/folder/x.pdf"))) << preview;
        EXPECT_FALSE(controller().printing());
        EXPECT_FALSE(QFile::exists(out("no/such/folder/x.pdf")));
    }
    // The note itself is never replaced by its PDF.
    panels.answer = notePath("Field.md");
    window->exportCommands().saveDocumentAsPDF();
    EXPECT_FALSE(controller().printing());
    QFile file(notePath("Field.md"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), longNote(30));
}

TEST_F(ExportPrintTest, CommandLineExportsHtmlWithTheStyleSheetAndPdfAndRefusesBadInput) {
    LaunchOptions html = LaunchOptions::parse({"quillet", "--export-html", out("f.html"), "--css", "markdown.css",
                                               notePath("Field.md")});
    ASSERT_TRUE(html.error.isEmpty()) << html.error.toStdString();
    EXPECT_EQ(runHeadlessExport(html), 0);
    QFile page(out("f.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString document = QString::fromUtf8(page.readAll());
    QFile bundled(":/quillet/css/markdown.css");
    ASSERT_TRUE(bundled.open(QIODevice::ReadOnly));
    EXPECT_TRUE(document.contains("<style type=\"text/css\">\n" + QString::fromUtf8(bundled.readAll())));
    EXPECT_TRUE(document.contains("<title>Field notes</title>"));
    EXPECT_TRUE(document.contains("<h2>Day 30</h2>"));

    LaunchOptions pdf = LaunchOptions::parse({"quillet", "--export-pdf", out("f.pdf"), notePath("Field.md")});
    EXPECT_EQ(runHeadlessExport(pdf), 0);
    EXPECT_TRUE(words(out("f.pdf")).contains("Day 30 We walked to marker30 and back again."));
    EXPECT_GE(pageCount(out("f.pdf")), 4);

    pdf.exportNotePath = notePath("Missing.md");
    EXPECT_NE(runHeadlessExport(pdf), 0);
    html.exportCss = "nonesuch.css";
    EXPECT_NE(runHeadlessExport(html), 0);
    html.exportCss.reset();
    html.exportHtmlPath = notePath("Field.md");
    EXPECT_NE(runHeadlessExport(html), 0);
    EXPECT_EQ(QFile(notePath("Field.md")).size(), longNote(30).size());
    EXPECT_FALSE(LaunchOptions::parse({"quillet", "--export-pdf", "a.pdf"}).error.isEmpty());
    EXPECT_FALSE(LaunchOptions::parse({"quillet", "--export-pdf", "a.pdf", "--export-html", "a.html", "n.md"}).error.isEmpty());
}

TEST_F(ExportPrintTest, APdfPrintedInPartsHoldsEveryPartsPagesInOrder) {
    const QStringList parts = {"<html><body><p>First part.</p></body></html>",
                               "<html><body><p>Second part.</p></body></html>",
                               "<html><body><p>Third part.</p></body></html>"};
    std::optional<bool> printed;
    PagedPdf pdf(parts, home.path(), out("parts.pdf"), [&](bool ok, const QString&) { printed = ok; });
    pdf.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return printed.has_value(); }, 60000));
    EXPECT_TRUE(*printed);
    EXPECT_EQ(pageCount(out("parts.pdf")), 3);
    EXPECT_EQ(words(out("parts.pdf")), "First part. Second part. Third part.");
    EXPECT_EQ(QDir(home.path()).entryList({"part-*"}), QStringList());
}

} // namespace
} // namespace quillet::testing
