#pragma once
// The application's start and end: at launch it finds the main window, reopens the last opened
// note and installs the bundled style sheets; it saves the open note when the application loses
// the focus, is suspended, quits or is told to end by a signal, and lets it quit only once the
// text is on disk, or kept elsewhere by the user's choice.

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QSessionManager;

namespace quillet {

namespace platform {
class Dispatcher;
class UserDefaults;
} // namespace platform
class NotePrefetch;
class ViewController;
class WindowController;

class AppDelegate : public QObject {
    Q_OBJECT

public:
    AppDelegate(platform::UserDefaults& defaults, platform::Dispatcher& dispatcher,
                QObject* parent = nullptr);

    // Before the window is built: starts reading the note the launch reopens (`notePath`, else
    // the one stored under "RQ1DlastOpenedFilepath"), so that the window can show it at once.
    void applicationWillFinishLaunching(const std::optional<QString>& notePath = std::nullopt);
    // `notePath` replaces the note stored under "RQ1DlastOpenedFilepath" for this launch. The
    // note read ahead is shown before this returns when its read takes less than a moment; a
    // longer read finishes on a worker, with the progress indicator. Keyboard focus goes to the
    // editor when a note opens.
    void applicationDidFinishLaunching(const std::optional<QString>& notePath = std::nullopt);
    // Whether the launch opens a note (it may still be read): the start-up report waits for it.
    bool opensNoteAtLaunch() const { return opensNoteAtLaunch_; }
    // True: quit now. False: stay (the user chose to, after a save that failed).
    bool applicationShouldTerminate();
    void applicationWillTerminate();
    void receiveSleepNotification();
    void receiveWakeupNotification();
    // Installs the bundled style sheets into <container>/CSS (the local container when none).
    void initMarkdownStyleSheet(const std::optional<QString>& containerPath = std::nullopt);
    // SIGTERM, SIGHUP, SIGINT: save and quit without asking; text that cannot be saved is kept
    // in the recovery folder.
    void terminateForSignal();
    // Another launch handed over its arguments: opens the first note named that opens (as
    // openNoteAnywhere), raises the window.
    void openFromOtherInstance(const QStringList& arguments);
    // Opens a note wherever it lies: where the browser lists it (the library, the opened folder),
    // else in its own folder, opened beside the library. False when it is no note to open.
    bool openNoteAnywhere(const QString& path);
    // Opens the note at the path when the browser lists it; false when it does not.
    bool openNoteAtPath(const QString& path);

    WindowController* window() const { return window_; }
    ViewController* viewController() const { return viewController_; }

    // How the quit question is answered when a save failed (tests replace it): 0 "Save As…",
    // 1 "Quit Without Saving", 2 "Cancel".
    void setQuitQuestion(std::function<int()> ask) { askQuit_ = std::move(ask); }
    // Where "Save As…" writes (tests replace the file dialog); empty: cancelled.
    void setSaveAsChooser(std::function<QString()> choose) { chooseSaveAs_ = std::move(choose); }

private:
    void findMainWindow();
    std::optional<QString> launchNotePath(const std::optional<QString>& notePath) const;
    bool openNoteAtPath(const QString& path, const std::shared_ptr<NotePrefetch>& prefetch);
    bool openNoteInItsFolder(const QString& path, const std::shared_ptr<NotePrefetch>& prefetch);
    bool openWhenSyncedLibraryListed(const QString& path);
    void recoverAbandonedSaves();
    void commitData(QSessionManager& manager);
    // Saves the open note's edits and waits for them; true when nothing is left unsaved.
    bool saveAndWait();
    int askHowToQuit();
    QString chooseSaveAsPath();

    platform::UserDefaults& defaults_;
    platform::Dispatcher& dispatcher_;
    WindowController* window_ = nullptr;
    ViewController* viewController_ = nullptr;
    bool quitting_ = false;
    bool opensNoteAtLaunch_ = false;
    std::shared_ptr<NotePrefetch> prefetch_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::function<int()> askQuit_;
    std::function<QString()> chooseSaveAs_;
};

} // namespace quillet
