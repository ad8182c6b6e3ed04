#include "platform/DelayedCall.h"

namespace quillet::platform {

void DelayedCall::schedule(Duration delay, Task task) {
    std::lock_guard lock(mutex_);
    handle_.cancel();
    auto ran = std::make_shared<std::atomic<bool>>(false);
    ran_ = ran;
    handle_ = dispatcher_.after(delay, [ran, task = std::move(task)] {
        ran->store(true);
        task();
    });
}

void DelayedCall::cancel() {
    std::lock_guard lock(mutex_);
    handle_.cancel();
}

bool DelayedCall::isPending() const {
    std::lock_guard lock(mutex_);
    return handle_.isValid() && !handle_.isCancelled() && ran_ && !ran_->load();
}

} // namespace quillet::platform
