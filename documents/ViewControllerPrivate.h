#pragma once
// The state the main controller's files share. Only ViewController*.cpp include this.

#include "documents/DocumentAlerts.h"
#include "documents/NoteMetadata.h"
#include "documents/ViewController.h"
#include "platform/DelayedCall.h"
#include "platform/FileCoordinator.h"

#include <QFont>
#include <QString>
#include <QUrl>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

class QSplitter;

namespace quillet {

class FolderViewController;
class MarkdownViewController;
class PreviewPane;
class ShellHost;

struct ViewController::Private {
    Private(platform::UserDefaults& userDefaults, platform::Dispatcher& mainDispatcher)
        : defaults(userDefaults), dispatcher(mainDispatcher),
          metadata(std::make_shared<NoteMetadata>(mainDispatcher)), autosaveCall(mainDispatcher),
          previewCall(mainDispatcher) {}

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

    // Shared with background reads, which may outlive the controller.
    std::shared_ptr<NoteMetadata> metadata;
    std::shared_ptr<platform::FileCoordinator> fileCoordinator =
        std::make_shared<platform::FileCoordinator>();
    // Reset when the controller goes away; work coming back to the main queue checks it.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);

    // The open document.
    FileRep lastFileRepresentation;
    mutable std::mutex openedFileURLMutex;
    std::optional<QUrl> openedFileURL;
    bool editState = true;
    // Counts opens and closes: a read that comes back after a later open or close is dropped.
    std::uint64_t documentGeneration = 0;
    std::atomic<bool> coordinateWriting{false};

    platform::DelayedCall autosaveCall;
    platform::DelayedCall previewCall;

    QFont selectedFont;

    // Preview.
    bool webViewState = true;
    QString markdownCSS = QStringLiteral("markdown.css");
    int previewWidth = 0; // the preview's width before it was collapsed

    QString searchTarget;

    // Texts of closed notes whose last save failed, by path: shown again, still unsaved, when
    // the note is reopened, so that a close never throws edits away.
    std::map<QString, QString> unsavedTexts;

    // Runs `task` on the main queue unless the controller is gone by then.
    void onMainWhileAlive(std::function<void()> task) {
        std::weak_ptr<bool> token = alive;
        dispatcher.onMain([token, task = std::move(task)] {
            if (token.lock()) task();
        });
    }
    void setOpenedFileURL(std::optional<QUrl> url) {
        std::lock_guard lock(openedFileURLMutex);
        openedFileURL = std::move(url);
    }
};

// What a background read of a note found.
struct ViewController::ReadOutcome {
    bool missing = false;         // no file at the path
    std::optional<QString> text;  // none when the read or the coordination failed
    platform::Status error;       // why there is no text
    std::optional<bool> locked;   // the file's lock; none when it could not be examined
    std::uint64_t generation = 0; // the open it belongs to
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
