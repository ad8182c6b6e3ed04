#include "app/PreviewPage.h"

#include "app/PreviewLinkPolicy.h"
#include "app/PreviewRequestFilter.h"

#include <QDesktopServices>
#include <QWebEngineSettings>

namespace quillet {

namespace {

// A link meant for a new window (target="_blank") asks for a page to load it in. This one only
// catches the link and hands it to the preview, which treats it like any other clicked link.
class ClickedLinkCatcher : public QWebEnginePage {
public:
    explicit ClickedLinkCatcher(PreviewPage* preview)
        : QWebEnginePage(preview->profile(), preview), preview_(preview) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (type == NavigationTypeLinkClicked && isMainFrame && !caught_) {
            caught_ = true;
            preview_->handleClickedLink(url);
            deleteLater();
        }
        return false;
    }

private:
    PreviewPage* preview_;
    bool caught_ = false;
};

} // namespace

PreviewPage::PreviewPage(QObject* parent)
    : QWebEnginePage(parent), openLink_([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    // A child of the page, so it outlives the page's web contents.
    setUrlRequestInterceptor(new PreviewRequestFilter(this));
}

bool PreviewPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    // Frames, objects and embeds stay empty: a note's HTML may name any file in them.
    if (!isMainFrame) return false;
    // Only the application's own loads (setHtml, load) come typed; a refresh or redirect the
    // note asks for, a sent form and history steps are refused.
    if (type == NavigationTypeTyped) return true;
    // A link to a place within this page scrolls it without asking here; a link that asks leads
    // to another document.
    if (type == NavigationTypeLinkClicked) handleClickedLink(url);
    return false;
}

void PreviewPage::handleClickedLink(const QUrl& url) {
    const ClickedLink link = decideClickedLink(url);
    switch (link.action) {
    case ClickedLink::Action::openOnDesktop:
        openLink_(url);
        break;
    case ClickedLink::Action::openNote:
        emit noteLinkClicked(link.notePath);
        break;
    case ClickedLink::Action::ignore:
        break;
    }
}

QWebEnginePage* PreviewPage::createWindow(WebWindowType type) {
    Q_UNUSED(type);
    return new ClickedLinkCatcher(this);
}

} // namespace quillet

#include "moc_PreviewPage.cpp"
