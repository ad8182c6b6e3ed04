#include "bench/ChildProcess.h"

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace quillet::bench {

namespace {

std::string describeStatus(int status) {
    if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return std::string("killed by signal ") + strsignal(WTERMSIG(status));
    return "stopped";
}

// Kills the child when it outlives the limit. The kill happens under the lock and only while the
// child is known not to be reaped yet, so a recycled process id is never hit.
class Watchdog {
public:
    Watchdog(pid_t pid, double seconds) : pid_(pid) {
        if (seconds > 0) thread_ = std::thread([this, seconds] { watch(seconds); });
    }
    ~Watchdog() { stop(); }

    // Called before reaping the child.
    void stop() {
        {
            std::lock_guard lock(mutex_);
            reaped_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) thread_.join();
    }
    bool fired() const { return fired_; }

private:
    void watch(double seconds) {
        std::unique_lock lock(mutex_);
        if (!wake_.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return reaped_; })) {
            kill(pid_, SIGKILL);
            fired_ = true;
        }
    }

    pid_t pid_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool reaped_ = false;
    bool fired_ = false;
    std::thread thread_;
};

} // namespace

ChildRun runChild(const std::vector<std::string>& argv, const std::filesystem::path& input,
                  const std::filesystem::path& output, double timeLimitSeconds) {
    ChildRun run;
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawnError = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawnError != 0) {
        run.failure = std::string("cannot start ") + argv[0] + ": " + std::strerror(spawnError);
        return run;
    }

    Watchdog watchdog(pid, timeLimitSeconds);
    int status = 0;
    siginfo_t info{};
    // Wait without reaping, so the watchdog can never signal a recycled id; then reap.
    while (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
    }
    watchdog.stop();
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.peakResidentKb = usage.ru_maxrss;
    run.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (watchdog.fired())
        run.failure =
            argv[0] + (": killed after the time limit of " + std::to_string(timeLimitSeconds) + " s");
    else if (!run.succeeded)
        run.failure = argv[0] + (": " + describeStatus(status));
    return run;
}

std::filesystem::path findExecutable(const std::string& name) {
    auto executable = [](const std::filesystem::path& path) {
        return access(path.c_str(), X_OK) == 0 && std::filesystem::is_regular_file(path);
    };
    if (name.find('/') != std::string::npos)
        return executable(name) ? std::filesystem::absolute(name) : std::filesystem::path();
    const char* path = std::getenv("PATH");
    std::string_view dirs = path ? path : "/usr/bin:/bin";
    while (!dirs.empty()) {
        const auto colon = dirs.find(':');
        const auto dir = dirs.substr(0, colon);
        if (!dir.empty() && executable(std::filesystem::path(dir) / name))
            return std::filesystem::path(dir) / name;
        if (colon == std::string_view::npos) break;
        dirs.remove_prefix(colon + 1);
    }
    return {};
}

} // namespace quillet::bench
