#pragma once
// The preview's page: it shows what the application loads into it and nothing else. It never
// navigates on its own (a refresh, a redirect, a clicked link, a sent form), its frames load no
// local file, and a clicked link is handed on only where that is safe (PreviewLinkPolicy.h).

#include <QUrl>
#include <QWebEnginePage>
#include <functional>

namespace quillet {

class PreviewPage : public QWebEnginePage {
    Q_OBJECT

public:
    explicit PreviewPage(QObject* parent = nullptr);

    // How a web or mail link is opened (the desktop's handler unless replaced).
    void setLinkOpener(std::function<void(const QUrl&)> opener) { openLink_ = std::move(opener); }
    // Hands a clicked link on as far as its kind allows.
    void handleClickedLink(const QUrl& url);

signals:
    // A clicked link leads to a note on this machine (its local path).
    void noteLinkClicked(const QString& path);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    std::function<void(const QUrl&)> openLink_;
};

} // namespace quillet
