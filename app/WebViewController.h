#pragma once
// The preview pane: a light container that holds a web view only while it is shown, so that a
// hidden preview costs neither a web engine nor GL composition of the window. The view shows
// a page shell, styled with the chosen style sheet once it loaded, whose body the note's
// updates patch piece by piece from the application's script world. The page runs no scripts
// of its own, offers no context menu and never navigates away: clicked web and mail links open
// on the desktop, links to other notes are handed to the application.

#include "documents/PreviewPane.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QUrl>
#include <QWidget>

class QWebEngineView;

namespace quillet {

class PreviewPage;

class WebViewController : public QWidget, public PreviewPane {
    Q_OBJECT

public:
    explicit WebViewController(QWidget* parent = nullptr);
    ~WebViewController() override;

    QWidget* widget() override { return this; }
    void setCssURL(const QUrl& url) override;
    void showPreviewUpdate(const PreviewUpdate& update, const QUrl& baseURL) override;
    void setPaneShown(bool shown) override;

    QUrl cssURL() const { return cssURL_; }
    // Both null while the pane is hidden or has shown nothing yet.
    QWebEngineView* webView() const { return view_; }
    PreviewPage* previewPage() const { return page_; }

signals:
    // The page shows the latest update: loaded, styled and its body filled in or patched.
    void previewReady();
    // The page around the note loaded (or failed to).
    void loadFinished(bool ok);
    // A link to a note on this machine was clicked (its local path): Quillet opens that note.
    void noteLinkClicked(const QString& path);

private:
    void createWebView();
    void releaseWebView();
    void loadPage();
    void pageLoaded(bool ok);
    void runPatch(qsizetype start, qsizetype removed, const QStringList& inserted);

    QWebEngineView* view_ = nullptr;
    PreviewPage* page_ = nullptr;
    bool shown_ = false;
    bool loading_ = false;
    bool reloadNeeded_ = true;
    QElapsedTimer updateTimer_; // since the latest update came

    // What the page shows, kept while hidden.
    QString shell_;
    QStringList elements_;
    QUrl baseURL_;
    QUrl requestedCssURL_;
    QUrl cssURL_; // the one applied: the requested one, or the bundled one in its place
};

} // namespace quillet
