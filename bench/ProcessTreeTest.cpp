#include "bench/ProcessTree.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillet::bench {
namespace {

// A child that spins counts in the tree's CPU time, and its memory in the tree's PSS. Times are
// waited for in CPU seconds: the machine may be busy.
TEST(ProcessTree, CountsTheChildrenAndTheirCpuTime) {
    const pid_t self = getpid();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        for (;;) {
        }
    }
    const double mainBefore = threadCpuSeconds(self, self);
    while (threadCpuSeconds(self, self) < mainBefore + 0.1) {
    }
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (treeCpuSeconds(self) < processCpuSeconds(self) + 0.1 && std::chrono::steady_clock::now() < limit)
        usleep(10000);
    const std::vector<pid_t> tree = processTree(self);
    const double children = treeCpuSeconds(self) - processCpuSeconds(self);
    const Memory memory = treeMemory(self);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);

    ASSERT_EQ(tree.front(), self);
    EXPECT_NE(std::find(tree.begin(), tree.end(), child), tree.end());
    EXPECT_GE(children, 0.1) << "the child's spinning is in the tree's time";
    const double mainThread = threadCpuSeconds(self, self); // read first: both keep growing
    EXPECT_GE(processCpuSeconds(self), mainThread);
    EXPECT_GT(memory.residentKb, 0);
    EXPECT_GT(memory.treePssKb, 0);
}

} // namespace
} // namespace quillet::bench
