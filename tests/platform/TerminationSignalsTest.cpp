#include "platform/TerminationSignals.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <csignal>
#include <gtest/gtest.h>

namespace quillet::platform {
namespace {

TEST(TerminationSignals, EachSignalReachesTheEventLoopOnceInOrder) {
    TerminationSignals termination;
    ASSERT_TRUE(termination.isInstalled());
    QSignalSpy requested(&termination, &TerminationSignals::terminationRequested);
    ::raise(SIGTERM);
    EXPECT_TRUE(requested.isEmpty()) << "emitted inside the handler, not from the event loop";
    ::raise(SIGHUP);
    ::raise(SIGINT);
    while (requested.size() < 3 && requested.wait(5000)) {
    }
    QCoreApplication::processEvents();
    QList<int> numbers;
    for (const QList<QVariant>& emission : requested)
        numbers << emission.first().toInt();
    EXPECT_EQ(numbers, (QList<int>{SIGTERM, SIGHUP, SIGINT}));
}

volatile sig_atomic_t earlierHandlerSaw = 0;

TEST(TerminationSignals, ASecondInstanceStandsAsideAndTheEarlierHandlerComesBack) {
    struct sigaction earlier {}, original {};
    earlier.sa_handler = [](int signalNumber) { earlierHandlerSaw = signalNumber; };
    ::sigaction(SIGTERM, &earlier, &original);
    {
        TerminationSignals first;
        QSignalSpy requested(&first, &TerminationSignals::terminationRequested);
        EXPECT_FALSE(TerminationSignals().isInstalled());
        ::raise(SIGTERM);
        EXPECT_TRUE(requested.wait(5000)) << "the second instance took the handler away";
    }
    ::raise(SIGTERM);
    EXPECT_EQ(earlierHandlerSaw, SIGTERM);
    ::sigaction(SIGTERM, &original, nullptr);
}

} // namespace
} // namespace quillet::platform
