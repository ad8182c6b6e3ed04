#pragma once
// Runs a converter as a child process with a file on its standard input and its standard output
// sent to another file (usually /dev/null), and reports what the measurements need: the wall
// time from spawn to reaping, how it ended and its peak resident memory.

#include <filesystem>
#include <string>
#include <vector>

namespace quillet::bench {

struct ChildRun {
    double seconds = 0;      // wall time, spawn to exit
    double cpuSeconds = 0;   // user + system time of the child
    bool succeeded = false;  // exited normally with status 0
    std::string failure;     // how it failed, when it did
    long peakResidentKb = 0; // ru_maxrss of the child
};

// argv[0] is the program (a path, or a name looked up in PATH). A child still running after
// `timeLimitSeconds` (0: no limit) is killed and reported as a failure.
ChildRun runChild(const std::vector<std::string>& argv, const std::filesystem::path& input,
                  const std::filesystem::path& output = "/dev/null", double timeLimitSeconds = 0);

// The program's absolute path when it can be executed, else empty; `name` without a slash is
// looked up in PATH.
std::filesystem::path findExecutable(const std::string& name);

} // namespace quillet::bench
