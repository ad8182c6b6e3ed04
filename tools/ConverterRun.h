#pragma once
// One run of quillet-md2html, from its arguments to its exit status.

#include <cstdio>
#include <string>
#include <vector>

namespace quillet::convert {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1; // unreadable or invalid input, failed output
inline constexpr int kExitUsage = 2;   // arguments not understood

// `arguments` excludes the program name. Reads the note from the named file or `inputFd`,
// writes the result to `output` and every complaint to `errors`.
int runConverter(const std::vector<std::string>& arguments, int inputFd, std::FILE* output,
                 std::FILE* errors);

} // namespace quillet::convert
