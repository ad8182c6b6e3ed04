#include "app/AppDelegate.h"

#include "app/LaunchOptions.h"
#include "app/MarkdownStyleSheets.h"
#include "app/WebViewController.h"
#include "app/WindowController.h"
#include "browser/NoteTree.h"
#include "browser/view/FolderViewController.h"
#include "documents/DocumentSession.h"
#include "documents/NotePrefetch.h"
#include "documents/ViewController.h"
#include "editor/MarkdownViewController.h"
#include "platform/AbandonedSaves.h"
#include "platform/Containers.h"
#include "platform/Dispatcher.h"
#include "platform/TextFiles.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QFileDialog>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSessionManager>
#include <QUrl>

namespace quillet {

AppDelegate::AppDelegate(platform::UserDefaults& defaults, platform::Dispatcher& dispatcher, QObject* parent)
    : QObject(parent), defaults_(defaults), dispatcher_(dispatcher) {}

std::optional<QString> AppDelegate::launchNotePath(const std::optional<QString>& notePath) const {
    const std::optional<QString> path =
        notePath ? notePath : defaults_.string(QString::fromLatin1(platform::defaults_keys::kLastOpenedFilepath));
    if (!path || path->isEmpty()) return std::nullopt;
    return QFileInfo(*path).absoluteFilePath();
}

void AppDelegate::applicationWillFinishLaunching(const std::optional<QString>& notePath) {
    if (const std::optional<QString> path = launchNotePath(notePath))
        prefetch_ = std::make_shared<NotePrefetch>(dispatcher_, *path);
}

void AppDelegate::applicationDidFinishLaunching(const std::optional<QString>& notePath) {
    findMainWindow();
    if (viewController_ && !viewController_->lastFileRepresentation()) {
        if (const std::optional<QString> path = launchNotePath(notePath)) {
            // Only a note the launch names opens its folder; a note stored from a folder since
            // closed stays closed.
            opensNoteAtLaunch_ =
                openNoteAtPath(*path, prefetch_) || openWhenSyncedLibraryListed(*path) ||
                (notePath && openNoteInItsFolder(*path, prefetch_));
            if (opensNoteAtLaunch_) viewController_->markdownViewController()->textView()->setFocus(Qt::OtherFocusReason);
        }
    }
    prefetch_.reset();
    initMarkdownStyleSheet();
    recoverAbandonedSaves();

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
    // A link in the preview to a note of the library opens that note here.
    if (window_ && window_->webViewController())
        connect(window_->webViewController(), &WebViewController::noteLinkClicked, this,
                [this](const QString& path) { openNoteAtPath(path); });
}

// Saves killed before they finished leave hidden temporary files beside their notes; a newer whole
// text among them comes back as a note of its own, and the user is told.
void AppDelegate::recoverAbandonedSaves() {
    const QString library = platform::localContainerPath();
    dispatcher_.onWorker([this, library, alive = std::weak_ptr<bool>(alive_)] {
        QStringList recovered;
        QStringList folders{library};
        QDirIterator below(library, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (below.hasNext()) folders << below.next();
        for (const QString& folder : folders) {
            if (const auto found = platform::recoverAbandonedSaves(folder); found.ok()) recovered << *found;
        }
        if (recovered.isEmpty()) return;
        dispatcher_.onMain([this, alive, recovered] {
            if (!alive.lock() || !window_) return;
            QMessageBox* box = new QMessageBox(QMessageBox::Information, QString(),
                                               tr("Recovered text of a save that was interrupted."),
                                               QMessageBox::Ok, window_);
            box->setInformativeText(recovered.join(QLatin1Char('\n')));
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
        });
    });
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

bool AppDelegate::openNoteAtPath(const QString& path) {
    return openNoteAtPath(path, nullptr);
}

bool AppDelegate::openNoteAtPath(const QString& path, const std::shared_ptr<NotePrefetch>& prefetch) {
    if (!viewController_) return false;
    FolderViewController* browser = viewController_->folderViewController();
    const FileRep note = browser->noteTree().findFileRep(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    if (!note) return false;
    if (note == viewController_->lastFileRepresentation()) return true;
    viewController_->closeDocument();
    browser->selectRowWithFileRep(note);
    // The window waits this long for the note read ahead; a longer read shows it afterwards.
    constexpr auto kLaunchReadWait = platform::Duration(300);
    if (prefetch) prefetch->waitFor(kLaunchReadWait);
    viewController_->openDocument(note, prefetch);
    return true;
}

bool AppDelegate::openNoteInItsFolder(const QString& path, const std::shared_ptr<NotePrefetch>& prefetch) {
    const QFileInfo note(path);
    if (!viewController_ || !note.isFile()) return false;
    if (!viewController_->openFolderAtPath(note.absolutePath(), false)) return false;
    return openNoteAtPath(note.absoluteFilePath(), prefetch);
}

bool AppDelegate::openNoteAnywhere(const QString& path) {
    return openNoteAtPath(path) || openWhenSyncedLibraryListed(path) || openNoteInItsFolder(path, nullptr);
}

// The synced library is listed on a worker: a note of it named at launch opens once it is.
bool AppDelegate::openWhenSyncedLibraryListed(const QString& path) {
    return viewController_ && viewController_->whenSyncedLibraryListed(path, [this, path] { openNoteAtPath(path); });
}

void AppDelegate::openFromOtherInstance(const QStringList& arguments) {
    const LaunchOptions options =
        LaunchOptions::parse(QStringList{QCoreApplication::applicationFilePath()} + arguments);
    for (const QString& path : options.notePaths())
        if (QFileInfo(path).isFile() && openNoteAnywhere(path)) break;
    if (options.newNote && viewController_) viewController_->newNote();
    if (!window_) return;
    window_->show();
    window_->setWindowState((window_->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window_->raise();
    window_->activateWindow();
}

void AppDelegate::initMarkdownStyleSheet(const std::optional<QString>& containerPath) {
    quillet::initMarkdownStyleSheet(containerPath.value_or(platform::localContainerPath()), defaults_);
}

bool AppDelegate::saveAndWait() {
    DocumentSession& session = viewController_->session();
    session.setQuitting(true);
    session.saveNow();
    session.waitForWrites();
    session.setQuitting(false);
    return !session.isDirty();
}

bool AppDelegate::applicationShouldTerminate() {
    if (!viewController_ || quitting_) return true;
    if (saveAndWait()) return true;
    switch (askHowToQuit()) {
    case 0: {
        const QString path = chooseSaveAsPath();
        if (path.isEmpty()) return false;
        const platform::Status status =
            platform::writeUtf8FileAtomically(path, viewController_->markdownViewController()->string());
        if (!status) {
            QMessageBox::warning(window_, QString(), tr("Couldn't save the Note."), QMessageBox::Ok);
            return false;
        }
        break;
    }
    case 1:
        viewController_->session().keepUnsavedText();
        break;
    default:
        return false;
    }
    // The text is elsewhere now: the note's own save is not tried again.
    quitting_ = true;
    viewController_->session().setQuitting(true);
    return true;
}

int AppDelegate::askHowToQuit() {
    if (askQuit_) return askQuit_();
    QMessageBox box(QMessageBox::Warning, QString(), tr("Couldn't save the Note."), QMessageBox::NoButton, window_);
    box.setInformativeText(tr("Save the text somewhere else, or quit and keep it in the recovery folder."));
    QPushButton* saveAs = box.addButton(tr("Save As\u2026"), QMessageBox::AcceptRole);
    QPushButton* quit = box.addButton(tr("Quit Without Saving"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(tr("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(saveAs);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == saveAs) return 0;
    if (box.clickedButton() == quit) return 1;
    return 2;
}

QString AppDelegate::chooseSaveAsPath() {
    if (chooseSaveAs_) return chooseSaveAs_();
    const FileRep note = viewController_->lastFileRepresentation();
    const QString suggested = note ? QFileInfo(note->path()).fileName() : QStringLiteral("Note.md");
    return QFileDialog::getSaveFileName(window_, tr("Save As"),
                                        QDir::homePath() + QLatin1Char('/') + suggested,
                                        tr("Markdown (*.md);;All Files (*)"));
}

void AppDelegate::applicationWillTerminate() {
    if (!viewController_ || quitting_) return;
    quitting_ = true;
    if (!saveAndWait()) viewController_->session().keepUnsavedText();
}

void AppDelegate::terminateForSignal() {
    applicationWillTerminate();
    QCoreApplication::quit();
}

// The desktop session is ending: the process may not get another turn of the event loop.
void AppDelegate::commitData(QSessionManager& manager) {
    Q_UNUSED(manager);
    if (!viewController_ || quitting_) return;
    if (!saveAndWait()) viewController_->session().keepUnsavedText();
}

void AppDelegate::receiveSleepNotification() {
    if (viewController_) viewController_->autosaveFile();
}

void AppDelegate::receiveWakeupNotification() {
    if (viewController_) viewController_->autosaveFile();
}

} // namespace quillet

#include "moc_AppDelegate.cpp"
