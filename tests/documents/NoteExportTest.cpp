// Export, import and copy as HTML from the main controller, on a temporary library.
#include "NoteOperationsTestSupport.h"
#include "documents/ExportPanels.h"
#include "documents/NoteExport.h"
#include "engine/MarkdownString.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

namespace quillet::testing {
namespace {

class AnsweringPanels final : public ExportPanels {
public:
    std::optional<QString> chooseSaveFile(const QString& title, const QString& proposedName,
                                          const QStringList&) override {
        asked.push_back(title + ": " + proposedName);
        return answer;
    }
    std::optional<QString> chooseOpenFile(const QString& title, const QStringList&) override {
        asked.push_back(title);
        return answer;
    }
    std::optional<QString> answer;
    QStringList asked;
};

class NoteExportTest : public NoteOperationsTest {
protected:
    void SetUp() override {
        NoteOperationsTest::SetUp();
        library({{"Trips/", ""}, {"Trips/Rome.md", kRome}});
        controller->setExportPanels(&panels);
        defaults->setObject("AppleLanguages", QStringList{"en"});
        open(rowAt("Trips/Rome.md"));
    }
    QString outside(const QString& name) { return home.path() + "/" + name; }
    static constexpr const char* kRome = "# Rome\n\nSee the *Forum* <b>.\n\n- one\n- two\n";
    AnsweringPanels panels;
};

TEST_F(NoteExportTest, TextAndMarkdownAreTheEditorsTextByteForByte) {
    typeAtEnd(QStringLiteral("- café\n"));
    for (const char* format : {"Plain Text", "Markdown"}) {
        panels.answer = outside(format);
        controller->exportAs(format);
        EXPECT_FALSE(controller->isExporting());
        dispatcher.runPending();
        EXPECT_EQ(fileBytes(outside(format)), editorText().toUtf8()) << format;
    }
    EXPECT_EQ(panels.asked, QStringList({"Export: Rome", "Export: Rome"}));
    EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(NoteExportTest, HtmlIsTheConvertersDocumentWithTheStyleSheetInItsHead) {
    QDir(container).mkpath("CSS");
    writeBytes(container + "/CSS/plain.css", "h1 > em { color: red }\n</style><script>");
    controller->markdownStyleMenuSelected("plain.css");
    panels.answer = outside("rome.html");
    controller->exportAs("HTML");
    dispatcher.runPending();
    const QString html = QString::fromUtf8(fileBytes(outside("rome.html")));

    MarkdownString engine;
    const std::u16string text = QString(kRome).toStdU16String();
    const QString plain = QString::fromStdU16String(
        MarkdownString::htmlStringFromBody(engine.bodyElementFromString(text, std::nullopt), u"Rome", u"en", u""));
    const qsizetype styleStart = html.indexOf("<style");
    const qsizetype styleEnd = html.indexOf("</style>") + 8;
    ASSERT_GT(styleStart, 0);
    EXPECT_EQ(styleEnd, html.indexOf("</head>"));
    // The style sheet cannot end its element early.
    EXPECT_TRUE(html.mid(styleStart, styleEnd - styleStart).contains("h1 > em { color: red }\n<\\/style><script>"));
    const QString rest = html.left(styleStart) + html.mid(styleEnd);
    EXPECT_EQ(rest, plain);
    EXPECT_TRUE(html.contains("<title>Rome</title>"));
}

TEST_F(NoteExportTest, ExportNeverReplacesTheNoteAndReportsWriteFailures) {
    const QByteArray before = fileBytes(notePath("Trips/Rome.md"));
    typeAtEnd("more\n");
    advance(6); // saved
    const QByteArray saved = fileBytes(notePath("Trips/Rome.md"));
    ASSERT_NE(saved, before);
    panels.answer = notePath("Trips/Rome.md");
    controller->exportAs("HTML");
    dispatcher.runPending();
    EXPECT_EQ(fileBytes(notePath("Trips/Rome.md")), saved);
    panels.answer = outside("missing/folder/out.md");
    controller->exportAs("Markdown");
    dispatcher.runPending();
    ASSERT_EQ(alerts.alerts.size(), 2u);
    EXPECT_EQ(alerts.alerts[0].message, "Couldn't export the Note.");
    EXPECT_TRUE(alerts.alerts[0].informativeText.contains("the note itself"));
    EXPECT_EQ(alerts.alerts[1].message, "Couldn't export the Note.");
    EXPECT_FALSE(controller->isExporting());

    // A cancelled dialog ends the export too.
    panels.answer.reset();
    controller->exportAs("HTML");
    controller->importFrom();
    EXPECT_FALSE(controller->isExporting());
    EXPECT_EQ(panels.asked.size(), 4);
}

TEST_F(NoteExportTest, ImportMakesANoteWithATitleLineAndLfBreaks) {
    writeBytes(outside("notes.txt"), "a\r\nb");
    panels.answer = outside("notes.txt");
    controller->importFrom();
    EXPECT_TRUE(controller->isExporting());
    dispatcher.runPending();
    EXPECT_FALSE(controller->isExporting());
    EXPECT_EQ(openPath(), notePath("Trips/notes.md"));
    EXPECT_EQ(fileBytes(notePath("Trips/notes.md")), "# notes.txt #\na\nb");
    EXPECT_EQ(*openNote()->displayName, "notes.txt");
    EXPECT_EQ(rowAt("Trips")->children->size(), 2u);

    // A file that cannot be read adds no row.
    panels.answer = outside("absent.txt");
    controller->importFrom();
    dispatcher.runPending();
    ASSERT_EQ(alerts.alerts.size(), 1u);
    EXPECT_EQ(alerts.alerts[0].message, "Couldn't import the Note.");
    EXPECT_TRUE(alerts.alerts[0].informativeText.contains("absent.txt"));
    EXPECT_EQ(rowAt("Trips")->children->size(), 2u);
    EXPECT_FALSE(controller->isExporting());
}

TEST_F(NoteExportTest, CopyAsHtmlPutsTheSelectedLinesBodyElementsInBothFormats) {
    editor().setSelectedRange({3, 0}); // inside the heading
    controller->copyAsHTML();
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->html().toStdString(), "<h1>Rome</h1>\n");
    EXPECT_EQ(copied->text().toStdString(), "<h1>Rome</h1>\n");

    editor().setSelectedRange({10, 22}); // from the paragraph into the list
    controller->copyAsHTML();
    const QString html = QGuiApplication::clipboard()->mimeData()->text();
    EXPECT_TRUE(html.startsWith("<p>")) << html.toStdString();
    EXPECT_TRUE(html.contains("<em>Forum</em>")) << html.toStdString();
    EXPECT_TRUE(html.endsWith("<li><p>one</p></li>\n</ul>\n")) << html.toStdString();
    EXPECT_FALSE(html.contains("<h1") || html.contains("<body")) << html.toStdString();
}

TEST(NoteExportParts, ALongNoteIsCutBetweenElementsIntoWholeDocuments) {
    HtmlExportRequest request;
    request.title = QStringLiteral("Long");
    request.styleSheetText = QStringLiteral("p { color: green }");
    QString text;
    for (int i = 0; i < 400; ++i) text += QStringLiteral("## Part %1\n\nParagraph %1 of the note.\n\n").arg(i);
    request.text = text;
    const QString whole = exportedHtmlDocument(request);
    EXPECT_EQ(exportedHtmlParts(request, 1 << 30), QStringList{whole});

    const QStringList parts = exportedHtmlParts(request, 2000);
    ASSERT_GT(parts.size(), 5);
    const auto bodyOf = [](const QString& document) {
        const qsizetype start = document.indexOf(QLatin1String("<body>")) + 6;
        return document.mid(start, document.indexOf(QLatin1String("</body>")) - start);
    };
    QString joined;
    for (const QString& part : parts) {
        EXPECT_EQ(part.left(part.indexOf("<body>")), whole.left(whole.indexOf("<body>")));
        EXPECT_LE(bodyOf(part).size(), 2000);
        joined += bodyOf(part);
    }
    EXPECT_EQ(joined, bodyOf(whole));
}

} // namespace
} // namespace quillet::testing
