#include "documents/ViewController.h"

#include "browser/view/FolderViewController.h"
#include "documents/PreviewPane.h"
#include "documents/ViewControllerPrivate.h"
#include "editor/LineBreaks.h"
#include "editor/MarkdownViewController.h"
#include "platform/TypeIdentifiers.h"
#include "platform/UserDefaults.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QSplitter>

namespace quillet {

namespace documents_detail {

QString typeIdentifierOf(const FileRepresentation& note) {
    if (note.UTI) return *note.UTI;
    return platform::typeIdentifierForFile(note.path());
}

bool isAcceptedNoteType(const QString& typeIdentifier) {
    static const QStringList accepted = {
        QString::fromLatin1(platform::kPlainTextTypeIdentifier),
        QString::fromLatin1(platform::kMarkdownTypeIdentifier),
        QString::fromLatin1(platform::kCssTypeIdentifier),
        QString::fromLatin1(platform::kPythonScriptTypeIdentifier),
        QString::fromLatin1(platform::kFolderTypeIdentifier),
    };
    return accepted.contains(typeIdentifier);
}

} // namespace documents_detail

namespace {
constexpr int kBrowserMinimumWidth = 180;
constexpr int kBrowserWidth = 240;
constexpr int kEditorWidth = 560;
constexpr int kPreviewWidth = 400;
} // namespace

ViewController::ViewController(platform::UserDefaults& defaults, platform::Dispatcher& dispatcher,
                               QWidget* parent)
    : QWidget(parent), d(std::make_unique<Private>(defaults, dispatcher)) {
    d->splitView = new QSplitter(Qt::Horizontal, this);
    d->splitView->setChildrenCollapsible(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(d->splitView);

    d->folderViewController = new FolderViewController(defaults, dispatcher);
    d->folderViewController->setMinimumWidth(kBrowserMinimumWidth);
    d->markdownViewController = new MarkdownViewController(dispatcher);
    d->splitView->addWidget(d->folderViewController);
    d->splitView->addWidget(d->markdownViewController);
    d->splitView->setCollapsible(0, false);
    d->splitView->setCollapsible(1, false);

    d->markdownViewController->setHost(this);
    d->folderViewController->setHost(this);
    d->folderViewController->setCommands(this);
    d->sessionView = std::make_unique<SessionAdapter>(*this);
    d->session = std::make_unique<DocumentSession>(defaults, dispatcher, *d->sessionView);
    d->previewConversion = std::make_unique<PreviewConversion>(dispatcher, [this](const PreviewUpdate& update) {
        if (d->preview) d->preview->showPreviewUpdate(update, previewBaseURL());
    });
    d->defaultAlerts = std::make_unique<MessageBoxAlerts>(this);
    d->alerts = d->defaultAlerts.get();
}

ViewController::~ViewController() {
    d->previewCall.cancel();
    d->previewConversion.reset();
    d->session.reset();
    // The panes call back into this controller while they are torn down.
    d->markdownViewController->setHost(nullptr);
    d->folderViewController->setHost(nullptr);
}

void ViewController::setPreviewPane(PreviewPane* preview) {
    if (d->preview && d->preview->widget()) d->preview->widget()->setParent(nullptr);
    d->preview = preview;
    d->previewConversion->restart();
    if (preview) preview->setPaneShown(d->webViewState);
    if (preview && preview->widget()) d->splitView->addWidget(preview->widget());
    d->splitView->setSizes({kBrowserWidth, kEditorWidth, kPreviewWidth});
}

void ViewController::setShell(ShellHost* shell) {
    d->shell = shell;
}

void ViewController::setAlerts(DocumentAlerts* alerts) {
    d->alerts = alerts ? alerts : d->defaultAlerts.get();
}

void ViewController::viewDidLoad(const LocalContainerSetup& setup) {
    d->webViewState = true;
    d->selectedFont = defaultEditorFont();
    d->markdownCSS = d->defaults.string(QString::fromLatin1(platform::defaults_keys::kSelectedMarkdownStyle))
                         .value_or(QStringLiteral("markdown.css"));
    d->folderViewController->loadTree(setup);
    startSyncedLibrary();
    applyStoredMarkdownOptions();
    reopenLastOpenedFolder();
    d->markdownViewController->setSelectedFont(d->selectedFont);
    d->splitView->setSizes({kBrowserWidth, kEditorWidth, kPreviewWidth});
}

QSplitter* ViewController::splitView() const {
    return d->splitView;
}
FolderViewController* ViewController::folderViewController() const {
    return d->folderViewController;
}
MarkdownViewController* ViewController::markdownViewController() const {
    return d->markdownViewController;
}
PreviewPane* ViewController::webViewController() const {
    return d->preview;
}
void ViewController::setSelectedRange(Range range) {
    d->markdownViewController->setSelectedRange(range);
    d->session->selectionMoved(); // a header or a search result the user chose
}

QString ViewController::convertLineBreak(const QString& text) {
    return quillet::convertLineBreak(text);
}

} // namespace quillet
