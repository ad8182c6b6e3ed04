#include "platform/ManualDispatcher.h"

#include <algorithm>

namespace quillet::platform {

void ManualDispatcher::onMain(Task task) {
    std::lock_guard lock(mutex_);
    main_.push_back(std::move(task));
}

void ManualDispatcher::onWorker(Task task) {
    std::lock_guard lock(mutex_);
    worker_.push_back(std::move(task));
}

DelayedCallHandle ManualDispatcher::after(Duration delay, Task task) {
    std::lock_guard lock(mutex_);
    DelayedCallHandle handle = DelayedCallHandle::make();
    delayed_.push_back({now_ + delay, nextOrder_++, std::move(task), handle});
    return handle;
}

Task ManualDispatcher::takeNextQueued(bool& fromWorker) {
    std::lock_guard lock(mutex_);
    std::deque<Task>& queue = !main_.empty() ? main_ : worker_;
    fromWorker = &queue == &worker_;
    if (queue.empty()) return {};
    Task task = std::move(queue.front());
    queue.pop_front();
    return task;
}

std::size_t ManualDispatcher::runPending() {
    std::size_t ran = 0;
    for (;;) {
        bool fromWorker = false;
        Task task = takeNextQueued(fromWorker);
        if (!task) return ran;
        inWorker_ = fromWorker;
        task();
        inWorker_ = false;
        ++ran;
    }
}

void ManualDispatcher::advance(Duration by) {
    const Duration target = now_ + by;
    for (;;) {
        Task task;
        {
            std::lock_guard lock(mutex_);
            auto due =
                std::min_element(delayed_.begin(), delayed_.end(), [](const Delayed& a, const Delayed& b) {
                    return a.due != b.due ? a.due < b.due : a.order < b.order;
                });
            if (due == delayed_.end() || due->due > target) break;
            now_ = due->due;
            if (!due->handle.isCancelled()) task = std::move(due->task);
            delayed_.erase(due);
        }
        if (task) task();
        runPending();
    }
    now_ = target;
    runPending();
}

std::size_t ManualDispatcher::pendingDelayedCalls() const {
    std::lock_guard lock(mutex_);
    return std::size_t(std::count_if(delayed_.begin(), delayed_.end(),
                                     [](const Delayed& call) { return !call.handle.isCancelled(); }));
}

} // namespace quillet::platform
