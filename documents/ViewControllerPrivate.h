#pragma once
// The state the main controller's files share. Only ViewController*.cpp include this.

#include "documents/DocumentAlerts.h"
#include "documents/DocumentSession.h"
#include "documents/ExportPanels.h"
#include "documents/PreviewConversion.h"
#include "documents/SyncedLibrary.h"
#include "documents/ViewController.h"
#include "platform/DelayedCall.h"

#include <QFont>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QSplitter;

namespace quillet {

class FolderViewController;
class MarkdownViewController;
class PreviewPane;
class ShellHost;

struct ViewController::Private {
    Private(platform::UserDefaults& userDefaults, platform::Dispatcher& mainDispatcher)
        : defaults(userDefaults), dispatcher(mainDispatcher), previewCall(mainDispatcher) {}

    platform::UserDefaults& defaults;
    platform::Dispatcher& dispatcher;

    // Panes and the window around them (the panes are children of the controller).
    QSplitter* splitView = nullptr;
    FolderViewController* folderViewController = nullptr;
    MarkdownViewController* markdownViewController = nullptr;
    PreviewPane* preview = nullptr;
    ShellHost* shell = nullptr;
    DocumentAlerts* alerts = nullptr;
    std::unique_ptr<MessageBoxAlerts> defaultAlerts;

    std::unique_ptr<SessionAdapter> sessionView;
    std::unique_ptr<DocumentSession> session;

    platform::DelayedCall previewCall;
    std::unique_ptr<PreviewConversion> previewConversion;

    QFont selectedFont;

    // Preview.
    bool webViewState = true;
    QString markdownCSS = QStringLiteral("markdown.css");
    int previewWidth = 0; // the preview's width before it was collapsed

    QString searchTarget;
    QPointer<QWidget> headersPopover; // while shown

    // The folder shown beside the library, and the folders opened before.
    std::optional<QString> openedFolder;
    RecentFolders recentFolders{defaults};
    std::function<QString()> chooseFolder;

    // Note operations: a second new note or delete while one runs does nothing; no info sheet or
    // copy dialog opens while one is up.
    bool addingNote = false;
    bool deletingNote = false;
    bool isExporting = false;
    // Export, import and printing (ViewControllerExport.cpp).
    bool printing = false;
    ExportPanels* exportPanels = nullptr;
    std::unique_ptr<ExportPanels> defaultExportPanels;
    // The synchronised folder shown as "Synced"; none while no folder is chosen
    // (ViewControllerSyncedLibrary.cpp).
    std::shared_ptr<SyncedLibrary> synced;
    // Work handed to a worker finds the controller gone when this is.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    // Runs `work` on a worker and `done` with its result on the main thread, unless the controller
    // went away meanwhile.
    template <typename Result>
    void onWorker(std::function<Result()> work, std::function<void(Result)> done) {
        std::weak_ptr<bool> token = alive;
        platform::Dispatcher* main = &dispatcher;
        dispatcher.onWorker([token, main, work = std::move(work), done = std::move(done)] {
            Result result = work();
            main->onMain([token, done, result = std::move(result)] {
                if (token.lock()) done(result);
            });
        });
    }
};

// Helpers shared by the controller's files.
namespace documents_detail {

// The type identifier of a record: its "UTI", else the file's.
QString typeIdentifierOf(const FileRepresentation& note);
bool isAcceptedNoteType(const QString& typeIdentifier);
// The application's own temporary folder (private to this user); empty when it cannot be made
// safely.
QString previewTemporaryFolder();
// Removes every file below the folder (hidden ones stay); folders are kept.
void cleanTemporaryFolder(const QString& folder);

} // namespace documents_detail

} // namespace quillet

#include "documents/ViewControllerSessionAdapter.h" // completes Private::sessionView
