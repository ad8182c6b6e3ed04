#pragma once
// For the start-up benchmark: tells once the user sees the launch's note, that is once the
// editor holds the note's text (when the launch opens one), the window is exposed on the screen
// and the editor has painted since. Showing the window alone is not enough: the note may still
// be on its way from disk.

#include <QObject>
#include <functional>

namespace quillet {

class WindowController;

class StartupReport : public QObject {
    Q_OBJECT

public:
    // `ready` runs once, on the main thread. `expectNote`: the launch opens a note.
    StartupReport(WindowController& window, bool expectNote, std::function<void()> ready);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool noteShown() const;
    void check();

    WindowController& window_;
    bool expectNote_;
    bool painted_ = false;
    std::function<void()> ready_;
};

} // namespace quillet
