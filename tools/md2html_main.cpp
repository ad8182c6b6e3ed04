// quillet-md2html: converts a Markdown note to HTML (see CommandLine.h for the arguments).

#include "tools/ConverterRun.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    // A closed pipe is reported as a write error instead of killing the process.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return quillet::convert::runConverter(arguments, STDIN_FILENO, stdout, stderr);
}
