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

#include <QFileInfo>
#include <QLocale>
#include <QSplitter>
#include <filesystem>

namespace quillet {

namespace {

const QString kDefaultStyleSheet = QStringLiteral("markdown.css");
const QUrl kBundledStyleSheet(QStringLiteral("qrc:/quillet/css/markdown.css"));
constexpr int kPreviewIndex = 2;
constexpr int kDefaultPreviewWidth = 400;

std::u16string_view engineText(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())};
}

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
    if (!d->preview || !d->webViewState) return;
    d->preview->setCssURL(styleSheetURL());

    const QString temporaryFolder = documents_detail::previewTemporaryFolder();
    documents_detail::cleanTemporaryFolder(temporaryFolder);
    std::optional<std::filesystem::path> baseFolder;
    if (!temporaryFolder.isEmpty()) baseFolder = std::filesystem::path(temporaryFolder.toStdString());

    const QString language = firstPreferredLanguage(d->defaults);
    const FileRep note = d->lastFileRepresentation;
    const QString title = note && note->displayName ? *note->displayName : QString();
    const QString text = d->markdownViewController->string();
    MarkdownString& engine = d->markdownViewController->markdownString();
    const RQXMLElementRef body = engine.bodyElementFromString(engineText(text), baseFolder);
    const std::u16string html = MarkdownString::htmlStringFromBody(
        body, engineText(title), engineText(language), engineText(d->markdownCSS));
    if (html.empty()) return;
    const QUrl baseURL =
        temporaryFolder.isEmpty() ? QUrl() : QUrl::fromLocalFile(temporaryFolder + QLatin1Char('/'));
    d->preview->showHTMLString(QString::fromStdU16String(html), baseURL);
}

void ViewController::togglePreview(bool shown) {
    d->webViewState = shown;
    if (shown && d->lastFileRepresentation) updateWebView();
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
