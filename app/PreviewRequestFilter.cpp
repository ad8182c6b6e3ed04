#include "app/PreviewRequestFilter.h"

namespace quillet {

bool PreviewRequestFilter::mayLoad(const QUrl& url, QWebEngineUrlRequestInfo::ResourceType type) {
    if (!url.isLocalFile()) return true;
    switch (type) {
    // The main frame loads only what the page's navigation checks accepted: the application's
    // own page. The rest are shown as what they are, never as text.
    case QWebEngineUrlRequestInfo::ResourceTypeMainFrame:
    case QWebEngineUrlRequestInfo::ResourceTypeImage:
    case QWebEngineUrlRequestInfo::ResourceTypeStylesheet:
    case QWebEngineUrlRequestInfo::ResourceTypeFontResource:
    case QWebEngineUrlRequestInfo::ResourceTypeMedia:
    case QWebEngineUrlRequestInfo::ResourceTypeFavicon:
        return true;
    default:
        return false;
    }
}

void PreviewRequestFilter::interceptRequest(QWebEngineUrlRequestInfo& info) {
    if (!mayLoad(info.requestUrl(), info.resourceType())) info.block(true);
}

} // namespace quillet
