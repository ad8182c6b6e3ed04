#pragma once
// Reads the literate example files of the dialect (tests/dialect/*.md): prose, and examples made
// of a four-backquote "markdown" block directly followed by a four-backquote output block whose
// info word names what the converter writes ("html", "document", "records"). In both blocks a tab
// is written as U+2192.

#include <cstddef>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::testing {

struct DialectExample {
    std::string file;     // the file's name, e.g. "00-reading-these-files.md"
    std::size_t line = 0; // line of the example's "````markdown" fence (1-based)
    std::string input;    // each line followed by "\n", arrows turned into tabs
    std::string kind;     // the output block's info word
    std::string expected; // as written in the file, arrows kept
    std::string problem;  // set when the example is malformed; it then fails with this text

    std::string testName() const;
};

std::vector<DialectExample> parseDialectExamples(std::string_view fileText, const std::string& fileName);
// Every example of every *.md file in `folder`, files in name order.
std::vector<DialectExample> readDialectExamples(const std::filesystem::path& folder);

// How a test names the example when it fails: "file.md:12".
void PrintTo(const DialectExample& example, std::ostream* out);

// The file form of a text: tabs shown as arrows, trailing line breaks dropped.
std::string fileForm(std::string_view text);

} // namespace quillet::testing
