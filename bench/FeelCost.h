#pragma once
// What typing and the preview cost the whole desktop, measured in the real window: see
// FeelBenchmark.cpp (--only cost).

#include <QString>
#include <string>

namespace quillet {
class WindowController;
}

namespace quillet::bench {

struct CostOptions {
    QString notePath;
    int keys = 150;  // keystrokes per measure
    int launches = 3;
};

// Prints the figures with the preview hidden and shown, the launches, and the side-by-side run
// with ghostwriter when it is installed; returns the summary line's part.
std::string measureCost(WindowController& window, const CostOptions& options);

} // namespace quillet::bench
