#include "app/StartupReport.h"

#include "app/WindowController.h"
#include "documents/ViewController.h"
#include "editor/MarkdownViewController.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QTimer>
#include <QWindow>

namespace quillet {

StartupReport::StartupReport(WindowController& window, bool expectNote, std::function<void()> ready)
    : QObject(&window), window_(window), expectNote_(expectNote), ready_(std::move(ready)) {
    window.viewController()->markdownViewController()->textView()->viewport()->installEventFilter(this);
    // The note's text reaching the editor repaints it; a paint before that does not count.
    connect(window.viewController(), &ViewController::documentChanged, this, [this] { painted_ = false; });
}

bool StartupReport::noteShown() const {
    return !expectNote_ || window_.viewController()->lastFileRepresentation();
}

bool StartupReport::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && ready_ && noteShown()) {
        painted_ = true;
        // After the paint event, so that the frame is drawn before the clock stops.
        QTimer::singleShot(0, this, [this] { check(); });
    }
    return QObject::eventFilter(watched, event);
}

void StartupReport::check() {
    const QWindow* handle = window_.windowHandle();
    if (!ready_ || !painted_ || !noteShown() || !handle || !handle->isExposed()) return;
    auto ready = std::move(ready_);
    ready_ = nullptr;
    ready();
}

} // namespace quillet

#include "moc_StartupReport.cpp"
