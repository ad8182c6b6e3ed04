#include "app/WebViewController.h"

#include "QtPrinting.h"
#include "app/MarkdownStyleSheets.h"
#include "app/PreviewPage.h"

#include <QEventLoop>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineScript>
#include <QWebEngineSettings>
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

    QUrl writeCss(const QString& name, const QByteArray& text) {
        QFile file(temp.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return QUrl::fromLocalFile(file.fileName());
    }

    // Loads the page and waits until its style sheet was injected.
    bool show(const QString& html) {
        QSignalSpy ready(&preview, &WebViewController::previewReady);
        preview.showHTMLString(html, base);
        return ready.wait(kTimeoutMs);
    }

    // Runs a script in the application's world (page scripts are off) and returns its value.
    QVariant evaluate(const QString& script) {
        QVariant result;
        QEventLoop loop;
        preview.page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& value) {
            result = value;
            loop.quit();
        });
        QTimer::singleShot(kTimeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
        return result;
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
    preview.setCssURL(writeCss(QStringLiteral("test.css"), "body { color: rgb(1, 2, 3); }"));
    ASSERT_TRUE(show(page(QStringLiteral("<p>text</p>"))));
    EXPECT_EQ(bodyStyle("color"), QStringLiteral("rgb(1, 2, 3)"));
    EXPECT_EQ(evaluate(QStringLiteral("document.querySelector('p').textContent")).toString(),
              QStringLiteral("text"));
}

TEST_F(WebViewControllerTest, StyleSheetWithQuotesAndLineBreaksStillApplies) {
    preview.setCssURL(writeCss(QStringLiteral("quotes.css"),
                               "body {\r\n"
                               "  font-family: 'Quillet Test Face', \"Other\";\n"
                               "  border-top: 2px\n"
                               "solid rgb(4, 5, 6);\n"
                               "}\n"
                               "p::before { content: '\\2014'; }\n"));
    ASSERT_TRUE(show(page(QStringLiteral("<p>text</p>"))));
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
    ASSERT_TRUE(show(page(QStringLiteral("<p>text</p>"))));
    EXPECT_EQ(preview.cssURL(), QUrl(QString::fromLatin1(kFallbackStyleSheetURL)));
    const QString injected =
        evaluate(QStringLiteral("document.head.querySelector('style').textContent")).toString();
    EXPECT_TRUE(injected.contains(QStringLiteral("max-width: 46em")));
    EXPECT_EQ(bodyStyle("maxWidth"), QStringLiteral("690px"));

    // The next page keeps the fallback without being told again.
    ASSERT_TRUE(show(page(QStringLiteral("<p>again</p>"))));
    EXPECT_EQ(preview.cssURL(), QUrl(QString::fromLatin1(kFallbackStyleSheetURL)));
    EXPECT_EQ(bodyStyle("maxWidth"), QStringLiteral("690px"));
}

TEST_F(WebViewControllerTest, InvalidUtf8StyleSheetFallsBack) {
    preview.setCssURL(writeCss(QStringLiteral("latin1.css"), "body { font-family: 'Caf\xe9'; }"));
    ASSERT_TRUE(show(page(QString())));
    EXPECT_EQ(preview.cssURL(), QUrl(QString::fromLatin1(kFallbackStyleSheetURL)));
}

TEST_F(WebViewControllerTest, PageRunsNoScriptsAndOffersNoContextMenu) {
    EXPECT_FALSE(preview.page()->settings()->testAttribute(QWebEngineSettings::JavascriptEnabled));
    EXPECT_EQ(preview.contextMenuPolicy(), Qt::NoContextMenu);
    preview.setCssURL(writeCss(QStringLiteral("empty.css"), ""));
    ASSERT_TRUE(show(page(QStringLiteral(
        "<p id='p'>before</p><script>document.getElementById('p').textContent = 'ran';</script>"))));
    EXPECT_EQ(evaluate(QStringLiteral("document.getElementById('p').textContent")).toString(),
              QStringLiteral("before"));
    EXPECT_EQ(evaluate(QStringLiteral("document.head.querySelectorAll('style').length")).toInt(), 0)
        << "an empty style sheet adds nothing";
}

TEST_F(WebViewControllerTest, ClickedLinkOpensOutsideAndThePageStays) {
    QList<QUrl> opened;
    preview.previewPage()->setLinkOpener([&](const QUrl& url) { opened.append(url); });
    preview.setCssURL(writeCss(QStringLiteral("plain.css"), "a { color: red; }"));
    ASSERT_TRUE(show(page(
        QStringLiteral("<p id='note'>note</p><a id='out' href='https://example.org/elsewhere'>out</a>"))));

    const QUrl shown = preview.page()->url();
    evaluate(QStringLiteral("document.getElementById('out').click(); true"));
    QTRY_COMPARE_WITH_TIMEOUT(opened.size(), 1, kTimeoutMs);
    EXPECT_EQ(opened.first(), QUrl(QStringLiteral("https://example.org/elsewhere")));
    QTest::qWait(200);
    EXPECT_EQ(preview.page()->url(), shown);
    EXPECT_EQ(evaluate(QStringLiteral("document.getElementById('note').textContent")).toString(),
              QStringLiteral("note"));
}

// Chromium refuses HTML over 2 MB handed over as a data URL; a long note still shows, styled.
TEST_F(WebViewControllerTest, NoteLargerThanADataUrlStillShows) {
    preview.setCssURL(writeCss(QStringLiteral("big.css"), "body { color: rgb(7, 8, 9); }"));
    QString body;
    constexpr int kParagraphs = 120000;
    for (int i = 0; i < kParagraphs; ++i)
        body += QStringLiteral("<p>paragraph %1</p>").arg(i);
    ASSERT_GT(page(body).toUtf8().size(), 2 * 1024 * 1024);
    ASSERT_TRUE(show(page(body)));
    EXPECT_EQ(evaluate(QStringLiteral("document.body.children.length")).toInt(), kParagraphs);
    EXPECT_EQ(bodyStyle("color"), QStringLiteral("rgb(7, 8, 9)"));
}

TEST(PreviewPageTest, OnlyTheApplicationsOwnLoadsNavigate) {
    InspectablePage page;
    QList<QUrl> opened;
    page.setLinkOpener([&](const QUrl& url) { opened.append(url); });
    page.setDocumentBaseURL(QUrl(QStringLiteral("file:///tmp/quillet/")));
    const QUrl external(QStringLiteral("https://example.org/"));

    EXPECT_FALSE(page.acceptNavigationRequest(external, QWebEnginePage::NavigationTypeLinkClicked, true));
    EXPECT_FALSE(page.acceptNavigationRequest(external, QWebEnginePage::NavigationTypeFormSubmitted, true));
    EXPECT_TRUE(page.acceptNavigationRequest(external, QWebEnginePage::NavigationTypeTyped, true));
    // A jump to a heading of the note itself stays in the page.
    EXPECT_TRUE(page.acceptNavigationRequest(QUrl(QStringLiteral("file:///tmp/quillet/#intro")),
                                             QWebEnginePage::NavigationTypeLinkClicked, true));
    EXPECT_EQ(opened, QList<QUrl>{external});
}

} // namespace
} // namespace quillet
