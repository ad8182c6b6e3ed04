#pragma once
// A dispatcher for tests: nothing runs until the test says so. Main and worker tasks wait in
// queues and delayed calls on a virtual clock; runPending() runs the queues on the calling
// thread and advance() moves the clock, running every call that falls due, in time order.
// Tasks run from the worker queue see isMainThread() false.

#include "platform/Dispatcher.h"

#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

namespace quillet::platform {

class ManualDispatcher final : public Dispatcher {
public:
    void onMain(Task task) override;
    void onWorker(Task task) override;
    DelayedCallHandle after(Duration delay, Task task) override;
    bool isMainThread() const override { return !inWorker_; }
    void flush() override { runPending(); }

    // Runs queued main and worker tasks (and what they queue) until both queues are empty;
    // returns how many ran.
    std::size_t runPending();
    // Moves the virtual clock forward, running delayed calls as they fall due (each followed by
    // runPending()), then runPending().
    void advance(Duration by);
    Duration now() const { return now_; }
    // Delayed calls neither run nor cancelled.
    std::size_t pendingDelayedCalls() const;

private:
    struct Delayed {
        Duration due;
        std::size_t order;
        Task task;
        DelayedCallHandle handle;
    };

    Task takeNextQueued(bool& fromWorker);

    mutable std::mutex mutex_;
    std::deque<Task> main_;
    std::deque<Task> worker_;
    std::vector<Delayed> delayed_;
    std::size_t nextOrder_ = 0;
    Duration now_{0};
    bool inWorker_ = false;
};

} // namespace quillet::platform
