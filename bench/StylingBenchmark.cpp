// The editor styling's speed on a large note: a full restyle, and single keystrokes.
//
//   cmake --build build --target quillet-styling-bench && build/bin/quillet-styling-bench [SEED]
//
// The note is the benchmark corpus's deterministic 1 MB of Markdown (every construct of the
// dialect, about 22,000 lines). A full restyle styles all of it over an AttributedText, first on
// fresh text and then over text already styled. A keystroke inserts one character at a random
// place, with the calls the editor makes around an edit (preprocessMarkdown before,
// processMarkdown after), over 1,000 places. Goals: a full restyle under 150 ms; a keystroke's
// median under 50 us and 99th percentile under 1 ms, apart from edits that change the block
// state of many following lines, which are reported on their own.

#include "bench/CorpusGenerator.h"
#include "bench/Statistics.h"
#include "engine/AttributedText.h"
#include "engine/MarkdownString.h"
#include "engine/UrlText.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <numeric>
#include <random>
#include <string>
#include <vector>

using namespace quillet;
using namespace quillet::bench;
using Clock = std::chrono::steady_clock;
using Duration = std::chrono::duration<double, std::micro>;

namespace {

constexpr std::size_t kNoteBytes = 1000000;
constexpr int kFullRestyles = 7;
constexpr int kKeystrokes = 1000;
// A keystroke whose restyling reaches further than this many lines counts as one that changed
// the state of the lines below.
constexpr std::size_t kFarReach = 50;

// The time this thread has run: on a machine shared with other work, the figure that measures
// the code rather than the machine's load.
Duration threadTime() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

// Runs `work` and gives its wall-clock and thread time, in microseconds.
template <typename Work> std::pair<double, double> timed(Work work) {
    const auto wallStart = Clock::now();
    const Duration cpuStart = threadTime();
    work();
    return {Duration(Clock::now() - wallStart).count(), (threadTime() - cpuStart).count()};
}

std::size_t lineCount(const AttributedText& text, Range range) {
    std::size_t lines = 0;
    for (std::size_t position = range.location; position < range.end();) {
        const Range line = text.lineRange(position);
        if (line.empty()) break;
        ++lines;
        position = line.end();
    }
    return lines;
}

struct Editor {
    InMemoryFontProvider fonts;
    MarkdownString engine;
    Editor() { engine.setMarkdownFont(fonts.font(u"Regular", 15), fonts); }
};

void fullRestyles(const std::u16string& note) {
    std::vector<double> freshWall, freshCpu, againWall, againCpu;
    for (int run = 0; run < kFullRestyles; ++run) {
        Editor editor;
        AttributedText text(note);
        const auto restyle = [&] { editor.engine.processMarkdown(text, {0, text.length()}); };
        const auto [wall, cpu] = timed(restyle);
        freshWall.push_back(wall / 1000);
        freshCpu.push_back(cpu / 1000);
        const auto [wallAgain, cpuAgain] = timed(restyle);
        againWall.push_back(wallAgain / 1000);
        againCpu.push_back(cpuAgain / 1000);
    }
    std::printf("full restyle (median of %d; goal under 150 ms):\n", kFullRestyles);
    std::printf("    fresh text:   %6.1f ms thread time, %6.1f ms wall\n", percentile(freshCpu, 0.5),
                percentile(freshWall, 0.5));
    std::printf("    styled text:  %6.1f ms thread time, %6.1f ms wall\n", percentile(againCpu, 0.5),
                percentile(againWall, 0.5));
}

void printSpread(const char* what, const std::vector<double>& cpu, const std::vector<double>& wall) {
    std::printf("    %-34s median %6.1f us, 99th percentile %7.1f us thread time; wall %6.1f / %7.1f us\n",
                what, percentile(cpu, 0.5), percentile(cpu, 0.99), percentile(wall, 0.5),
                percentile(wall, 0.99));
}

void keystrokes(const std::u16string& note, unsigned seed) {
    Editor editor;
    AttributedText text(note);
    editor.engine.processMarkdown(text, {0, text.length()});
    std::mt19937 random(seed);
    std::vector<double> allCpu, allWall, nearCpu, nearWall;
    struct FarReach {
        std::size_t lines;
        double cpu;
    };
    std::vector<FarReach> far;
    for (int i = 0; i < kKeystrokes; ++i) {
        const std::size_t at = random() % (text.length() + 1);
        Range restyled;
        const auto [wall, cpu] = timed([&] {
            editor.engine.preprocessMarkdown(text, {at, 0});
            text.replaceCharacters({at, 0}, u"a");
            restyled = editor.engine.processMarkdown(text, {at, 1});
        });
        allCpu.push_back(cpu);
        allWall.push_back(wall);
        const std::size_t lines = lineCount(text, restyled);
        if (lines > kFarReach) {
            far.push_back({lines, cpu});
        } else {
            nearCpu.push_back(cpu);
            nearWall.push_back(wall);
        }
    }
    std::printf("keystroke at %d random places (goals: median under 50 us, 99th percentile under 1 ms):\n",
                kKeystrokes);
    printSpread("all:", allCpu, allWall);
    char label[64];
    std::snprintf(label, sizeof label, "%zu restyling up to %zu lines:", nearCpu.size(), kFarReach);
    printSpread(label, nearCpu, nearWall);
    if (far.empty()) return;
    std::sort(far.begin(), far.end(), [](const FarReach& a, const FarReach& b) { return a.lines < b.lines; });
    std::vector<double> farCpu;
    std::size_t farLines = 0;
    for (const FarReach& reach : far) {
        farCpu.push_back(reach.cpu);
        farLines += reach.lines;
    }
    std::printf(
        "    %zu restyling more lines: %zu to %zu lines (median %zu), median %.1f us, worst %.1f us;\n",
        far.size(), far.front().lines, far.back().lines, far[far.size() / 2].lines, percentile(farCpu, 0.5),
        percentile(farCpu, 1));
    std::printf("    about %.2f us a line restyled\n",
                std::accumulate(farCpu.begin(), farCpu.end(), 0.0) / static_cast<double>(farLines));
    std::printf("    the farthest:");
    for (std::size_t i = far.size() > 5 ? far.size() - 5 : 0; i < far.size(); ++i)
        std::printf(" %zu lines in %.0f us;", far[i].lines, far[i].cpu);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    const unsigned seed = argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)) : 7;
    const std::string bytes = bench::CorpusGenerator().notes(kNoteBytes);
    const std::u16string note = utf16FromBytes(bytes);
    std::printf("note: %zu bytes, %zu UTF-16 code units, %zu lines\n", bytes.size(), note.size(),
                static_cast<std::size_t>(std::count(note.begin(), note.end(), u'\n')));
    fullRestyles(note);
    keystrokes(note, seed);
    return 0;
}
