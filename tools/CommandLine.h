#pragma once
// The arguments of quillet-md2html:
//   [--fragment] [--records] [--title T] [--lang L] [--base DIR] [--set KEY=VALUE ...] [FILE|-]

#include "tools/Conversion.h"

#include <optional>
#include <string>
#include <vector>

namespace quillet::convert {

struct CommandLine {
    ConversionSettings settings;
    std::optional<std::string> inputPath; // absent: standard input
    bool showHelp = false;
};

struct ParsedCommandLine {
    CommandLine command;
    std::string error; // empty when the arguments were understood

    bool ok() const { return error.empty(); }
};

// `arguments` excludes the program name.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

std::string usageText();

} // namespace quillet::convert
