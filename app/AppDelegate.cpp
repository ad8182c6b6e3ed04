#include "app/AppDelegate.h"

#include "app/MarkdownStyleSheets.h"
#include "app/WindowController.h"
#include "browser/NoteTree.h"
#include "browser/view/FolderViewController.h"
#include "documents/DocumentAlerts.h"
#include "documents/ViewController.h"
#include "editor/MarkdownViewController.h"
#include "platform/Containers.h"
#include "platform/Dispatcher.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QEventLoop>
#include <QSessionManager>
#include <QTimer>
#include <QUrl>
#include <memory>

namespace quillet {

namespace {

// How long ending the desktop session waits for the open note to be written.
constexpr int kSessionEndSaveTimeoutMs = 10000;
// After this long without word from the save, asking to quit again quits.
constexpr qint64 kQuitSaveTimeoutMs = 10000;

} // namespace

AppDelegate::AppDelegate(platform::UserDefaults& defaults, platform::Dispatcher& dispatcher, QObject* parent)
    : QObject(parent), defaults_(defaults), dispatcher_(dispatcher) {}

void AppDelegate::applicationDidFinishLaunching(const std::optional<QString>& notePath) {
    findMainWindow();
    if (viewController_) reopenLastNote(notePath);
    initMarkdownStyleSheet();

    auto* app = qApp;
    connect(app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationSuspended)
            receiveSleepNotification();
        else if (state == Qt::ApplicationActive)
            receiveWakeupNotification();
    });
    connect(app, &QCoreApplication::aboutToQuit, this, &AppDelegate::applicationWillTerminate);
    connect(app, &QGuiApplication::commitDataRequest, this, &AppDelegate::commitData);
    if (window_) window_->setCloseHandler([this] { return applicationShouldTerminate(); });
}

void AppDelegate::findMainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<WindowController*>(widget); window && window->viewController()) {
            window_ = window;
            viewController_ = window->viewController();
            return;
        }
    }
    qWarning("%s: ERROR can't find windowController", Q_FUNC_INFO);
}

void AppDelegate::reopenLastNote(const std::optional<QString>& notePath) {
    if (viewController_->lastFileRepresentation()) return;
    const std::optional<QString> path =
        notePath ? notePath
                 : defaults_.string(QString::fromLatin1(platform::defaults_keys::kLastOpenedFilepath));
    if (!path || path->isEmpty()) return;
    FolderViewController* browser = viewController_->folderViewController();
    const FileRep note = browser->noteTree().findFileRep(QUrl::fromLocalFile(*path));
    if (!note) return;
    dispatcher_.onMain([browser, viewController = viewController_, note] {
        browser->selectRowWithFileRep(note);
        viewController->setLastFileRepresentation(note);
        viewController->openDocument(note);
    });
}

void AppDelegate::initMarkdownStyleSheet(const std::optional<QString>& containerPath) {
    quillet::initMarkdownStyleSheet(containerPath.value_or(platform::localContainerPath()), defaults_);
}

bool AppDelegate::applicationShouldTerminate() {
    if (!viewController_) return true;
    // A save for quitting is under way; asking again waits for it, unless it never reported.
    if (terminating_) return terminationStarted_.elapsed() > kQuitSaveTimeoutMs;
    MarkdownViewController* editor = viewController_->markdownViewController();
    if (!editor->documentDirty() || !viewController_->lastFileRepresentation()) return true;
    saveThenQuit();
    return false;
}

void AppDelegate::saveThenQuit() {
    terminating_ = true;
    terminationStarted_.start();
    viewController_->saveFile(viewController_->lastFileRepresentation(), std::nullopt, false,
                              [this](bool success, const platform::Status& error) {
                                  dispatcher_.onMain([this, success, error] {
                                      terminating_ = false;
                                      if (!success) {
                                          // Quitting now would lose the text: stay open and say why.
                                          MessageBoxAlerts(window_).showAlert(tr("Couldn't save the Note."),
                                                                              error.description);
                                          return;
                                      }
                                      viewController_->markdownViewController()->setDocumentDirty(false);
                                      QCoreApplication::quit();
                                  });
                              });
}

void AppDelegate::applicationWillTerminate() {
    if (viewController_) viewController_->autosaveFile();
}

// The desktop session is ending: the process may not get another turn of the event loop, so
// the save is waited for here.
void AppDelegate::commitData(QSessionManager& manager) {
    Q_UNUSED(manager);
    if (!viewController_ || !viewController_->lastFileRepresentation() ||
        !viewController_->markdownViewController()->documentDirty())
        return;
    // The completion may come after the wait gave up: it only touches this shared state.
    struct Wait {
        bool finished = false;
        QEventLoop* loop = nullptr;
    };
    auto wait = std::make_shared<Wait>();
    viewController_->saveFile(viewController_->lastFileRepresentation(), std::nullopt, false,
                              [this, wait](bool, const platform::Status&) {
                                  dispatcher_.onMain([wait] {
                                      wait->finished = true;
                                      if (wait->loop) wait->loop->quit();
                                  });
                              });
    if (wait->finished) return;
    QEventLoop loop;
    wait->loop = &loop;
    QTimer::singleShot(kSessionEndSaveTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    wait->loop = nullptr;
}

void AppDelegate::receiveSleepNotification() {
    if (viewController_) viewController_->autosaveFile();
}

void AppDelegate::receiveWakeupNotification() {
    if (viewController_) viewController_->autosaveFile();
}

} // namespace quillet

#include "moc_AppDelegate.cpp"
