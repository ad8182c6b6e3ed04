#pragma once
// What the main controller asks of the preview pane: the style sheet to inject after each load,
// the updates of the note's HTML to show, and whether the pane is shown. The application's web
// view implements it; tests record the calls.

#include "documents/PreviewConversion.h"

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
    // Applies the update to the body shown, with `baseURL` as the base of its relative links.
    // Every update is handed over, shown or not: each patch applies to the body before it.
    virtual void showPreviewUpdate(const PreviewUpdate& update, const QUrl& baseURL) = 0;
    // A hidden pane holds no page: it keeps the body and shows it once shown again.
    virtual void setPaneShown(bool shown) = 0;
};

} // namespace quillet
