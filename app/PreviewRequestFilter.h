#pragma once
// The preview's guard on what a note's HTML may fetch from the disk. A note may show its images
// (and use local style sheets, fonts and media), but a frame, an object or an embed would show
// any file's text, so those never load a local file, whatever the navigation checks let through.

#include <QUrl>
#include <QWebEngineUrlRequestInterceptor>

namespace quillet {

class PreviewRequestFilter : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    // Whether a request for `url` made for a resource of `type` may go ahead.
    static bool mayLoad(const QUrl& url, QWebEngineUrlRequestInfo::ResourceType type);

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};

} // namespace quillet
