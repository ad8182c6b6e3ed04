#include "app/WebViewController.h"

#include "QtPrinting.h"
#include "app/MarkdownStyleSheets.h"
#include "app/PreviewLinkPolicy.h"
#include "app/PreviewPage.h"
#include "app/PreviewRendering.h"
#include "app/PreviewRequestFilter.h"
#include "app/PreviewUpdates.h"
#include "documents/PreviewConversion.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineFindTextResult>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <gtest/gtest.h>

namespace quillet {
namespace {

constexpr int kTimeoutMs = 20000;

// Exposes the navigation decision so that it can be asked directly.
class InspectablePage : public PreviewPage {
public:
    using PreviewPage::acceptNavigationRequest;
};

class WebViewControllerTest : public testing::Test {
protected:
    QTemporaryDir temp;
    WebViewController preview;
    QUrl base = QUrl::fromLocalFile(temp.path() + QLatin1Char('/'));

    QUrl writeFile(const QString& name, const QByteArray& text) {
        QFile file(temp.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return QUrl::fromLocalFile(file.fileName());
    }

    WebViewControllerTest() { preview.setPaneShown(true); }

    // Loads a page with these pieces as its body and waits until it is styled and filled in.
    bool show(const QStringList& body) { return update({page(QString()), true, {0, 0, body}}); }
    bool show(const QString& body) { return show(QStringList{body}); }

    bool update(const PreviewUpdate& next) {
        QSignalSpy ready(&preview, &WebViewController::previewReady);
        preview.showPreviewUpdate(next, base);
        return !ready.isEmpty() || ready.wait(kTimeoutMs);
    }

    // Runs a script in the application's world (page scripts are off) and returns its value.
    QVariant evaluate(const QString& script) {
        QVariant result;
        QEventLoop loop;
        preview.previewPage()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& value) {
            result = value;
            loop.quit();
        });
        QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
        return result;
    }

    // How often `text` shows in the page and its frames, as the page's own search finds it.
    int matchesInPage(const QString& text) {
        int matches = -1;
        QEventLoop loop;
        preview.previewPage()->findText(text, {}, [&](const QWebEngineFindTextResult& result) {
            matches = result.numberOfMatches();
            loop.quit();
        });
        QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
        return matches;
    }

    QString bodyStyle(const char* property) {
        return evaluate(QStringLiteral("getComputedStyle(document.body).%1").arg(QLatin1String(property)))
            .toString();
    }

    static QString page(const QString& body) {
        return QStringLiteral("<!DOCTYPE html><html><head><title>t</title></head><body>%1</body></html>")
            .arg(body);
    }
};

TEST_F(WebViewControllerTest, InjectedStyleSheetApplies) {
    preview.setCssURL(writeFile(QStringLiteral("test.css"), "body { color: rgb(1, 2, 3); }"));
    ASSERT_TRUE(show(QStringLiteral("<p>text</p>")));
    EXPECT_EQ(bodyStyle("color"), QStringLiteral("rgb(1, 2, 3)"));
    EXPECT_EQ(evaluate(QStringLiteral("document.querySelector('p').textContent")).toString(),
              QStringLiteral("text"));
}

TEST_F(WebViewControllerTest, StyleSheetWithQuotesAndLineBreaksStillApplies) {
    preview.setCssURL(writeFile(QStringLiteral("quotes.css"),
                                "body {\r\n"
                                "  font-family: 'Quillet Test Face', \"Other\";\n"
                                "  border-top: 2px\n"
                                "solid rgb(4, 5, 6);\n"
                                "}\n"
                                "p::before { content: '\\2014'; }\n"));
    ASSERT_TRUE(show(QStringLiteral("<p>text</p>")));
    EXPECT_TRUE(bodyStyle("fontFamily").contains(QStringLiteral("Quillet Test Face")));
    // A line break between two values separates them: joining them would void the declaration.
    EXPECT_EQ(bodyStyle("borderTopStyle"), QStringLiteral("solid"));
    EXPECT_EQ(bodyStyle("borderTopColor"), QStringLiteral("rgb(4, 5, 6)"));
    EXPECT_EQ(evaluate(QStringLiteral("getComputedStyle(document.querySelector('p'), '::before').content"))
                  .toString(),
              QString::fromUtf16(u"\"\u2014\""));
}

TEST_F(WebViewControllerTest, UnreadableStyleSheetFallsBackToTheBundledOneForGood) {
    preview.setCssURL(QUrl::fromLocalFile(temp.filePath(QStringLiteral("missing.css"))));
    ASSERT_TRUE(show(QStringLiteral("<p>text</p>")));
    EXPECT_EQ(preview.cssURL(), QUrl(QString::fromLatin1(kFallbackStyleSheetURL)));
    const QString injected =
        evaluate(QStringLiteral("document.head.querySelector('style').textContent")).toString();
    EXPECT_TRUE(injected.contains(QStringLiteral("max-width: 46em")));
    EXPECT_EQ(bodyStyle("maxWidth"), QStringLiteral("690px"));

    // The next page keeps the fallback without being told again.
    ASSERT_TRUE(show(QStringLiteral("<p>again</p>")));
    EXPECT_EQ(preview.cssURL(), QUrl(QString::fromLatin1(kFallbackStyleSheetURL)));
    EXPECT_EQ(bodyStyle("maxWidth"), QStringLiteral("690px"));
}

TEST_F(WebViewControllerTest, InvalidUtf8StyleSheetFallsBack) {
    preview.setCssURL(writeFile(QStringLiteral("latin1.css"), "body { font-family: 'Caf\xe9'; }"));
    ASSERT_TRUE(show(QString()));
    EXPECT_EQ(preview.cssURL(), QUrl(QString::fromLatin1(kFallbackStyleSheetURL)));
}

TEST_F(WebViewControllerTest, PageRunsNoScriptsAndOffersNoContextMenu) {
    preview.setCssURL(writeFile(QStringLiteral("empty.css"), ""));
    ASSERT_TRUE(show(QStringLiteral(
        "<p id='p'>before</p><script>document.getElementById('p').textContent = 'ran';</script>")));
    EXPECT_FALSE(preview.previewPage()->settings()->testAttribute(QWebEngineSettings::JavascriptEnabled));
    EXPECT_EQ(preview.webView()->contextMenuPolicy(), Qt::NoContextMenu);
    EXPECT_EQ(evaluate(QStringLiteral("document.getElementById('p').textContent")).toString(),
              QStringLiteral("before"));
    EXPECT_EQ(evaluate(QStringLiteral("document.head.querySelectorAll('style').length")).toInt(), 0)
        << "an empty style sheet adds nothing";
}

// A note may try to replace itself, or to show other files in frames; it stays, its images show.
TEST_F(WebViewControllerTest, NoteNeitherNavigatesNorShowsLocalFilesButShowsItsImages) {
    writeFile(QStringLiteral("secret.txt"), "QuilletSecretMarker");
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(temp.filePath(QStringLiteral("pic.png"))));
    const QString secret = QUrl::fromLocalFile(temp.filePath(QStringLiteral("secret.txt"))).toString();
    const QString picture = QUrl::fromLocalFile(temp.filePath(QStringLiteral("pic.png"))).toString();
    preview.setCssURL(writeFile(QStringLiteral("plain.css"), "p { color: red; }"));
    ASSERT_TRUE(show(QStringLiteral("<meta http-equiv='refresh' content='0;url=%1'><p id='note'>note</p>"
                                         "<iframe src='%1'></iframe><iframe src='secret.txt'></iframe>"
                                         "<object data='%1'></object><embed src='secret.txt'>"
                                         "<img src='pic.png'><img src='%2'>")
                              .arg(secret, picture)));
    const QUrl shown = preview.previewPage()->url();
    const auto count = [this](const char* elements, const char* condition) {
        return evaluate(QStringLiteral("Array.from(%1).filter(e => %2).length")
                            .arg(QLatin1String(elements), QLatin1String(condition)))
            .toInt();
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return count("document.images", "e.naturalWidth > 0") == 2; }, kTimeoutMs));
    QTest::qWait(1000); // time for the refresh and the frames to have gone wherever they could

    EXPECT_EQ(preview.previewPage()->url(), shown);
    EXPECT_EQ(evaluate(QStringLiteral("document.body.innerText.trim()")).toString(), QStringLiteral("note"));
    EXPECT_EQ(count("document.querySelectorAll('iframe, object')", "e.contentDocument?.URL == 'about:blank'"),
              3)
        << "every frame stays empty";
    EXPECT_EQ(matchesInPage(QStringLiteral("QuilletSecretMarker")), 0);
    EXPECT_EQ(matchesInPage(QStringLiteral("note")), 1) << "the search does look at the page";
}

TEST_F(WebViewControllerTest, ClickedLinksGoWhereTheirKindAllowsAndThePageStays) {
    QList<QUrl> opened;
    QSignalSpy notes(&preview, &WebViewController::noteLinkClicked);
    writeFile(QStringLiteral("other.md"), "# Other");
    preview.setCssURL(writeFile(QStringLiteral("plain.css"), "a { color: red; }"));
    ASSERT_TRUE(
        show(QStringLiteral("<p id='note'>note</p>"
                                 "<a id='passwd' href='file:///etc/passwd'>p</a>"
                                 "<a id='note-link' href='other.md'>n</a>"
                                 "<a id='out' target='_blank' href='https://example.org/elsewhere'>out</a>"
                                 "<a id='jump' href='#end'>j</a>"
                                 "<div style='height: 5000px'></div><h1 id='end'>end</h1>")));

    preview.previewPage()->setLinkOpener([&](const QUrl& url) { opened.append(url); });
    const QUrl shown = preview.previewPage()->url();
    const auto click = [this](const char* id) {
        evaluate(QStringLiteral("document.getElementById('%1').click(); true").arg(QLatin1String(id)));
    };
    // One at a time: a click could cancel a navigation still being asked about.
    click("note-link");
    ASSERT_TRUE(QTest::qWaitFor([&] { return notes.size() == 1; }, kTimeoutMs));
    EXPECT_EQ(notes.first().first().toString(), temp.filePath(QStringLiteral("other.md")));
    click("out");
    ASSERT_TRUE(QTest::qWaitFor([&] { return opened.size() == 1; }, kTimeoutMs));
    EXPECT_EQ(opened.first(), QUrl(QStringLiteral("https://example.org/elsewhere")));
    click("jump");
    EXPECT_TRUE(QTest::qWaitFor([&] { return evaluate(QStringLiteral("window.scrollY")).toInt() > 0; }, kTimeoutMs));
    click("passwd");
    QTest::qWait(300);

    EXPECT_EQ(opened.size(), 1);
    EXPECT_EQ(notes.size(), 1);
    EXPECT_EQ(preview.previewPage()->url().adjusted(QUrl::RemoveFragment), shown.adjusted(QUrl::RemoveFragment));
    EXPECT_EQ(evaluate(QStringLiteral("document.getElementById('note').textContent")).toString(),
              QStringLiteral("note"));
}

// A long note never travels as a data URL (Chromium refuses those over 2 MB): its body comes as
// patches of pieces, still styled.
TEST_F(WebViewControllerTest, LongNoteShowsWhole) {
    preview.setCssURL(writeFile(QStringLiteral("big.css"), "body { color: rgb(7, 8, 9); }"));
    QStringList body;
    constexpr int kParagraphs = 65000;
    for (int i = 0; i < kParagraphs; ++i)
        body.append(QStringLiteral("<p>paragraph %1</p>").arg(i));
    ASSERT_TRUE(show(body));
    EXPECT_EQ(evaluate(QStringLiteral("document.body.children.length")).toInt(), kParagraphs);
    EXPECT_EQ(evaluate(QStringLiteral("document.body.lastChild.textContent")).toString(),
              QStringLiteral("paragraph 64999"));
    EXPECT_EQ(bodyStyle("color"), QStringLiteral("rgb(7, 8, 9)"));
}

// Patched after each of a run of edits below the part in view, the page holds what a full load
// of the final note shows, and stays where it was scrolled to.
TEST_F(WebViewControllerTest, RandomEditsPatchTheBodyToAFullLoadAndKeepTheScroll) {
    preview.resize(400, 300);
    preview.show();
    const QStringList lines = {"# Title", "", "Some *text*.", "- one", "- two", "", "> quoted", "", "```",
                               "code", "```", "", "<div>", "", "inside", "", "</div>", "", "1. first", "---"};
    QStringList text;
    for (int i = 0; i < 40; ++i)
        text += lines;
    PreviewRequest request;
    request.text = text.join(u'\n');
    QStringList pieces = PreviewConversion::convertElements(request);
    ASSERT_GT(pieces.size(), 200) << "pieces small enough for patches to matter";
    ASSERT_TRUE(update({PreviewConversion::pageShell(request), true, {0, 0, pieces}}));
    evaluate(QStringLiteral("window.scrollTo(0, 400)"));
    const int scrolled = evaluate(QStringLiteral("window.scrollY")).toInt();
    ASSERT_GT(scrolled, 0);

    QRandomGenerator random(11);
    for (int edit = 0; edit < 12; ++edit) {
        const int at = int(text.size()) / 2 + random.bounded(int(text.size()) / 2);
        switch (random.bounded(3)) {
        case 0: text.insert(at, lines[random.bounded(int(lines.size()))]); break;
        case 1: text.removeAt(at); break;
        default: text[at] += QStringLiteral(" *more*"); break;
        }
        request.text = text.join(u'\n');
        const QStringList next = PreviewConversion::convertElements(request);
        ASSERT_TRUE(update({PreviewConversion::pageShell(request), false, diffPreviewElements(pieces, next)}));
        pieces = next;
    }
    EXPECT_EQ(evaluate(QStringLiteral("window.scrollY")).toInt(), scrolled);

    PreviewPage whole;
    QSignalSpy loaded(&whole, &QWebEnginePage::loadFinished);
    whole.setHtml(PreviewConversion::convert(request), base);
    ASSERT_TRUE(loaded.wait(kTimeoutMs));
    QString expected;
    QEventLoop loop;
    whole.runJavaScript(QStringLiteral("document.body.innerHTML"), QWebEngineScript::ApplicationWorld,
                        [&](const QVariant& value) {
                            expected = value.toString();
                            loop.quit();
                        });
    loop.exec();
    ASSERT_TRUE(expected.contains(QStringLiteral("<div>")));
    EXPECT_EQ(evaluate(QStringLiteral("document.body.innerHTML")).toString(), expected);
}

TEST_F(WebViewControllerTest, AHiddenPaneHoldsNoWebViewAndShowsItsNoteWhenShownAgain) {
    preview.showPreviewUpdate({page(QString()), true, {0, 0, {QStringLiteral("<p>replaced at once</p>")}}}, base);
    ASSERT_TRUE(show(QStringLiteral("<p>first</p>")));
    QPointer<QWebEngineView> view = preview.webView();
    preview.setPaneShown(false);
    EXPECT_TRUE(view.isNull());
    EXPECT_EQ(preview.previewPage(), nullptr);

    // Updates while hidden are kept and shown with the page.
    preview.showPreviewUpdate({page(QString()), false, {1, 0, {QStringLiteral("<p>second</p>")}}}, base);
    EXPECT_EQ(preview.webView(), nullptr);
    QSignalSpy ready(&preview, &WebViewController::previewReady);
    preview.setPaneShown(true);
    ASSERT_NE(preview.webView(), nullptr);
    ASSERT_TRUE(ready.wait(kTimeoutMs));
    EXPECT_EQ(evaluate(QStringLiteral("document.body.innerText.trim()")).toString(),
              QStringLiteral("first\n\nsecond"));
}

TEST(PreviewUpdatesTest, PiecesTravelAsExactStringLiterals) {
    EXPECT_EQ(javaScriptStringLiteral(QString::fromUtf16(u"a'b\\c\nd\r\u2028\u2029</script>")),
              QStringLiteral("'a\\'b\\\\c\\nd\\r\\u2028\\u2029</script>'"));
}

TEST(PreviewRenderingTest, SoftwareGLAndNoGLComposeInSoftwareUnlessOverridden) {
    using enum PreviewRendering;
    for (const char* renderer : {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Software Rasterizer",
                                 "Mesa X11 swrast", "", "  "})
        EXPECT_EQ(choosePreviewRendering(QString::fromLatin1(renderer), {}), software) << renderer;
    EXPECT_EQ(choosePreviewRendering(std::nullopt, {}), software);
    for (const char* renderer : {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "NVIDIA GeForce RTX 3060/PCIe/SSE2",
                                 "AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)"})
        EXPECT_EQ(choosePreviewRendering(QString::fromLatin1(renderer), {}), gl) << renderer;
    EXPECT_EQ(choosePreviewRendering(QStringLiteral("llvmpipe"), QStringLiteral("GL")), gl);
    EXPECT_EQ(choosePreviewRendering(QStringLiteral("NVIDIA"), QStringLiteral(" software")), software);
    EXPECT_EQ(choosePreviewRendering(QStringLiteral("NVIDIA"), QStringLiteral("vulkan")), gl);
}

TEST(PreviewPageTest, OnlyTheApplicationsOwnLoadsNavigate) {
    InspectablePage page;
    QList<QUrl> opened;
    page.setLinkOpener([&](const QUrl& url) { opened.append(url); });
    const QUrl external(QStringLiteral("https://example.org/"));
    const QUrl local(QStringLiteral("file:///etc/passwd"));

    EXPECT_TRUE(page.acceptNavigationRequest(local, QWebEnginePage::NavigationTypeTyped, true));
    EXPECT_FALSE(page.acceptNavigationRequest(local, QWebEnginePage::NavigationTypeTyped, false));
    for (const auto type :
         {QWebEnginePage::NavigationTypeRedirect, QWebEnginePage::NavigationTypeReload,
          QWebEnginePage::NavigationTypeBackForward, QWebEnginePage::NavigationTypeFormSubmitted,
          QWebEnginePage::NavigationTypeOther}) {
        EXPECT_FALSE(page.acceptNavigationRequest(local, type, true)) << type;
        EXPECT_FALSE(page.acceptNavigationRequest(external, type, true)) << type;
    }
    EXPECT_FALSE(page.acceptNavigationRequest(external, QWebEnginePage::NavigationTypeLinkClicked, false));
    EXPECT_FALSE(page.acceptNavigationRequest(external, QWebEnginePage::NavigationTypeLinkClicked, true));
    EXPECT_EQ(opened, QList<QUrl>{external}) << "only a click hands a link on";
}

TEST(PreviewLinkPolicyTest, OnlyWebAndMailLinksReachTheDesktopAndExistingNotesOpenInQuillet) {
    QTemporaryDir folder;
    for (const char* name : {"a.md", "b.MARKDOWN", "c.txt", "d.html", "e.sh"})
        QFile(folder.filePath(QLatin1String(name))).open(QIODevice::WriteOnly);
    QDir(folder.path()).mkdir(QStringLiteral("f.md"));
    const auto action = [](const QString& url) { return decideClickedLink(QUrl(url)).action; };
    const auto local = [&](const char* name) {
        return decideClickedLink(QUrl::fromLocalFile(folder.filePath(QLatin1String(name))));
    };
    using Action = ClickedLink::Action;

    for (const char* url : {"https://example.org/x", "HTTP://example.org", "mailto:someone@example.org"})
        EXPECT_EQ(action(QLatin1String(url)), Action::openOnDesktop) << url;
    for (const char* url : {"http:///nohost", "mailto:", "ftp://example.org/", "javascript:alert(1)",
                            "smb://host/share", "data:text/html,x", "qrc:/x.md", "file://host/a.md"})
        EXPECT_EQ(action(QLatin1String(url)), Action::ignore) << url;

    for (const char* name : {"a.md", "b.MARKDOWN", "c.txt"}) {
        const ClickedLink link = local(name);
        EXPECT_EQ(link.action, Action::openNote) << name;
        EXPECT_EQ(link.notePath, folder.filePath(QLatin1String(name)));
    }
    const QUrl withFragment = QUrl(QUrl::fromLocalFile(folder.filePath(QStringLiteral("a.md"))).toString() +
                                   QStringLiteral("#part"));
    EXPECT_EQ(decideClickedLink(withFragment).notePath, folder.filePath(QStringLiteral("a.md")));
    for (const char* name : {"d.html", "e.sh", "f.md", "missing.md"})
        EXPECT_EQ(local(name).action, Action::ignore) << name;
}

TEST(PreviewRequestFilterTest, LocalFilesLoadOnlyAsThePageItselfOrWhatItShows) {
    using Info = QWebEngineUrlRequestInfo;
    const QUrl local(QStringLiteral("file:///etc/passwd"));
    for (const auto type :
         {Info::ResourceTypeMainFrame, Info::ResourceTypeImage, Info::ResourceTypeStylesheet,
          Info::ResourceTypeFontResource, Info::ResourceTypeMedia})
        EXPECT_TRUE(PreviewRequestFilter::mayLoad(local, type)) << type;
    for (const auto type : {Info::ResourceTypeSubFrame, Info::ResourceTypeObject,
                            Info::ResourceTypePluginResource, Info::ResourceTypeScript, Info::ResourceTypeXhr,
                            Info::ResourceTypeSubResource, Info::ResourceTypeUnknown})
        EXPECT_FALSE(PreviewRequestFilter::mayLoad(local, type)) << type;
    EXPECT_TRUE(PreviewRequestFilter::mayLoad(QUrl(QStringLiteral("https://example.org/")),
                                              Info::ResourceTypeSubFrame));
}

} // namespace
} // namespace quillet
