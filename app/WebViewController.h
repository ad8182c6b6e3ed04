#pragma once
// The preview pane: a web view that shows the HTML of the open note and, once each page has
// loaded, injects the chosen style sheet into it. The page runs no scripts of its own, offers no
// context menu and never navigates away: clicked web and mail links open on the desktop, links
// to other notes are handed to the application.

#include "documents/PreviewPane.h"

#include <QUrl>
#include <QWebEngineView>
#include <functional>

namespace quillet {

class PreviewPage;

class WebViewController : public QWebEngineView, public PreviewPane {
    Q_OBJECT

public:
    explicit WebViewController(QWidget* parent = nullptr);
    ~WebViewController() override;

    QWidget* widget() override { return this; }
    void setCssURL(const QUrl& url) override;
    void showHTMLString(const QString& html, const QUrl& baseURL) override;

    QUrl cssURL() const { return cssURL_; }
    QWebEngineView* webView() { return this; }
    PreviewPage* previewPage() const { return page_; }

    // After a page loaded: reads the style sheet (falling back to the bundled "markdown.css",
    // which then stays the style sheet) and injects it.
    void webViewDidFinishNavigation(bool ok);

signals:
    // A page finished loading and its style sheet was applied (or there was nothing to apply).
    void previewReady();
    // A link to a note on this machine was clicked (its local path): Quillet opens that note.
    void noteLinkClicked(const QString& path);

private:
    // A page whose HTML cannot travel as a data URL is written beside the note's images.
    void loadLargeHTML(const QString& html, const QUrl& baseURL);

    PreviewPage* page_;
    QUrl cssURL_;
};

} // namespace quillet
