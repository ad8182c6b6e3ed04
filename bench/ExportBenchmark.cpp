// Exporting a 1 MB note to PDF from the command line: the wall time of
// `quillet --export-pdf OUT NOTE` and its peak memory: the resident peak of the quillet process
// (ru_maxrss) and the peak, sampled every 20 ms, of the proportional memory of it and the web
// engine processes it starts.
//
//   cmake --build build --target quillet quillet-export-bench
//   build/bin/quillet-export-bench [--runs N] [--app PATH] [--kb K] [--limit S] [--keep 1]
//
// The note is the benchmark corpus (headers, lists, code, quotes, every inline element), K kB
// (default 1024). Its raw "<details>" lines open elements that are never closed, so the preview
// (and its PDF) shows little past the first one, collapsed: the runs go once on it and once on
// the same note with those tags taken out, which prints every line. A run still going after S
// seconds (default 120) is stopped and reported as not finished. Each run starts in a fresh temporary home. With --keep the note and the PDFs
// stay in the temporary folder printed at the start.

#include "bench/CorpusGenerator.h"
#include "bench/ProcessTree.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <utility>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace quillet::bench;
namespace fs = std::filesystem;

struct Run {
    double seconds = 0;
    long rootPeakKb = 0;
    long treePeakPssKb = 0;
    bool ok = false;
    long pdfBytes = 0;
};

Run exportOnce(const std::string& app, const fs::path& note, const fs::path& home, double limitSeconds) {
    const fs::path pdf = home / "out.pdf";
    const std::string homeVariable = "HOME=" + home.string();
    std::vector<std::string> environment = {homeVariable, "QT_QPA_PLATFORM=offscreen",
                                            "XDG_RUNTIME_DIR=" + home.string(), "QTWEBENGINE_DISABLE_SANDBOX=1"};
    for (char** variable = environ; *variable; ++variable)
        if (std::strncmp(*variable, "HOME=", 5) != 0 && std::strncmp(*variable, "XDG_RUNTIME_DIR=", 16) != 0)
            environment.emplace_back(*variable);
    std::vector<char*> envp;
    for (std::string& variable : environment) envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::vector<std::string> arguments = {app, "--export-pdf", pdf.string(), note.string()};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, app.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) return run;
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, WNOHANG, &usage) == 0) {
        run.treePeakPssKb = std::max(run.treePeakPssKb, treeMemory(pid).treePssKb);
        if (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() > limitSeconds)
            kill(pid, SIGTERM);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.rootPeakKb = usage.ru_maxrss;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && fs::exists(pdf);
    run.pdfBytes = run.ok ? long(fs::file_size(pdf)) : 0;
    return run;
}

} // namespace

int main(int argc, char** argv) {
    int runs = 3;
    std::size_t kilobytes = 1024;
    bool keep = false;
    double limitSeconds = 120;
    std::string app = (fs::path(argv[0]).parent_path() / "quillet").string();
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0) runs = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--app") == 0) app = argv[i + 1];
        else if (std::strcmp(argv[i], "--kb") == 0) kilobytes = std::size_t(std::atol(argv[i + 1]));
        else if (std::strcmp(argv[i], "--limit") == 0) limitSeconds = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--keep") == 0) keep = std::atoi(argv[i + 1]) != 0;
    }
    const fs::path folder = fs::temp_directory_path() / ("quillet-export-bench-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const std::string corpus = CorpusGenerator().notes(kilobytes * 1024);
    const std::string opened = [&corpus] {
        std::string text = corpus;
        for (std::size_t at = text.find("<details>"); at != std::string::npos; at = text.find("<details>", at))
            text.erase(at, 9);
        return text;
    }();
    std::printf("notes in %s\n", folder.c_str());

    int failures = 0;
    for (const auto& [name, text] : {std::pair{"Benchmark", &corpus}, std::pair{"Opened", &opened}}) {
        const fs::path note = folder / (std::string(name) + ".md");
        std::ofstream(note) << *text;
        std::printf("%s.md: %zu bytes\n", name, text->size());
        for (int i = 0; i < runs; ++i) {
            const fs::path home = folder / (std::string(name) + std::to_string(i));
            fs::create_directories(home);
            const Run run = exportOnce(app, note, home, limitSeconds);
            failures += run.ok ? 0 : 1;
            std::printf("  run %d: %s %.2f s, quillet peak RSS %ld MB, tree peak PSS %ld MB, PDF %ld kB\n", i + 1,
                        run.ok ? "ok" : "FAILED", run.seconds, run.rootPeakKb / 1024, run.treePeakPssKb / 1024,
                        run.pdfBytes / 1024);
            std::fflush(stdout);
        }
    }
    if (!keep) fs::remove_all(folder);
    return failures == 0 ? 0 : 1;
}
