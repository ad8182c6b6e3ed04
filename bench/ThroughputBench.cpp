// quillet-bench: how fast quillet-md2html converts Markdown beside two other converters, cmark and
// md4c's HTML renderer, and how it copes with pathological notes.
//
// Build (an optimised build; the benchmark is not a test and ctest does not run it):
//   cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
//   cmake --build build --target quillet-bench quillet-md2html md4c-html-driver
// Run:
//   build/bin/quillet-bench [--runs N] [--clock cpu|wall] [--corpus-mb N] [--docs DIR]
//                           [--work DIR] [--quillet PATH] [--md4c PATH] [--cmark PATH]
//
// Every converter runs as its own process, Markdown on standard input and HTML to /dev/null,
// over the same files; the best of N runs counts (runs of the converters are interleaved so that
// a change in machine load hits all of them alike). Throughput is measured by the children's CPU
// time (user + system) unless --clock wall is given: on a shared, busy machine wall time mostly
// measures the other processes. The pathological notes are judged by wall time. Inputs, written
// to the work folder (default: bench-work/ beside the build's bin/):
//   (a) a generated corpus of 10 MiB mixing every construct of the dialect (fixed seed);
//   (b) the Markdown files under /usr/share/doc, once one process per file, once concatenated;
//   a 1 MiB single-line note and a note of 100,000 '[' characters.
// Throughput is in MB/s with MB = 10^6 bytes; memory is the child's peak resident set (MiB).
// Goals: at least cmark's throughput, within 2x of md4c, each pathological note under 1 s, and
// the corpus converted in under 200 MiB. The exit status is non-zero only when a converter fails.

#include "bench/ChildProcess.h"
#include "bench/CorpusGenerator.h"
#include "bench/DocCorpus.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace quillet::bench;

namespace {

struct Converter {
    std::string name;
    std::vector<std::string> argv;
};

enum class Clock { cpu, wall };

struct Measurement {
    static constexpr double kNone = std::numeric_limits<double>::infinity();
    double seconds = kNone;     // best run by the clock chosen
    double wallSeconds = kNone; // best run, wall time
    double cpuSeconds = kNone;  // best run, the child's user + system time
    long peakResidentKb = 0;    // largest over all runs
    std::string failure;

    bool ok() const { return failure.empty(); }
};

struct Options {
    int runs = 5;
    Clock clock = Clock::cpu;
    std::size_t corpusMiB = 10;
    fs::path docs = "/usr/share/doc";
    fs::path work;
    fs::path quillet, md4c, cmark;
};

constexpr double kChildTimeLimit = 300;    // a converter still running after this is killed
constexpr double kStopRepeatingAfter = 20; // a run this slow is not repeated

[[noreturn]] void usage(const char* message) {
    std::fprintf(
        stderr,
        "quillet-bench: %s\nusage: quillet-bench [--runs N] [--clock cpu|wall] [--corpus-mb N] [--docs DIR]\n"
        "                     [--work DIR] [--quillet PATH] [--md4c PATH] [--cmark PATH]\n",
        message);
    std::exit(2);
}

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (i + 1 >= argc) usage(("missing value after " + flag).c_str());
        const std::string value = argv[++i];
        if (flag == "--runs")
            options.runs = std::max(1, std::atoi(value.c_str()));
        else if (flag == "--corpus-mb")
            options.corpusMiB = static_cast<std::size_t>(std::max(1, std::atoi(value.c_str())));
        else if (flag == "--docs")
            options.docs = value;
        else if (flag == "--clock" && (value == "cpu" || value == "wall"))
            options.clock = value == "cpu" ? Clock::cpu : Clock::wall;
        else if (flag == "--work")
            options.work = value;
        else if (flag == "--quillet")
            options.quillet = value;
        else if (flag == "--md4c")
            options.md4c = value;
        else if (flag == "--cmark")
            options.cmark = value;
        else
            usage(("unknown option " + flag).c_str());
    }
    return options;
}

fs::path ownDirectory() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::current_path() : self.parent_path();
}

// A converter given on the command line, else the one built beside this program, else in PATH.
fs::path locate(const fs::path& given, const std::string& name) {
    if (!given.empty()) return findExecutable(given.string());
    if (auto beside = findExecutable((ownDirectory() / name).string()); !beside.empty()) return beside;
    return findExecutable(name);
}

void writeFile(const fs::path& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) usage(("cannot write " + path.string()).c_str());
}

fs::path concatenate(const std::vector<fs::path>& files, const fs::path& target) {
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        out << in.rdbuf() << '\n';
    }
    return target;
}

// One run of a converter over every input, one process per input: the summed time.
void runOnce(const Converter& converter, const std::vector<fs::path>& inputs, Clock clock,
             Measurement& result) {
    double wall = 0, cpu = 0;
    for (const auto& input : inputs) {
        const ChildRun run = runChild(converter.argv, input, "/dev/null", kChildTimeLimit);
        result.peakResidentKb = std::max(result.peakResidentKb, run.peakResidentKb);
        if (!run.succeeded) {
            result.failure = run.failure + " on " + input.string();
            return;
        }
        wall += run.seconds;
        cpu += run.cpuSeconds;
    }
    result.wallSeconds = std::min(result.wallSeconds, wall);
    result.cpuSeconds = std::min(result.cpuSeconds, cpu);
    result.seconds = clock == Clock::cpu ? result.cpuSeconds : result.wallSeconds;
}

// The best of `runs` runs of each converter, the converters taking turns.
std::vector<Measurement> measure(const std::vector<Converter>& converters,
                                 const std::vector<fs::path>& inputs, const Options& options) {
    std::vector<Measurement> results(converters.size());
    for (int run = 0; run < options.runs; ++run) {
        for (std::size_t i = 0; i < converters.size(); ++i) {
            Measurement& result = results[i];
            if (!result.ok() || (run > 0 && result.seconds > kStopRepeatingAfter)) continue;
            runOnce(converters[i], inputs, options.clock, result);
        }
    }
    return results;
}

double megabytesPerSecond(std::uintmax_t bytes, const Measurement& m) {
    return bytes / 1e6 / m.seconds;
}

void printThroughputRow(const std::string& input, std::uintmax_t bytes,
                        const std::vector<Converter>& converters, const std::vector<Measurement>& results) {
    std::printf("%-34s %11ju", input.c_str(), bytes);
    for (const auto& result : results) {
        if (result.ok())
            std::printf(" %9.2f", megabytesPerSecond(bytes, result));
        else
            std::printf(" %9s", "failed");
    }
    for (std::size_t i = 1; i < results.size(); ++i) {
        if (results[0].ok() && results[i].ok())
            std::printf(" %13.2f", results[i].seconds / results[0].seconds);
        else
            std::printf(" %13s", "-");
    }
    std::printf("\n");
    for (std::size_t i = 0; i < results.size(); ++i)
        if (!results[i].ok())
            std::printf("    %s failed: %s\n", converters[i].name.c_str(), results[i].failure.c_str());
}

void printHeader(const std::vector<Converter>& converters) {
    std::printf("%-34s %11s", "input", "bytes");
    for (const auto& c : converters)
        std::printf(" %9s", (c.name.substr(0, 7) + " MB/s").c_str());
    for (std::size_t i = 1; i < converters.size(); ++i)
        std::printf(" %13s", ("ratio/" + converters[i].name).c_str());
    std::printf("\n");
}

// The output of each converter on `input`, kept in the work folder for inspection.
bool checkOutputs(const std::vector<Converter>& converters, const fs::path& input, const fs::path& work) {
    bool allWell = true;
    for (const auto& converter : converters) {
        const fs::path output = work / (converter.name + ".html");
        const ChildRun run = runChild(converter.argv, input, output, kChildTimeLimit);
        const auto bytes = fs::exists(output) ? fs::file_size(output) : 0;
        std::printf("  %-8s %s, %ju bytes of HTML (%s)\n", converter.name.c_str(),
                    run.succeeded ? "ok" : run.failure.c_str(), bytes, output.c_str());
        allWell = allWell && run.succeeded && bytes > 0;
    }
    return allWell;
}

struct Inputs {
    fs::path corpus, singleLine, brackets, docsJoined;
    DocCorpus docs;
};

struct Results {
    std::vector<Measurement> corpus, docsPerFile, docsJoined, singleLine, brackets;

    bool quilletFailed() const {
        for (const auto* results : {&corpus, &docsPerFile, &docsJoined, &singleLine, &brackets})
            if (!results->empty() && !results->front().ok()) return true;
        return false;
    }
};

// quillet-md2html first: every ratio is taken against it.
std::vector<Converter> findConverters(const Options& options) {
    std::vector<Converter> converters;
    const fs::path quillet = locate(options.quillet, "quillet-md2html");
    if (quillet.empty()) usage("quillet-md2html not found (build it, or give --quillet PATH)");
    converters.push_back({"quillet", {quillet.string()}});
    if (auto cmark = locate(options.cmark, "cmark"); !cmark.empty())
        converters.push_back({"cmark", {cmark.string(), "--unsafe"}}); // raw HTML passes, as in ours
    else
        std::printf("cmark not found: install the Debian package cmark\n");
    if (auto md4c = locate(options.md4c, "md4c-html-driver"); !md4c.empty())
        converters.push_back({"md4c", {md4c.string()}});
    else
        std::printf("md4c-html-driver not found: build the target md4c-html-driver\n");
    return converters;
}

Inputs writeInputs(const Options& options) {
    Inputs inputs;
    CorpusGenerator generator;
    inputs.corpus = options.work / "generated-corpus.md";
    {
        std::ofstream out(inputs.corpus, std::ios::binary | std::ios::trunc);
        generator.writeNotes(out, options.corpusMiB * 1024 * 1024);
        if (!out) usage(("cannot write " + inputs.corpus.string()).c_str());
    }
    inputs.singleLine = options.work / "single-line-1MiB.md";
    writeFile(inputs.singleLine, generator.singleLine(1024 * 1024));
    inputs.brackets = options.work / "brackets-100000.md";
    writeFile(inputs.brackets, std::string(100000, '['));
    inputs.docs = DocCorpus::find(options.docs);
    inputs.docsJoined = concatenate(inputs.docs.files, options.work / "doc-files-concatenated.md");
    return inputs;
}

void printSetting(const Options& options, const std::vector<Converter>& converters, const Inputs& inputs) {
    for (const auto& c : converters)
        std::printf("%-8s %s\n", c.name.c_str(), c.argv[0].c_str());
    std::printf("work folder: %s\n", options.work.c_str());
    std::printf("%s: %zu Markdown files, %ju bytes (%zu more left out as not valid UTF-8)\n",
                options.docs.c_str(), inputs.docs.files.size(), inputs.docs.bytes,
                inputs.docs.skippedInvalidUtf8);
}

Results measureThroughput(const Options& options, const std::vector<Converter>& converters,
                          const Inputs& inputs) {
    std::printf("\nThroughput by %s time, best of %d runs (MB = 10^6 bytes; ratio = other's time / "
                "quillet's time, above 1 means quillet is faster)\n",
                options.clock == Clock::cpu ? "CPU (user + system)" : "wall", options.runs);
    printHeader(converters);
    Results results;
    results.corpus = measure(converters, {inputs.corpus}, options);
    printThroughputRow("generated corpus", fs::file_size(inputs.corpus), converters, results.corpus);
    if (inputs.docs.files.empty()) {
        std::printf("(no Markdown files under %s: no doc rows)\n", options.docs.c_str());
        return results;
    }
    results.docsPerFile = measure(converters, inputs.docs.files, options);
    printThroughputRow("doc files, a process per file", inputs.docs.bytes, converters, results.docsPerFile);
    results.docsJoined = measure(converters, {inputs.docsJoined}, options);
    printThroughputRow("doc files concatenated", fs::file_size(inputs.docsJoined), converters,
                       results.docsJoined);
    return results;
}

void measurePathological(const Options& options, const std::vector<Converter>& converters,
                         const Inputs& inputs, Results& results) {
    std::printf("\nPathological notes, wall seconds (best of %d runs)\n", options.runs);
    results.singleLine = measure(converters, {inputs.singleLine}, options);
    results.brackets = measure(converters, {inputs.brackets}, options);
    auto show = [](const Measurement& m) {
        char text[64];
        std::snprintf(text, sizeof text, "%.3f (CPU %.3f)", m.wallSeconds, m.cpuSeconds);
        return m.ok() ? std::string(text) : m.failure;
    };
    for (std::size_t i = 0; i < converters.size(); ++i)
        std::printf("  %-8s 1 MiB single line: %s   100,000 '[': %s\n", converters[i].name.c_str(),
                    show(results.singleLine[i]).c_str(), show(results.brackets[i]).c_str());
}

void printMemory(const std::vector<Converter>& converters, const Inputs& inputs, const Results& results) {
    // A spawned child's peak includes the resident size of this process before the exec: that
    // floor is shown beside the figures.
    const ChildRun floor = runChild({"true"}, inputs.corpus);
    std::printf("\nPeak resident memory converting the generated corpus (a child of this program "
                "starts at %.1f MiB)\n",
                floor.peakResidentKb / 1024.0);
    for (std::size_t i = 0; i < converters.size(); ++i)
        std::printf("  %-8s %.1f MiB\n", converters[i].name.c_str(),
                    results.corpus[i].peakResidentKb / 1024.0);
}

class Verdicts {
public:
    explicit Verdicts(const std::vector<Converter>& converters) : converters_(converters) {}

    void check(const char* goal, bool met) {
        std::printf("  %-58s %s\n", goal, met ? "met" : "MISSED");
        allMet_ = allMet_ && met;
    }
    // Checked only when the peer ran: other's time / quillet's time at least `least`.
    void checkRatio(const char* goal, const std::string& peer, const std::vector<Measurement>& results,
                    double least) {
        for (std::size_t i = 1; i < results.size(); ++i)
            if (converters_[i].name == peer && results[0].ok() && results[i].ok())
                check(goal, results[i].seconds / results[0].seconds >= least);
    }
    bool allMet() const { return allMet_; }

private:
    const std::vector<Converter>& converters_;
    bool allMet_ = true;
};

void printGoals(const std::vector<Converter>& converters, const Results& results) {
    std::printf("\nGoals\n");
    Verdicts verdicts(converters);
    verdicts.checkRatio("generated corpus: ratio to cmark >= 1.0", "cmark", results.corpus, 1.0);
    verdicts.checkRatio("doc files: ratio to cmark >= 1.0", "cmark", results.docsJoined, 1.0);
    verdicts.checkRatio("generated corpus: within 2x of md4c", "md4c", results.corpus, 0.5);
    verdicts.checkRatio("doc files: within 2x of md4c", "md4c", results.docsJoined, 0.5);
    const Measurement& line = results.singleLine[0];
    const Measurement& brackets = results.brackets[0];
    const Measurement& corpus = results.corpus[0];
    verdicts.check("1 MiB single line under 1 s", line.ok() && line.wallSeconds < 1.0);
    verdicts.check("100,000 '[' under 1 s", brackets.ok() && brackets.wallSeconds < 1.0);
    verdicts.check("generated corpus under 200 MiB resident",
                   corpus.ok() && corpus.peakResidentKb / 1024.0 < 200);
    std::printf("%s\n", verdicts.allMet() ? "All goals met." : "Some goals missed.");
}

} // namespace

int main(int argc, char** argv) {
    Options options = parseOptions(argc, argv);
    if (options.work.empty()) options.work = ownDirectory().parent_path() / "bench-work";
    fs::create_directories(options.work);

    const std::vector<Converter> converters = findConverters(options);
    const Inputs inputs = writeInputs(options);
    printSetting(options, converters, inputs);
    std::printf("\nOutput on the generated corpus:\n");
    const bool outputsWell = checkOutputs(converters, inputs.corpus, options.work);

    Results results = measureThroughput(options, converters, inputs);
    measurePathological(options, converters, inputs, results);
    printMemory(converters, inputs, results);
    printGoals(converters, results);
    return outputsWell && !results.quilletFailed() ? 0 : 1;
}
