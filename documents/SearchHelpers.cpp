#include "documents/SearchHelpers.h"

#include <algorithm>
#include <memory>

namespace quillet {

SearchHelpers::Offer::Offer(SearchHelpers& helpers, std::function<void(std::size_t)> task, std::size_t wanted)
    : helpers_(helpers), task_(std::move(task)), wanted_(wanted) {
    if (wanted_ == 0 || helpers_.threads_.empty()) return;
    {
        std::lock_guard lock(helpers_.mutex_);
        helpers_.offers_.push_back(this);
    }
    if (wanted_ == 1)
        helpers_.wake_.notify_one();
    else
        helpers_.wake_.notify_all();
}

SearchHelpers::Offer::~Offer() {
    helpers_.withdraw(*this);
}

SearchHelpers::SearchHelpers(std::size_t threads) {
    threads = std::min<std::size_t>(threads, 64);
    threads_.reserve(threads);
    try {
        for (std::size_t self = 0; self < threads; ++self)
            threads_.emplace_back([this, self] { serve(self); });
    } catch (const std::system_error&) {
        // Fewer helpers: offers are taken by those there are, or by none.
    }
}

SearchHelpers::~SearchHelpers() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& thread : threads_)
        thread.join();
}

SearchHelpers& SearchHelpers::shared(std::size_t most) {
    static SearchHelpers helpers(
        std::min<std::size_t>(most, std::max(1u, std::thread::hardware_concurrency()) - 1));
    return helpers;
}

void SearchHelpers::serve(std::size_t self) {
    const std::uint64_t bit = std::uint64_t(1) << self;
    std::unique_lock lock(mutex_);
    for (;;) {
        Offer* taken = nullptr;
        wake_.wait(lock, [&] { return stopping_ || (taken = offerFor(self)) != nullptr; });
        if (stopping_) return;
        Offer& offer = *taken;
        offer.takenBy_ |= bit;
        const std::size_t number = ++offer.taken_;
        if (offer.taken_ == offer.wanted_) offers_.erase(std::find(offers_.begin(), offers_.end(), &offer));
        offer.running_.fetch_add(1, std::memory_order_relaxed);
        lock.unlock();
        offer.task_(number);
        // The last use of the offer: once no helper runs its task, its owner may destroy it.
        offer.running_.fetch_sub(1, std::memory_order_release);
        lock.lock();
    }
}

SearchHelpers::Offer* SearchHelpers::offerFor(std::size_t self) const {
    const auto untaken = std::find_if(offers_.begin(), offers_.end(),
                                      [self](const Offer* offer) { return !(offer->takenBy_ >> self & 1); });
    return untaken == offers_.end() ? nullptr : *untaken;
}

void SearchHelpers::withdraw(Offer& offer) {
    if (offer.wanted_ == 0 || threads_.empty()) return;
    {
        std::lock_guard lock(mutex_);
        const auto waiting = std::find(offers_.begin(), offers_.end(), &offer);
        if (waiting != offers_.end()) offers_.erase(waiting);
    }
    // Helpers took the task under the mutex, so none takes it from now on.
    while (offer.running_.load(std::memory_order_acquire) != 0)
        std::this_thread::yield();
}

} // namespace quillet
