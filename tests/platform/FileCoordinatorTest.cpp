#include "platform/FileCoordinator.h"

#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace quillet::platform {
namespace {

using namespace std::chrono_literals;

TEST(FileCoordinator, AccessorsOfOneFileUnderAnySpellingNeverOverlapAndMayNest) {
    FileCoordinator coordinator;
    std::atomic<int> inside{0}, mostAtOnce{0};
    auto access = [&](const QString&) {
        const int now = ++inside;
        mostAtOnce = std::max(mostAtOnce.load(), now);
        std::this_thread::sleep_for(1ms);
        --inside;
    };
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&] {
                for (int i = 0; i < 20; ++i) {
                    coordinator.coordinateWriting("/notes/a.md", WritingOption::forMerging, access);
                    coordinator.coordinateReading("/notes/./x/../a.md", ReadingOption::none, access);
                }
            });
    }
    EXPECT_EQ(mostAtOnce.load(), 1);

    QString outer, inner;
    coordinator.coordinateWriting("/notes//./a.md", WritingOption::forDeleting, [&](const QString& path) {
        outer = path;
        coordinator.coordinateReading(path, ReadingOption::none,
                                      [&](const QString& again) { inner = again; });
    });
    EXPECT_EQ(outer, "/notes/a.md");
    EXPECT_EQ(inner, outer);
}

TEST(FileCoordinator, OppositeMovesDoNotDeadlock) {
    FileCoordinator coordinator;
    std::atomic<int> moves{0};
    auto mover = [&](const QString& from, const QString& to) {
        for (int i = 0; i < 500; ++i)
            coordinator.coordinateWriting(
                from, WritingOption::forMoving, to, WritingOption::forReplacing,
                [&](const QString& a, const QString& b) { moves += a == from && b == to; });
    };
    auto done = std::async(std::launch::async, [&] {
        std::jthread one(mover, "/n/a.md", "/n/b.md"), two(mover, "/n/b.md", "/n/a.md"),
            same(mover, "/n/c.md", "/n/c.md");
    });
    ASSERT_EQ(done.wait_for(30s), std::future_status::ready) << "deadlock";
    EXPECT_EQ(moves.load(), 1500);
}

TEST(FileCoordinator, RelativeOrEmptyPathsAreRefusedWithoutRunningTheAccessor) {
    FileCoordinator coordinator;
    bool ran = false;
    auto one = [&](const QString&) { ran = true; };
    EXPECT_FALSE(coordinator.coordinateReading("", ReadingOption::none, one).ok);
    EXPECT_FALSE(coordinator.coordinateWriting("notes/a.md", WritingOption::none, one).ok);
    EXPECT_FALSE(coordinator
                     .coordinateWriting("/a.md", WritingOption::forMoving, "b.md",
                                        WritingOption::forReplacing,
                                        [&](const QString&, const QString&) { ran = true; })
                     .ok);
    EXPECT_FALSE(ran);
}

} // namespace
} // namespace quillet::platform
