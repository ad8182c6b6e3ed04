// The preview: when it is refreshed, which style sheet it uses, and showing or hiding its pane.

#include "browser/view/FolderViewController.h"
#include "documents/PreviewPane.h"
#include "documents/ShellHost.h"
#include "documents/ViewController.h"
#include "documents/ViewControllerPrivate.h"
#include "editor/MarkdownViewController.h"
#include "engine/MarkdownString.h"
#include "platform/Containers.h"
#include "platform/UserDefaults.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QLocale>
#include <QSplitter>
#include <filesystem>

namespace quillet {

namespace {

Q_LOGGING_CATEGORY(previewTiming, "quillet.preview", QtWarningMsg)

const QString kDefaultStyleSheet = QStringLiteral("markdown.css");
const QUrl kBundledStyleSheet(QStringLiteral("qrc:/quillet/css/markdown.css"));
constexpr int kPreviewIndex = 2;
constexpr int kDefaultPreviewWidth = 400;
constexpr auto kPreviewDelay = platform::seconds(2.0);

QString firstPreferredLanguage(const platform::UserDefaults& defaults) {
    const auto languages =
        defaults.stringArray(QString::fromLatin1(platform::defaults_keys::kPreferredLanguages));
    if (languages && !languages->isEmpty()) return languages->first();
    const QStringList system = QLocale::system().uiLanguages();
    return system.isEmpty() ? QStringLiteral("en") : system.first();
}

} // namespace

QUrl ViewController::styleSheetURL() {
    QString folder;
    if (const auto cloud = platform::ubiquityContainerPath()) {
        folder = *cloud;
    } else {
        const QUrl container = d->folderViewController->noteTree().localContainer();
        folder = container.isEmpty() ? platform::localContainerPath() : container.toLocalFile();
    }
    const QFileInfo sheet(folder + QStringLiteral("/CSS/") + d->markdownCSS);
    if (!d->markdownCSS.isEmpty() && sheet.isFile() && sheet.isReadable())
        return QUrl::fromLocalFile(sheet.absoluteFilePath());
    d->markdownCSS = kDefaultStyleSheet;
    return kBundledStyleSheet;
}

void ViewController::updateWebView() {
    d->previewCall.cancel();
    if (!d->preview || !d->webViewState) return;
    QElapsedTimer timer;
    timer.start();
    d->preview->setCssURL(styleSheetURL());
    const FileRep note = d->session->note();
    PreviewRequest request;
    request.text = d->markdownViewController->string();
    request.title = d->session->displayName();
    if (request.title.isEmpty() && note && note->displayName) request.title = *note->displayName;
    request.language = firstPreferredLanguage(d->defaults);
    request.styleSheetName = d->markdownCSS;
    request.options = d->markdownViewController->markdownString().markdownOptions();
    request.imageFolder = documents_detail::previewTemporaryFolder();
    if (note) request.noteKey = note->path().isEmpty() ? note->fileURL().toString() : note->path();
    d->previewConversion->request(std::move(request));
    qCDebug(previewTiming, "refresh asked for: %.1f ms on the main thread", double(timer.nsecsElapsed()) / 1e6);
}

void ViewController::schedulePreviewRefresh() {
    d->previewCall.schedule(kPreviewDelay, [this] { updateWebView(); });
}

QUrl ViewController::previewBaseURL() const {
    const QString folder = documents_detail::previewTemporaryFolder();
    return folder.isEmpty() ? QUrl() : QUrl::fromLocalFile(folder + QLatin1Char('/'));
}

void ViewController::togglePreview(bool shown) {
    d->webViewState = shown;
    if (d->preview) d->preview->setPaneShown(shown);
    if (shown && d->session->note()) updateWebView();
}

bool ViewController::webViewState() const {
    return d->webViewState;
}

void ViewController::showPreview(bool show) {
    QSplitter& split = *d->splitView;
    if (split.count() > kPreviewIndex) {
        QList<int> sizes = split.sizes();
        const bool collapsed = sizes[kPreviewIndex] == 0;
        if (show == !collapsed) return; // already as wanted
        if (show) {
            const int width = d->previewWidth > 0 ? d->previewWidth : kDefaultPreviewWidth;
            sizes[1] = std::max(sizes[1] - width, 0);
            sizes[kPreviewIndex] = width;
        } else {
            d->previewWidth = sizes[kPreviewIndex];
            sizes[1] += sizes[kPreviewIndex];
            sizes[kPreviewIndex] = 0;
        }
        split.setSizes(sizes);
        if (d->shell) d->shell->previewPaneShown(show);
    }
    togglePreview(show);
}

void ViewController::markdownStyleMenuSelected(const QString& title) {
    if (!title.isEmpty()) d->markdownCSS = title;
    if (d->markdownCSS.isEmpty()) return;
    d->defaults.setObject(QString::fromLatin1(platform::defaults_keys::kSelectedMarkdownStyle),
                          d->markdownCSS);
    if (d->webViewState) updateWebView();
}

QString ViewController::markdownCSS() const {
    return d->markdownCSS;
}

} // namespace quillet
