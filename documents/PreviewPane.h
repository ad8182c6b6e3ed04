#pragma once
// What the main controller asks of the preview pane: the style sheet to inject after each load,
// and the HTML to show. The application's web view implements it; tests record the calls.

#include <QString>
#include <QUrl>

class QWidget;

namespace quillet {

class PreviewPane {
public:
    virtual ~PreviewPane() = default;

    virtual QWidget* widget() = 0;
    // The style sheet injected into every page after it loaded; an empty URL, or one that
    // cannot be read, falls back to the application's own "markdown.css".
    virtual void setCssURL(const QUrl& url) = 0;
    // Loads the HTML with `baseURL` as the base of its relative links.
    virtual void showHTMLString(const QString& html, const QUrl& baseURL) = 0;
};

} // namespace quillet
