#include "app/PreviewPage.h"

#include <QDesktopServices>
#include <QWebEngineSettings>

namespace quillet {

PreviewPage::PreviewPage(QObject* parent)
    : QWebEnginePage(parent), openLink_([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
}

bool PreviewPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    Q_UNUSED(isMainFrame);
    switch (type) {
    case NavigationTypeLinkClicked:
    case NavigationTypeFormSubmitted:
    case NavigationTypeBackForward:
        // A fragment link within the note scrolls the page; it does not load anything.
        if (type == NavigationTypeLinkClicked && isFragmentOfThisPage(url)) return true;
        if (type == NavigationTypeLinkClicked) openLink_(url);
        return false;
    default:
        return true;
    }
}

bool PreviewPage::isFragmentOfThisPage(const QUrl& url) const {
    if (!url.hasFragment()) return false;
    const QUrl target = url.adjusted(QUrl::RemoveFragment);
    return target == this->url().adjusted(QUrl::RemoveFragment) ||
           target == documentBaseURL_.adjusted(QUrl::RemoveFragment);
}

QWebEnginePage* PreviewPage::createWindow(WebWindowType type) {
    Q_UNUSED(type);
    return nullptr;
}

} // namespace quillet

#include "moc_PreviewPage.cpp"
