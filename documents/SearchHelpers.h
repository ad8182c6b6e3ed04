#pragma once
// Threads kept to help with long searches. Starting a thread for every search costs the caller
// about as much as searching a piece of the note, and the new thread is running only a while
// later; a kept thread is woken instead.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace quillet {

class SearchHelpers {
public:
    // A task offered to helpers. Until it is destroyed, idle helpers take it, each calling it
    // once with its own number, from 1 up to the number of helpers wanted. Destroying it takes the
    // task back from helpers that have not taken it yet and waits (without sleeping: the task's
    // work is expected to be nearly done) for those that have to return from it.
    class Offer {
    public:
        Offer(const Offer&) = delete;
        Offer& operator=(const Offer&) = delete;
        ~Offer();

    private:
        friend class SearchHelpers;
        Offer(SearchHelpers& helpers, std::function<void(std::size_t)> task, std::size_t wanted);

        SearchHelpers& helpers_;
        std::function<void(std::size_t)> task_;
        std::size_t wanted_;
        std::size_t taken_ = 0;               // guarded by the helpers' mutex
        std::uint64_t takenBy_ = 0;           // a bit for each helper that took it, likewise
        std::atomic<std::size_t> running_{0}; // helpers inside the task
    };

    // `threads` helpers (at most 64), started at once.
    explicit SearchHelpers(std::size_t threads);
    SearchHelpers(const SearchHelpers&) = delete;
    SearchHelpers& operator=(const SearchHelpers&) = delete;
    ~SearchHelpers();

    // The helpers of the process: one fewer than the cores, and no more than `most`; started when
    // first asked for.
    static SearchHelpers& shared(std::size_t most);

    std::size_t threads() const { return threads_.size(); }

    // Offers `task` to `wanted` helpers (fewer take it when the others are busy).
    Offer offer(std::function<void(std::size_t)> task, std::size_t wanted) {
        return Offer(*this, std::move(task), wanted);
    }

private:
    void serve(std::size_t self);
    // The oldest offer `self` has not taken yet, or none.
    Offer* offerFor(std::size_t self) const;
    void withdraw(Offer& offer);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Offer*> offers_; // offers with helpers still wanted, oldest first
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace quillet
