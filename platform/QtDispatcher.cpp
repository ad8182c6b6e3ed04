#include "platform/QtDispatcher.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <QtDebug>
#include <cmath>

namespace quillet::platform {

void QtDispatcher::onMain(Task task) {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) {
        qWarning("QtDispatcher: no application, a main-queue task was dropped");
        return;
    }
    QMetaObject::invokeMethod(application, std::move(task), Qt::QueuedConnection);
}

void QtDispatcher::onWorker(Task task) {
    QThreadPool::globalInstance()->start(std::move(task));
}

DelayedCallHandle QtDispatcher::after(Duration delay, Task task) {
    DelayedCallHandle handle = DelayedCallHandle::make();
    const int milliseconds = int(std::lround(double(delay.count()) * timeScale_));
    auto cancelled = handle.cancelledFlag();
    auto start = [milliseconds, cancelled, task = std::move(task)]() mutable {
        QTimer::singleShot(milliseconds, QCoreApplication::instance(), [cancelled, task = std::move(task)] {
            if (!cancelled->load()) task();
        });
    };
    // Timers belong to a thread with an event loop: start them from the main thread.
    if (isMainThread())
        start();
    else
        onMain(std::move(start));
    return handle;
}

bool QtDispatcher::isMainThread() const {
    QCoreApplication* application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

void QtDispatcher::flush() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}

void QtDispatcher::waitForWorkers() {
    QThreadPool::globalInstance()->waitForDone();
}

} // namespace quillet::platform
