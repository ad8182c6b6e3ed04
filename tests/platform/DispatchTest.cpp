#include "platform/DelayedCall.h"
#include "platform/ManualDispatcher.h"
#include "platform/QtDispatcher.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <vector>

namespace quillet::platform {
namespace {

TEST(ManualDispatcher, QueuesAndDelayedCallsRunOnlyWhenAsked) {
    ManualDispatcher dispatcher;
    std::vector<std::string> log;
    dispatcher.onWorker([&] {
        log.push_back(dispatcher.isMainThread() ? "worker on main?" : "worker");
        dispatcher.onMain([&] { log.push_back("back on main"); });
        dispatcher.after(seconds(0.5), [&] { log.push_back("delayed"); });
    });
    dispatcher.onMain([&] { log.push_back("main"); });
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(dispatcher.runPending(), 3u);
    dispatcher.advance(seconds(0.4));
    EXPECT_EQ(log, (std::vector<std::string>{"main", "worker", "back on main"}));
    dispatcher.advance(seconds(0.1));
    EXPECT_EQ(log.back(), "delayed");
}

TEST(DelayedCall, RescheduleCancelAndDestructionDropThePendingCall) {
    // Twelve edits one second apart give one save, five seconds after the last.
    ManualDispatcher dispatcher;
    int saves = 0;
    {
        DelayedCall autosave(dispatcher);
        for (int edit = 0; edit < 12; ++edit) {
            autosave.schedule(seconds(5.0), [&] { ++saves; });
            dispatcher.advance(seconds(1.0));
        }
        dispatcher.advance(seconds(3.9));
        EXPECT_EQ(saves, 0);
        dispatcher.advance(seconds(0.1));
        EXPECT_EQ(saves, 1);
        EXPECT_FALSE(autosave.isPending());
        autosave.schedule(seconds(1.0), [&] { ++saves; });
        autosave.cancel();
        dispatcher.advance(seconds(2.0));
        autosave.schedule(seconds(1.0), [&] { ++saves; }); // dropped with the call
    }
    dispatcher.advance(seconds(10.0));
    EXPECT_EQ(saves, 1);
}

// Spins the event loop until `done`; the limit only guards against a hang.
bool spinUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 10'000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

TEST(QtDispatcher, WorkerResultsAndDelayedCallsComeBackToTheMainThreadInOrder) {
    QtDispatcher dispatcher(0.001); // 5 s become 5 ms
    // What ran from the worker, and whether each found itself on the main thread.
    std::atomic<int> workerOnMain{-1}, onMainOnMain{-1}, delayedOnMain{-1};
    std::vector<int> ran;
    dispatcher.after(seconds(5.0), [&] { ran.push_back(5); });
    dispatcher.after(seconds(2.0), [&] { ran.push_back(2); });
    dispatcher.after(seconds(3.0), [&] { ran.push_back(3); }).cancel();
    dispatcher.onWorker([&] {
        workerOnMain = dispatcher.isMainThread();
        dispatcher.onMain([&] { onMainOnMain = dispatcher.isMainThread(); });
        dispatcher.after(seconds(1.0), [&] { delayedOnMain = dispatcher.isMainThread(); });
    });
    ASSERT_TRUE(spinUntil([&] { return ran.size() == 2 && onMainOnMain >= 0 && delayedOnMain >= 0; }));
    EXPECT_EQ(workerOnMain, 0);
    EXPECT_EQ(onMainOnMain, 1);
    EXPECT_EQ(delayedOnMain, 1);
    EXPECT_EQ(ran, (std::vector<int>{2, 5}));
}

} // namespace
} // namespace quillet::platform
