#pragma once
// Runs tasks off the main thread one at a time, in the order they were given: the writes of one
// note never overtake each other. Each task's result goes back to the main thread.

#include "platform/Dispatcher.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace quillet {

class WriterQueue {
public:
    explicit WriterQueue(platform::Dispatcher& dispatcher) : dispatcher_(dispatcher) {}

    // `work` runs on a worker after every task given before it; `done` then runs on the main
    // thread (not at all when the queue went away meanwhile).
    template <typename Result>
    void enqueue(std::function<Result()> work, std::function<void(Result)> done) {
        std::weak_ptr<State> state = state_;
        platform::Dispatcher* dispatcher = &dispatcher_;
        push([state, dispatcher, work = std::move(work), done = std::move(done)] {
            Result result = work();
            dispatcher->onMain([state, done, result = std::move(result)] {
                if (state.lock()) done(result);
            });
        });
    }

    // Blocks until every task given so far has run (its `done` may still be queued).
    void waitUntilIdle();

private:
    struct State {
        std::mutex mutex;
        std::condition_variable idle;
        std::deque<std::function<void()>> tasks;
        bool draining = false;
    };
    void push(std::function<void()> task);
    static void drain(const std::shared_ptr<State>& state);

    platform::Dispatcher& dispatcher_;
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace quillet
