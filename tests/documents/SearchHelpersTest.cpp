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

// Waits until `done` holds, for at most a few seconds (a helper that never comes fails the test
// instead of hanging it).
template <typename Done> bool eventually(Done done) {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::yield();
    }
    return true;
}

TEST(SearchHelpers, EachWantedHelperTakesTheTaskOnceWithItsOwnNumber) {
    SearchHelpers helpers(3);
    ASSERT_EQ(helpers.threads(), 3u);
    std::mutex mutex;
    std::multiset<std::size_t> numbers;
    std::set<std::thread::id> threads;
    {
        const SearchHelpers::Offer offer = helpers.offer(
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
        const SearchHelpers::Offer offer = helpers.offer([&](std::size_t) { ++calls; }, 1);
        EXPECT_TRUE(eventually([&] { return calls == 1; }));
    }
    EXPECT_EQ(calls, 1);
}

TEST(SearchHelpers, TakingTheTaskBackWaitsForTheHelpersRunningIt) {
    SearchHelpers helpers(1);
    std::atomic<bool> started{false}, release{false}, returned{false}, takenBack{false};
    std::thread owner([&] {
        {
            const SearchHelpers::Offer offer = helpers.offer(
                [&](std::size_t) {
                    started = true;
                    while (!release)
                        std::this_thread::yield();
                    returned = true;
                },
                1);
            ASSERT_TRUE(eventually([&] { return started.load(); }));
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
    EXPECT_TRUE(takenBack);
}

TEST(SearchHelpers, AnOfferTakenBackBeforeAnyHelperCameIsNeverRun) {
    SearchHelpers helpers(1);
    std::atomic<bool> busy{false}, release{false}, late{false};
    std::thread owner([&] {
        const SearchHelpers::Offer offer = helpers.offer(
            [&](std::size_t) {
                busy = true;
                while (!release)
                    std::this_thread::yield();
            },
            1);
        ASSERT_TRUE(eventually([&] { return busy.load(); }));
        while (!release)
            std::this_thread::yield();
    });
    ASSERT_TRUE(eventually([&] { return busy.load(); }));
    {
        const SearchHelpers::Offer unserved = helpers.offer([&](std::size_t) { late = true; }, 1);
    }
    release = true;
    owner.join();
    // The helper is idle again; it must not find the offer that went.
    std::atomic<bool> next{false};
    {
        const SearchHelpers::Offer offer = helpers.offer([&](std::size_t) { next = true; }, 1);
        EXPECT_TRUE(eventually([&] { return next.load(); }));
    }
    EXPECT_FALSE(late);
}

TEST(SearchHelpers, ManyOwnersOfferAndTakeBackAtOnce) {
    SearchHelpers helpers(2);
    // Each task checks that its owner still holds the offer; the states outlive the test's threads.
    struct State {
        std::atomic<bool> held{true};
        std::atomic<int> calls{0};
    };
    std::vector<std::unique_ptr<State>> states(8 * 300);
    for (auto& state : states)
        state = std::make_unique<State>();
    std::atomic<int> afterTakenBack{0};
    std::vector<std::thread> owners;
    for (int owner = 0; owner < 8; ++owner) {
        owners.emplace_back([&, owner] {
            for (int i = 0; i < 300; ++i) {
                State& state = *states[std::size_t(owner * 300 + i)];
                {
                    const SearchHelpers::Offer offer = helpers.offer(
                        [&state, &afterTakenBack](std::size_t) {
                            if (!state.held) ++afterTakenBack;
                            ++state.calls;
                        },
                        2);
                    if (i % 10 == 0) {
                        EXPECT_TRUE(eventually([&state] { return state.calls > 0; }));
                    }
                }
                state.held = false;
            }
        });
    }
    for (std::thread& owner : owners)
        owner.join();
    EXPECT_EQ(afterTakenBack, 0);
    int served = 0;
    for (const auto& state : states) {
        EXPECT_LE(state->calls, 2);
        served += state->calls;
    }
    EXPECT_GT(served, 0);
}

TEST(SearchHelpers, WithoutHelpersAnOfferIsNeverRun) {
    SearchHelpers helpers(0);
    std::atomic<bool> ran{false};
    {
        const SearchHelpers::Offer offer = helpers.offer([&](std::size_t) { ran = true; }, 2);
    }
    EXPECT_FALSE(ran);
}

} // namespace
} // namespace quillet
