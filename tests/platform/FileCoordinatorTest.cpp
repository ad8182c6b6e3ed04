#include "platform/FileCoordinator.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

namespace quillet::platform {
namespace {

using namespace std::chrono_literals;

TEST(FileCoordinator, AccessorsOfOneFileNeverOverlap) {
    FileCoordinator coordinator;
    std::atomic<int> inside{0};
    std::atomic<int> mostAtOnce{0};
    auto access = [&](const QString&) {
        const int now = ++inside;
        mostAtOnce = std::max(mostAtOnce.load(), now);
        std::this_thread::sleep_for(1ms);
        --inside;
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20; ++i) {
                EXPECT_TRUE(
                    coordinator.coordinateWriting("/notes/a.md", WritingOption::forMerging, access).ok);
                // The same file under another spelling is the same file.
                EXPECT_TRUE(
                    coordinator.coordinateReading("/notes/./x/../a.md", ReadingOption::none, access).ok);
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(mostAtOnce.load(), 1);
}

TEST(FileCoordinator, DifferentFilesDoNotWaitForEachOther) {
    FileCoordinator coordinator;
    std::promise<void> secondRan;
    auto secondDone = secondRan.get_future();
    std::future_status waited = std::future_status::timeout;
    std::thread first([&] {
        coordinator.coordinateWriting("/notes/a.md", WritingOption::none, [&](const QString&) {
            // Holds a.md until b.md's accessor has run; serialising both would never get there.
            waited = secondDone.wait_for(10s);
        });
    });
    std::thread second([&] {
        coordinator.coordinateReading("/notes/b.md", ReadingOption::none,
                                      [&](const QString&) { secondRan.set_value(); });
    });
    first.join();
    second.join();
    EXPECT_EQ(waited, std::future_status::ready);
}

TEST(FileCoordinator, NestedCoordinationOfTheSameFileAndPathsHandedOver) {
    FileCoordinator coordinator;
    QString outer, inner;
    const Status status = coordinator.coordinateWriting(
        "/notes//Recipes/./Bread.md", WritingOption::forDeleting, [&](const QString& path) {
            outer = path;
            coordinator.coordinateReading(path, ReadingOption::none,
                                          [&](const QString& again) { inner = again; });
        });
    EXPECT_TRUE(status.ok);
    EXPECT_EQ(outer, "/notes/Recipes/Bread.md");
    EXPECT_EQ(inner, outer);
}

TEST(FileCoordinator, OppositeMovesDoNotDeadlock) {
    FileCoordinator coordinator;
    std::atomic<int> moves{0};
    auto mover = [&](const QString& from, const QString& to) {
        for (int i = 0; i < 500; ++i) {
            coordinator.coordinateWriting(from, WritingOption::forMoving, to, WritingOption::forReplacing,
                                          [&](const QString& a, const QString& b) {
                                              EXPECT_EQ(a, from);
                                              EXPECT_EQ(b, to);
                                              ++moves;
                                          });
        }
    };
    auto done = std::async(std::launch::async, [&] {
        std::thread one(mover, "/n/a.md", "/n/b.md");
        std::thread two(mover, "/n/b.md", "/n/a.md");
        std::thread same(mover, "/n/c.md", "/n/c.md");
        one.join();
        two.join();
        same.join();
    });
    ASSERT_EQ(done.wait_for(30s), std::future_status::ready) << "deadlock";
    EXPECT_EQ(moves.load(), 1500);
}

TEST(FileCoordinator, RelativeOrEmptyPathsAreRefusedWithoutRunningTheAccessor) {
    FileCoordinator coordinator;
    bool ran = false;
    EXPECT_FALSE(
        coordinator.coordinateReading("", ReadingOption::none, [&](const QString&) { ran = true; }).ok);
    EXPECT_FALSE(
        coordinator.coordinateWriting("notes/a.md", WritingOption::none, [&](const QString&) { ran = true; })
            .ok);
    EXPECT_FALSE(coordinator
                     .coordinateWriting("/a.md", WritingOption::forMoving, "b.md",
                                        WritingOption::forReplacing,
                                        [&](const QString&, const QString&) { ran = true; })
                     .ok);
    EXPECT_FALSE(ran);
}

} // namespace
} // namespace quillet::platform
