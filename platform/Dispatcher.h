#pragma once
// Where work runs: the main queue (the Qt event loop of the main thread), the worker pool, and
// delayed calls on the main queue that can be cancelled. Code takes a Dispatcher so tests can
// drive it with ManualDispatcher and a virtual clock instead of sleeping.

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

namespace quillet::platform {

using Task = std::function<void()>;
using Duration = std::chrono::milliseconds;

// Handle of one delayed call. Cancelling is thread-safe and idempotent; a call that already ran
// stays run. Copies share the call.
class DelayedCallHandle {
public:
    DelayedCallHandle() = default;
    void cancel() const;
    bool isCancelled() const;
    bool isValid() const { return state_ != nullptr; }

    // For dispatcher implementations: a fresh handle, and the flag its call checks before running.
    static DelayedCallHandle make();
    std::shared_ptr<const std::atomic<bool>> cancelledFlag() const { return state_; }

private:
    std::shared_ptr<std::atomic<bool>> state_;
};

class Dispatcher {
public:
    virtual ~Dispatcher() = default;

    // Runs the task later on the main thread, after the tasks already queued there.
    virtual void onMain(Task task) = 0;
    // Runs the task on the worker pool.
    virtual void onWorker(Task task) = 0;
    // Runs the task on the main thread after the delay unless the handle is cancelled first.
    virtual DelayedCallHandle after(Duration delay, Task task) = 0;
    // True on the thread that runs the main queue.
    virtual bool isMainThread() const = 0;
    // On the main thread: runs the tasks queued for it now, without waiting for the event loop
    // (quitting needs the results of the last writes). A manual dispatcher also runs its queued
    // worker tasks.
    virtual void flush() = 0;

    // The process's dispatcher: a QtDispatcher unless one was installed (not owned).
    static Dispatcher& shared();
    static void setShared(Dispatcher* dispatcher); // nullptr restores the default
};

// Seconds as used by the callers ("after 0.5 seconds").
constexpr Duration seconds(double value) {
    return Duration(static_cast<Duration::rep>(value * 1000.0 + 0.5));
}

} // namespace quillet::platform
