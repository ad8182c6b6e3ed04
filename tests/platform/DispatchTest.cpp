#include "platform/DelayedCall.h"
#include "platform/ManualDispatcher.h"
#include "platform/QtDispatcher.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace quillet::platform {
namespace {

TEST(ManualDispatcher, QueuesRunInOrderOnlyWhenAsked) {
    ManualDispatcher dispatcher;
    std::vector<std::string> log;
    dispatcher.onWorker([&] {
        log.push_back(dispatcher.isMainThread() ? "worker on main?" : "worker");
        dispatcher.onMain([&] { log.push_back("back on main"); });
    });
    dispatcher.onMain([&] { log.push_back(dispatcher.isMainThread() ? "main" : "main off main?"); });
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(dispatcher.runPending(), 3u);
    EXPECT_EQ(log, (std::vector<std::string>{"main", "worker", "back on main"}));
    EXPECT_EQ(dispatcher.runPending(), 0u);
}

TEST(ManualDispatcher, DelayedCallsRunWhenTheVirtualClockReachesThem) {
    ManualDispatcher dispatcher;
    std::vector<int> ran;
    dispatcher.after(seconds(2.0), [&] { ran.push_back(2); });
    dispatcher.after(seconds(0.5), [&] {
        ran.push_back(1);
        dispatcher.after(seconds(0.5), [&] { ran.push_back(3); }); // due at 1.0 s
    });
    const DelayedCallHandle cancelled = dispatcher.after(seconds(1.0), [&] { ran.push_back(99); });
    cancelled.cancel();
    EXPECT_EQ(dispatcher.pendingDelayedCalls(), 2u);

    dispatcher.advance(seconds(0.4));
    EXPECT_TRUE(ran.empty());
    dispatcher.advance(seconds(0.6));
    EXPECT_EQ(ran, (std::vector<int>{1, 3}));
    dispatcher.advance(seconds(1.0));
    EXPECT_EQ(ran, (std::vector<int>{1, 3, 2}));
    EXPECT_EQ(dispatcher.now(), seconds(2.0));
    EXPECT_EQ(dispatcher.pendingDelayedCalls(), 0u);
}

TEST(DelayedCall, RescheduleCancelsThePendingCall) {
    // Twelve edits one second apart give one save, five seconds after the last.
    ManualDispatcher dispatcher;
    DelayedCall autosave(dispatcher);
    int saves = 0;
    for (int edit = 0; edit < 12; ++edit) {
        autosave.schedule(seconds(5.0), [&] { ++saves; });
        EXPECT_TRUE(autosave.isPending());
        dispatcher.advance(seconds(1.0));
    }
    EXPECT_EQ(saves, 0);
    dispatcher.advance(seconds(3.9));
    EXPECT_EQ(saves, 0);
    dispatcher.advance(seconds(0.1));
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(autosave.isPending());

    autosave.schedule(seconds(1.0), [&] { ++saves; });
    autosave.cancel();
    EXPECT_FALSE(autosave.isPending());
    dispatcher.advance(seconds(10.0));
    EXPECT_EQ(saves, 1);
}

TEST(DelayedCall, DestroyingItCancels) {
    ManualDispatcher dispatcher;
    int ran = 0;
    {
        DelayedCall call(dispatcher);
        call.schedule(seconds(1.0), [&] { ++ran; });
    }
    dispatcher.advance(seconds(2.0));
    EXPECT_EQ(ran, 0);
}

TEST(SharedDispatcher, CanBeReplacedForTests) {
    ManualDispatcher manual;
    Dispatcher::setShared(&manual);
    EXPECT_EQ(&Dispatcher::shared(), &manual);
    Dispatcher::setShared(nullptr);
    EXPECT_NE(dynamic_cast<QtDispatcher*>(&Dispatcher::shared()), nullptr);
}

// Spins the event loop until `done` or a generous limit; the limit only guards against a hang.
bool spinUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 10'000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

TEST(QtDispatcher, WorkerResultsComeBackToTheMainThread) {
    QtDispatcher dispatcher;
    ASSERT_TRUE(dispatcher.isMainThread());
    std::atomic<bool> workerWasMain{true};
    std::atomic<bool> mainWasMain{false};
    std::atomic<bool> done{false};
    dispatcher.onWorker([&] {
        workerWasMain = dispatcher.isMainThread();
        dispatcher.onMain([&] {
            mainWasMain = dispatcher.isMainThread();
            done = true;
        });
    });
    ASSERT_TRUE(spinUntil([&] { return done.load(); }));
    EXPECT_FALSE(workerWasMain);
    EXPECT_TRUE(mainWasMain);
}

TEST(QtDispatcher, ScaledDelayedCallsFireInOrderAndCancelledOnesNever) {
    QtDispatcher dispatcher(0.001); // 5 s become 5 ms
    std::vector<int> ran;
    dispatcher.after(seconds(5.0), [&] { ran.push_back(5); });
    dispatcher.after(seconds(2.0), [&] { ran.push_back(2); });
    dispatcher.after(seconds(3.0), [&] { ran.push_back(3); }).cancel();
    std::atomic<bool> scheduledFromWorker{false};
    dispatcher.onWorker(
        [&] { dispatcher.after(seconds(1.0), [&] { scheduledFromWorker = dispatcher.isMainThread(); }); });
    ASSERT_TRUE(spinUntil([&] { return ran.size() == 2 && scheduledFromWorker; }));
    EXPECT_EQ(ran, (std::vector<int>{2, 5}));
    QCoreApplication::processEvents();
    EXPECT_EQ(ran.size(), 2u);
}

} // namespace
} // namespace quillet::platform
