#pragma once
// The dispatcher of the running application: QCoreApplication's event loop as the main queue,
// QThreadPool::globalInstance() as the worker pool, single-shot QTimers for delayed calls.
// A time scale below 1 shortens every delay (0.01 turns 5 s into 50 ms) for integration tests.

#include "platform/Dispatcher.h"

namespace quillet::platform {

class QtDispatcher final : public Dispatcher {
public:
    explicit QtDispatcher(double timeScale = 1.0) : timeScale_(timeScale) {}
    void onMain(Task task) override;
    void onWorker(Task task) override;
    DelayedCallHandle after(Duration delay, Task task) override;
    bool isMainThread() const override;
    void flush() override;

    // Blocks the worker pool's callers until every queued worker task has finished.
    static void waitForWorkers();

private:
    double timeScale_;
};

} // namespace quillet::platform
