#include "app/WebViewController.h"

#include "app/MarkdownStyleSheets.h"
#include "app/PreviewPage.h"
#include "app/StyleInjection.h"

#include <QDir>
#include <QSaveFile>
#include <QWebEngineScript>

namespace quillet {

namespace {

// Chromium refuses data URLs above 2 MB, which is what setHtml loads, and the URL percent-encodes
// the page: a byte may take three. Larger pages are loaded from a file.
constexpr qsizetype kLargestInlineHTML = 640 * 1024;

} // namespace

WebViewController::WebViewController(QWidget* parent) : QWebEngineView(parent), page_(new PreviewPage(this)) {
    setPage(page_);
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(page_, &QWebEnginePage::loadFinished, this, &WebViewController::webViewDidFinishNavigation);
    connect(page_, &PreviewPage::noteLinkClicked, this, &WebViewController::noteLinkClicked);
}

WebViewController::~WebViewController() = default;

void WebViewController::setCssURL(const QUrl& url) {
    cssURL_ = url;
}

void WebViewController::showHTMLString(const QString& html, const QUrl& baseURL) {
    if (html.size() > kLargestInlineHTML / 2 && html.toUtf8().size() > kLargestInlineHTML)
        loadLargeHTML(html, baseURL);
    else
        page_->setHtml(html, baseURL);
}

void WebViewController::loadLargeHTML(const QString& html, const QUrl& baseURL) {
    const QString folder = baseURL.isLocalFile() ? baseURL.toLocalFile() : QDir::tempPath();
    QSaveFile file(QDir(folder).filePath(QStringLiteral(".quillet-preview.html")));
    if (file.open(QIODevice::WriteOnly) && file.write(html.toUtf8()) >= 0 && file.commit())
        page_->load(QUrl::fromLocalFile(file.fileName()));
    else
        page_->setHtml(html, baseURL); // shows Chromium's own error rather than nothing
}

void WebViewController::webViewDidFinishNavigation(bool ok) {
    // A refused navigation (a clicked link) ends as a failed load of the page still shown,
    // which already has its style.
    if (!ok) return;
    std::optional<QString> css = readStyleSheet(cssURL_);
    if (!css) {
        cssURL_ = QUrl(QString::fromLatin1(kFallbackStyleSheetURL));
        css = readStyleSheet(cssURL_);
    }
    if (!css || css->isEmpty()) {
        emit previewReady();
        return;
    }
    page_->runJavaScript(styleInjectionScript(*css), QWebEngineScript::ApplicationWorld,
                         [this](const QVariant&) { emit previewReady(); });
}

} // namespace quillet

#include "moc_WebViewController.cpp"
