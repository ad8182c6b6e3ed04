#include "DialectExamples.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace quillet::testing {

namespace {

constexpr std::string_view kFence = "````";
constexpr std::string_view kArrow = "\xE2\x86\x92"; // U+2192, a tab in the example files

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string result;
    for (std::size_t at = 0;;) {
        const std::size_t next = text.find(from, at);
        result.append(text.substr(at, next - at));
        if (next == std::string_view::npos) return result;
        result.append(to);
        at = next + from.size();
    }
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

bool isFence(std::string_view line) {
    return line.starts_with(kFence) && !line.starts_with("`````");
}
std::string_view infoWord(std::string_view fence) {
    return fence.substr(kFence.size());
}

// Walks one file's lines and turns each markdown block and the output block after it into one
// example; anything out of place becomes an example that fails with a description.
class ExampleReader {
public:
    ExampleReader(std::string_view text, const std::string& fileName)
        : lines_(splitLines(text)), fileName_(fileName) {}

    std::vector<DialectExample> read() {
        while (next_ < lines_.size()) {
            const std::string_view line = lines_[next_++];
            if (!isFence(line)) continue;
            if (infoWord(line) == "markdown") {
                readExample();
            } else {
                fail(next_, "a \"" + std::string(line) + "\" block without a markdown block before it");
                std::vector<std::string_view> skipped;
                readBlock(skipped);
            }
        }
        return std::move(examples_);
    }

private:
    void readExample() {
        DialectExample example{fileName_, next_, {}, {}, {}, {}};
        std::vector<std::string_view> inputLines;
        if (!readBlock(inputLines)) return fail(example.line, "the markdown block is never closed");
        for (auto line : inputLines)
            example.input += replaceAll(line, kArrow, "\t") + "\n";

        while (next_ < lines_.size() && lines_[next_].empty())
            ++next_;
        if (next_ >= lines_.size() || !isFence(lines_[next_]) || infoWord(lines_[next_]) == "markdown")
            return fail(example.line, "the markdown block is not followed by an output block");
        example.kind = std::string(infoWord(lines_[next_++]));
        std::vector<std::string_view> outputLines;
        if (!readBlock(outputLines)) return fail(example.line, "the output block is never closed");
        for (auto line : outputLines)
            example.expected += std::string(line) + "\n";
        example.expected = fileForm(example.expected);
        examples_.push_back(std::move(example));
    }

    // Collects lines up to the closing fence, which is consumed.
    bool readBlock(std::vector<std::string_view>& block) {
        while (next_ < lines_.size()) {
            const std::string_view line = lines_[next_++];
            if (line == kFence) return true;
            block.push_back(line);
        }
        return false;
    }

    void fail(std::size_t line, std::string problem) {
        DialectExample broken{fileName_, line, {}, {}, {}, std::move(problem)};
        examples_.push_back(std::move(broken));
    }

    std::vector<std::string_view> lines_;
    std::string fileName_;
    std::size_t next_ = 0;
    std::vector<DialectExample> examples_;
};

} // namespace

std::string DialectExample::testName() const {
    std::string name;
    for (char c : std::filesystem::path(file).stem().string())
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name + "_line" + std::to_string(line);
}

void PrintTo(const DialectExample& example, std::ostream* out) {
    *out << example.file << ":" << example.line;
}

std::string fileForm(std::string_view text) {
    while (text.ends_with('\n'))
        text.remove_suffix(1);
    return replaceAll(text, "\t", kArrow);
}

std::vector<DialectExample> parseDialectExamples(std::string_view fileText, const std::string& fileName) {
    return ExampleReader(fileText, fileName).read();
}

std::vector<DialectExample> readDialectExamples(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.path().extension() == ".md") files.push_back(entry.path());
    std::sort(files.begin(), files.end());

    std::vector<DialectExample> examples;
    for (const auto& path : files) {
        std::ifstream stream(path, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
        auto found = parseDialectExamples(text, path.filename().string());
        examples.insert(examples.end(), found.begin(), found.end());
    }
    if (examples.empty()) {
        DialectExample none{folder.string(), 0, {}, {}, {}, "no examples found in " + folder.string()};
        examples.push_back(none);
    }
    return examples;
}

} // namespace quillet::testing
