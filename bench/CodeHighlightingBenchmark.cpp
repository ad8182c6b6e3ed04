// The code highlighter's speed on a large style sheet: colouring it when it opens, and the
// restyling after single keystrokes.
//
//   cmake --build build --target quillet-code-highlighting-bench && build/bin/quillet-code-highlighting-bench
//   [SEED]
//
// The style sheet is a deterministic 1 MB of rules: selectors with tag names, declarations with
// colours, lengths and quoted strings, one-line comments and comment blocks of a few lines. A
// keystroke inserts one character, drawn from letters and the characters that make up markers
// and declarations ("/", "*", ":", ";", "{"), at a random place, over 2,000 places; the
// highlighter is told of the edit as the editor tells it. Goals: opening under 500 ms; a
// keystroke's median under 50 us and 99th percentile under 1 ms, apart from keystrokes that open
// or close a comment block and so recolour the lines down to where the blocks agree again.

#include "bench/Statistics.h"
#include "engine/AttributedText.h"
#include "engine/CodeHighlighter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

using namespace quillet;
using namespace quillet::bench;

namespace {

constexpr std::size_t kSheetUnits = 1000000;
constexpr int kOpenings = 5;
constexpr int kKeystrokes = 2000;
constexpr std::size_t kFarReach = 50; // lines: a keystroke that recoloured more changed a block

double threadMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

template <typename Work> double timed(Work work) {
    const double start = threadMicroseconds();
    work();
    return threadMicroseconds() - start;
}

std::u16string styleSheet(std::size_t units) {
    static const char* const tags[] = {"h1",   "p",     "blockquote", "table", "td",
                                       "code", ".note", "#main",      "li"};
    static const char* const properties[] = {"color",  "margin",  "font-family",
                                             "border", "padding", "content"};
    std::mt19937 random(42);
    std::string sheet;
    while (sheet.size() < units) {
        const unsigned kind = random() % 10;
        if (kind == 0) {
            sheet +=
                "/* Section " + std::to_string(random() % 1000) + "\n   notes about the rules below\n*/\n";
        } else if (kind == 1) {
            sheet += "/* one-line comment */\n";
        }
        sheet +=
            std::string(tags[random() % std::size(tags)]) + ", " + tags[random() % std::size(tags)] + " {\n";
        for (unsigned d = 0, count = 2 + random() % 4; d < count; ++d) {
            const char* property = properties[random() % std::size(properties)];
            std::string value = random() % 2 ? "#" + std::to_string(100 + random() % 900)
                                             : std::to_string(random() % 40) + "px";
            if (random() % 5 == 0) value = "\"Helvetica Neue\", 'Noto Sans'";
            sheet += std::string("    ") + property + ": " + value + ";\n";
        }
        sheet += "}\n\n";
    }
    return std::u16string(sheet.begin(), sheet.end());
}

std::size_t lineCount(const AttributedText& text, Range range) {
    std::size_t lines = 0;
    for (std::size_t position = range.location; position < range.end(); ++lines) {
        const Range line = text.lineRange(position);
        if (line.empty()) break;
        position = line.end();
    }
    return lines;
}

void openings(const std::u16string& sheet) {
    std::vector<double> times;
    for (int run = 0; run < kOpenings; ++run) {
        AttributedText text(sheet);
        CodeHighlighter highlighter;
        highlighter.setLanguage(CodeLanguage::css);
        times.push_back(timed([&] { highlighter.highlightAll(text); }) / 1000);
    }
    std::printf("opening (whole text coloured, median of %d; goal under 500 ms): %.1f ms thread time\n",
                kOpenings, percentile(times, 0.5));
}

void keystrokes(const std::u16string& sheet, unsigned seed) {
    AttributedText text(sheet);
    CodeHighlighter highlighter;
    highlighter.setLanguage(CodeLanguage::css);
    highlighter.highlightAll(text);
    static const char16_t typed[] = u"abcdefgh/*:;{ ";
    std::mt19937 random(seed);
    std::vector<double> all, near, far;
    std::size_t farthest = 0;
    for (int i = 0; i < kKeystrokes; ++i) {
        const std::size_t at = random() % (text.length() + 1);
        const char16_t character = typed[random() % (std::size(typed) - 1)];
        Range restyled;
        const double cost = timed([&] {
            text.replaceCharacters({at, 0}, std::u16string_view(&character, 1));
            restyled = highlighter.textReplaced(text, at, 0, 1);
        });
        all.push_back(cost);
        const std::size_t lines = lineCount(text, restyled);
        (lines > kFarReach ? far : near).push_back(cost);
        farthest = std::max(farthest, lines);
    }
    std::printf("keystroke at %d random places (goals: median under 50 us, 99th percentile under 1 ms):\n",
                kKeystrokes);
    std::printf("    all:                    median %6.1f us, 99th percentile %7.1f us thread time\n",
                percentile(all, 0.5), percentile(all, 0.99));
    std::printf("    %4zu within %zu lines:   median %6.1f us, 99th percentile %7.1f us\n", near.size(),
                kFarReach, percentile(near, 0.5), percentile(near, 0.99));
    std::printf(
        "    %4zu beyond (a block opened or closed): median %.1f us, worst %.1f us, up to %zu lines\n",
        far.size(), percentile(far, 0.5), percentile(far, 1), farthest);
}

} // namespace

int main(int argc, char** argv) {
    const unsigned seed = argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)) : 7;
    const std::u16string sheet = styleSheet(kSheetUnits);
    std::printf("style sheet: %zu characters, %zu lines\n", sheet.size(),
                static_cast<std::size_t>(std::count(sheet.begin(), sheet.end(), u'\n')));
    openings(sheet);
    keystrokes(sheet, seed);
    return 0;
}
