#include "bench/ChildProcess.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

namespace quillet::bench {
namespace {

class ChildProcessFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const auto stem =
            std::filesystem::temp_directory_path() / ("child-process-test-" + std::to_string(getpid()));
        input_ = stem.string() + ".in";
        output_ = stem.string() + ".out";
        std::ofstream(input_) << "line one\nline two\n";
    }
    void TearDown() override {
        std::filesystem::remove(input_);
        std::filesystem::remove(output_);
    }
    std::string output() const {
        std::ifstream in(output_);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path input_, output_;
};

TEST_F(ChildProcessFiles, ChildReadsTheInputAndWritesTheOutput) {
    const ChildRun run = runChild({"cat"}, input_, output_);
    EXPECT_TRUE(run.succeeded) << run.failure;
    EXPECT_EQ(output(), "line one\nline two\n");
    EXPECT_GT(run.seconds, 0.0);
    EXPECT_GT(run.peakResidentKb, 0);
}

TEST_F(ChildProcessFiles, FailuresAreReportedNotCounted) {
    const ChildRun exited = runChild({"sh", "-c", "exit 3"}, input_, output_);
    EXPECT_FALSE(exited.succeeded);
    EXPECT_NE(exited.failure.find("exit status 3"), std::string::npos) << exited.failure;

    const ChildRun crashed = runChild({"sh", "-c", "kill -SEGV $$"}, input_, output_);
    EXPECT_FALSE(crashed.succeeded);
    EXPECT_NE(crashed.failure.find("signal"), std::string::npos) << crashed.failure;

    const ChildRun missing = runChild({"/nonexistent/converter"}, input_, output_);
    EXPECT_FALSE(missing.succeeded);
    EXPECT_FALSE(missing.failure.empty());
}

TEST_F(ChildProcessFiles, ChildPastTheTimeLimitIsKilled) {
    const ChildRun run = runChild({"sleep", "30"}, input_, output_, 0.2);
    EXPECT_FALSE(run.succeeded);
    EXPECT_NE(run.failure.find("time limit"), std::string::npos) << run.failure;
    EXPECT_LT(run.seconds, 10.0);
}

TEST_F(ChildProcessFiles, FindExecutableLooksInPathAndChecksThePermission) {
    EXPECT_FALSE(findExecutable("sh").empty());
    EXPECT_TRUE(findExecutable("sh").is_absolute());
    EXPECT_TRUE(findExecutable("no-such-program-anywhere").empty());
    std::filesystem::permissions(input_,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_TRUE(findExecutable(input_.string()).empty()); // exists, not executable
    std::filesystem::permissions(input_, std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    EXPECT_EQ(findExecutable(input_.string()), input_);
}

} // namespace
} // namespace quillet::bench
