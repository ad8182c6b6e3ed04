#pragma once
// The application's start and end: at launch it finds the main window, reopens the last opened
// note and installs the bundled style sheets; it saves the open note when the application loses
// the focus, is suspended, or quits, and lets it quit only once a dirty note is on disk.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <optional>

class QSessionManager;

namespace quillet {

namespace platform {
class Dispatcher;
class UserDefaults;
} // namespace platform
class ViewController;
class WindowController;

class AppDelegate : public QObject {
    Q_OBJECT

public:
    AppDelegate(platform::UserDefaults& defaults, platform::Dispatcher& dispatcher,
                QObject* parent = nullptr);

    // `notePath` replaces the note stored under "RQ1DlastOpenedFilepath" for this launch.
    void applicationDidFinishLaunching(const std::optional<QString>& notePath = std::nullopt);
    // True: quit now. False: a dirty note is being saved; the application quits once it is on
    // disk (and stays open, with the alert shown, when the save fails).
    bool applicationShouldTerminate();
    void applicationWillTerminate();
    void receiveSleepNotification();
    void receiveWakeupNotification();
    // Installs the bundled style sheets into <container>/CSS (the local container when none).
    void initMarkdownStyleSheet(const std::optional<QString>& containerPath = std::nullopt);

    WindowController* window() const { return window_; }
    ViewController* viewController() const { return viewController_; }

private:
    void findMainWindow();
    void reopenLastNote(const std::optional<QString>& notePath);
    void commitData(QSessionManager& manager);
    void saveThenQuit();

    platform::UserDefaults& defaults_;
    platform::Dispatcher& dispatcher_;
    WindowController* window_ = nullptr;
    ViewController* viewController_ = nullptr;
    bool terminating_ = false;
    QElapsedTimer terminationStarted_;
};

} // namespace quillet
