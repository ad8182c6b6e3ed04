#include "platform/QtDispatcher.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <QtDebug>
#include <cmath>
#include <memory>

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

namespace quillet::platform {

namespace {

// Qt's event queue and thread pool hand a task over under their own locks, which the thread
// sanitizer cannot see in an uninstrumented Qt: say that what the task holds is handed over.
Task handedOver(Task task) {
#if defined(__SANITIZE_THREAD__)
    auto shared = std::make_shared<Task>(std::move(task));
    __tsan_release(shared.get());
    return [shared] {
        __tsan_acquire(shared.get());
        (*shared)();
    };
#else
    return task;
#endif
}

} // namespace

void QtDispatcher::onMain(Task task) {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) {
        qWarning("QtDispatcher: no application, a main-queue task was dropped");
        return;
    }
    QMetaObject::invokeMethod(application, handedOver(std::move(task)), Qt::QueuedConnection);
}

void QtDispatcher::onWorker(Task task) {
    QThreadPool::globalInstance()->start(handedOver(std::move(task)));
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
