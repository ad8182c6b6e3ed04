#include "documents/SearchHelpers.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace quillet {
namespace {

using Clock = std::chrono::steady_clock;

// Waits until `done` holds; false after ten seconds, so a helper that never comes fails the test
// instead of hanging it.
template <typename Done> bool eventually(Done done) {
    for (const auto deadline = Clock::now() + std::chrono::seconds(10); !done();)
        if (Clock::now() > deadline) return false;
    return true;
}

void spinUntil(const std::atomic<bool>& flag) {
    while (!flag)
        std::this_thread::yield();
}

TEST(SearchHelpers, EachWantedHelperTakesTheTaskOnceWithItsOwnNumber) {
    SearchHelpers helpers(3);
    std::mutex mutex;
    std::multiset<std::size_t> numbers;
    std::set<std::thread::id> threads;
    {
        const auto offer = helpers.offer(
            [&](std::size_t number) {
                std::lock_guard lock(mutex);
                numbers.insert(number);
                threads.insert(std::this_thread::get_id());
            },
            3);
        EXPECT_TRUE(eventually([&] {
            std::lock_guard lock(mutex);
            return numbers.size() == 3;
        }));
    }
    EXPECT_EQ(numbers, (std::multiset<std::size_t>{1, 2, 3}));
    EXPECT_EQ(threads.size(), 3u);
    EXPECT_EQ(threads.count(std::this_thread::get_id()), 0u);

    // Fewer wanted than there are helpers: only that many take it, and the helpers serve again.
    std::atomic<int> calls{0};
    {
        const auto offer = helpers.offer([&](std::size_t) { ++calls; }, 1);
        EXPECT_TRUE(eventually([&] { return calls == 1; }));
    }
    EXPECT_EQ(calls, 1);

    SearchHelpers none(0);
    {
        const auto offer = none.offer([&](std::size_t) { ++calls; }, 2);
    }
    EXPECT_EQ(calls, 1);
}

TEST(SearchHelpers, TakingTheTaskBackWaitsForTheHelpersRunningIt) {
    SearchHelpers helpers(1);
    std::atomic<bool> started{false}, release{false}, returned{false}, takenBack{false};
    std::thread owner([&] {
        {
            const auto offer = helpers.offer(
                [&](std::size_t) {
                    started = true;
                    spinUntil(release);
                    returned = true;
                },
                1);
            spinUntil(started);
        }
        takenBack = true;
        EXPECT_TRUE(returned);
    });
    ASSERT_TRUE(eventually([&] { return started.load(); }));
    bool wentWhileRunning = false;
    for (const auto until = Clock::now() + std::chrono::milliseconds(20); Clock::now() < until;)
        wentWhileRunning = wentWhileRunning || takenBack;
    EXPECT_FALSE(wentWhileRunning);
    release = true;
    owner.join();
}

TEST(SearchHelpers, ManyOwnersOfferAndTakeBackAtOnce) {
    SearchHelpers helpers(2);
    // Each task checks that its owner still holds the offer; the states outlive the owners.
    struct State {
        std::atomic<bool> held{true};
        std::atomic<int> calls{0};
    };
    const int owners = 8, rounds = 300;
    std::vector<State> states(owners * rounds);
    std::atomic<int> afterTakenBack{0};
    {
        std::vector<std::jthread> threads;
        for (int owner = 0; owner < owners; ++owner)
            threads.emplace_back([&, owner] {
                for (int i = 0; i < rounds; ++i) {
                    State& state = states[std::size_t(owner * rounds + i)];
                    {
                        const auto offer = helpers.offer(
                            [&](std::size_t) {
                                if (!state.held) ++afterTakenBack;
                                ++state.calls;
                            },
                            2);
                        if (i % 10 == 0) {
                            EXPECT_TRUE(eventually([&] { return state.calls > 0; }));
                        }
                    }
                    state.held = false;
                }
            });
    }
    EXPECT_EQ(afterTakenBack, 0);
    for (const State& state : states)
        EXPECT_LE(state.calls, 2);
}

} // namespace
} // namespace quillet
