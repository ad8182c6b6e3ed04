#include "app/WebViewController.h"

#include "app/MarkdownStyleSheets.h"
#include "app/PreviewPage.h"
#include "app/PreviewRendering.h"
#include "app/PreviewUpdates.h"
#include "app/StyleInjection.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QVBoxLayout>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <utility>

namespace quillet {

namespace {

// QT_LOGGING_RULES="quillet.preview.debug=true" tells what each update costs.
Q_LOGGING_CATEGORY(previewTiming, "quillet.preview", QtWarningMsg)

} // namespace

WebViewController::WebViewController(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

WebViewController::~WebViewController() {
    releaseWebView();
}

void WebViewController::setCssURL(const QUrl& url) {
    if (url == requestedCssURL_) return;
    requestedCssURL_ = url;
    cssURL_ = url;
    reloadNeeded_ = true;
}

void WebViewController::showPreviewUpdate(const PreviewUpdate& update, const QUrl& baseURL) {
    updateTimer_.start();
    if (update.newDocument) {
        elements_.clear();
        reloadNeeded_ = true;
    }
    applyPreviewPatch(elements_, update.patch);
    // The shell's title and language wait for the next load: only a new note, base or style
    // sheet is worth losing the place the page was scrolled to.
    if (baseURL != baseURL_) reloadNeeded_ = true;
    shell_ = update.shell;
    baseURL_ = baseURL;
    if (!shown_) return;
    if (!view_) createWebView();
    if (reloadNeeded_)
        loadPage();
    else if (!loading_ && update.patch.isEmpty())
        emit previewReady(); // already shown
    else if (!loading_)
        runPatch(update.patch.start, update.patch.removed, update.patch.inserted);
    // While the page loads, its whole body is sent once it has.
    qCDebug(previewTiming, "update of %lld pieces: %.1f ms on the main thread",
            static_cast<long long>(update.patch.inserted.size()), double(updateTimer_.nsecsElapsed()) / 1e6);
}

void WebViewController::setPaneShown(bool shown) {
    if (shown == shown_) return;
    shown_ = shown;
    if (!shown) {
        releaseWebView();
    } else if (!shell_.isEmpty()) {
        createWebView();
        loadPage();
    }
}

void WebViewController::createWebView() {
    preparePreviewRendering();
    view_ = new QWebEngineView(this);
    page_ = new PreviewPage(view_);
    view_->setPage(page_);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    connect(page_, &QWebEnginePage::loadFinished, this, &WebViewController::pageLoaded);
    connect(page_, &PreviewPage::noteLinkClicked, this, &WebViewController::noteLinkClicked);
    layout()->addWidget(view_);
    reloadNeeded_ = true;
}

// The page and its renderer go with the view; the window then has no web content to compose.
void WebViewController::releaseWebView() {
    if (!view_) return;
    delete std::exchange(view_, nullptr);
    page_ = nullptr;
    loading_ = false;
    reloadNeeded_ = true;
}

// A small shell travels as a data URL; the body follows as one patch, however long the note.
void WebViewController::loadPage() {
    loading_ = true;
    reloadNeeded_ = false;
    page_->setHtml(shell_, baseURL_);
}

void WebViewController::pageLoaded(bool ok) {
    // Only the shell's own load counts: a refused navigation (a clicked link) also ends as a
    // failed load, of the page still shown.
    // A shell loaded again at once (another note) may see the first load end: its own follows.
    if (!loading_ || page_->isLoading()) return;
    emit loadFinished(ok);
    if (!ok) return;
    loading_ = false;
    std::optional<QString> css = readStyleSheet(cssURL_);
    if (!css) {
        cssURL_ = QUrl(QString::fromLatin1(kFallbackStyleSheetURL));
        css = readStyleSheet(cssURL_);
    }
    if (css && !css->isEmpty())
        page_->runJavaScript(styleInjectionScript(*css), QWebEngineScript::ApplicationWorld);
    runPatch(0, 0, elements_);
}

void WebViewController::runPatch(qsizetype start, qsizetype removed, const QStringList& inserted) {
    const QStringList scripts = previewPatchScripts(start, removed, inserted);
    for (qsizetype i = 0; i + 1 < scripts.size(); ++i)
        page_->runJavaScript(scripts[i], QWebEngineScript::ApplicationWorld);
    // Scripts of one world run in order: the last one's answer means the page shows it all.
    page_->runJavaScript(scripts.last(), QWebEngineScript::ApplicationWorld, [this](const QVariant&) {
        qCDebug(previewTiming, "shown %.1f ms after the update came", double(updateTimer_.nsecsElapsed()) / 1e6);
        emit previewReady();
    });
}

} // namespace quillet

#include "moc_WebViewController.cpp"
