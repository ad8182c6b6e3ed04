#pragma once
// One cancellable, re-schedulable delayed call: "cancel the pending X and schedule it again".
// schedule() cancels the call still pending and sets up the new one; the destructor cancels.

#include "platform/Dispatcher.h"

#include <mutex>

namespace quillet::platform {

class DelayedCall {
public:
    explicit DelayedCall(Dispatcher& dispatcher = Dispatcher::shared()) : dispatcher_(dispatcher) {}
    ~DelayedCall() { cancel(); }
    DelayedCall(const DelayedCall&) = delete;
    DelayedCall& operator=(const DelayedCall&) = delete;

    void schedule(Duration delay, Task task);
    void cancel();
    // True from schedule() until the call ran or was cancelled.
    bool isPending() const;

private:
    Dispatcher& dispatcher_;
    mutable std::mutex mutex_;
    DelayedCallHandle handle_;
    std::shared_ptr<std::atomic<bool>> ran_;
};

} // namespace quillet::platform
