#include "documents/WriterQueue.h"

namespace quillet {

void WriterQueue::push(std::function<void()> task) {
    bool start = false;
    {
        std::lock_guard lock(state_->mutex);
        state_->tasks.push_back(std::move(task));
        start = !state_->draining;
        state_->draining = true;
    }
    // The drain keeps the state alive: quitting waits for the last write even after the queue's
    // owner is gone.
    if (start) dispatcher_.onWorker([state = state_] { drain(state); });
}

void WriterQueue::drain(const std::shared_ptr<State>& state) {
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard lock(state->mutex);
            if (state->tasks.empty()) {
                state->draining = false;
                state->idle.notify_all();
                return;
            }
            task = std::move(state->tasks.front());
            state->tasks.pop_front();
        }
        task();
    }
}

void WriterQueue::waitUntilIdle() {
    std::unique_lock lock(state_->mutex);
    state_->idle.wait(lock, [this] { return !state_->draining; });
}

} // namespace quillet
