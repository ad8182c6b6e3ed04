#pragma once
// The preview's page: it shows what the application loads into it and nothing else. A link the
// user clicks (or a form they send) opens in the desktop's browser instead of replacing the note.

#include <QUrl>
#include <QWebEnginePage>
#include <functional>

namespace quillet {

class PreviewPage : public QWebEnginePage {
    Q_OBJECT

public:
    explicit PreviewPage(QObject* parent = nullptr);

    // How a clicked link is opened (the desktop's browser unless replaced).
    void setLinkOpener(std::function<void(const QUrl&)> opener) { openLink_ = std::move(opener); }
    // The base URL of the loaded HTML: a link to a fragment of it stays in the page.
    void setDocumentBaseURL(const QUrl& url) { documentBaseURL_ = url; }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    bool isFragmentOfThisPage(const QUrl& url) const;

    QUrl documentBaseURL_;
    std::function<void(const QUrl&)> openLink_;
};

} // namespace quillet
