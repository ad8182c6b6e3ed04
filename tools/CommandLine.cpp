#include "tools/CommandLine.h"

#include "tools/Utf8.h"

#include <charconv>

namespace quillet::convert {

namespace {

// Every key the options know, taken from the options themselves.
std::string knownKeys() {
    std::string list;
    for (const auto& entry : MarkdownOptions{}.toKeyValues())
        list += (list.empty() ? "" : ", ") + entry.first;
    return list;
}

// The known keys for the usage text, a few to a line, each line indented by `indent`.
std::string keyLines(const std::string& indent) {
    constexpr std::size_t kWidth = 100;
    std::string lines;
    std::string line = indent;
    for (const auto& entry : MarkdownOptions{}.toKeyValues()) {
        if (line.size() > indent.size() && line.size() + entry.first.size() + 1 > kWidth) {
            lines += line + "\n";
            line = indent;
        }
        line += (line.size() > indent.size() ? " " : "") + entry.first;
    }
    return lines + line + "\n";
}

std::optional<double> parsePositiveNumber(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || !(value > 0) || value > 1e6)
        return std::nullopt;
    return value;
}

std::optional<long> parseOptionValue(std::string_view text) {
    if (text == "true") return 1;
    if (text == "false") return 0;
    long value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

// Applies one KEY=VALUE; returns an error text or "".
std::string applySetting(MarkdownOptions& options, const std::string& assignment) {
    const auto equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0)
        return "--set expects KEY=VALUE, got '" + assignment + "'";
    const std::string key = assignment.substr(0, equals);
    const std::string valueText = assignment.substr(equals + 1);
    if (!options.get(key)) return "unknown option key '" + key + "' (known keys: " + knownKeys() + ")";
    const auto value = parseOptionValue(valueText);
    if (!value) return "option key '" + key + "' needs true, false or an integer, got '" + valueText + "'";
    options.set(key, *value);
    return "";
}

// Decodes an argument given as UTF-8; returns an error text or "".
std::string decodeArgument(const std::string& option, const std::string& value, std::u16string& target) {
    Utf8Decoding decoded = decodeUtf8(value);
    if (!decoded.ok()) return "the value of " + option + " is not UTF-8 (" + describe(*decoded.error) + ")";
    target = std::move(decoded.text);
    return "";
}

class ArgumentReader {
public:
    explicit ArgumentReader(const std::vector<std::string>& arguments) : arguments_(arguments) {}

    ParsedCommandLine read() {
        bool optionsEnded = false;
        bool fragment = false;
        bool records = false;
        bool styles = false;
        while (result_.ok() && next_ < arguments_.size()) {
            const std::string& argument = arguments_[next_++];
            if (optionsEnded || argument == "-" || argument.empty() || argument[0] != '-') {
                setInput(argument);
            } else if (argument == "--") {
                optionsEnded = true;
            } else if (argument == "--fragment") {
                fragment = true;
            } else if (argument == "--records") {
                records = true;
            } else if (argument == "--styles") {
                styles = true;
            } else if (argument == "-h" || argument == "--help") {
                result_.command.showHelp = true;
            } else {
                readValueOption(argument);
            }
        }
        if (result_.ok() && fragment && records)
            result_.error = "--fragment and --records cannot be combined";
        if (result_.ok() && styles && (fragment || records))
            result_.error = "--styles cannot be combined with --fragment or --records";
        auto& output = result_.command.settings.output;
        output = styles     ? OutputKind::styles
                 : records  ? OutputKind::records
                 : fragment ? OutputKind::fragment
                            : OutputKind::document;
        return result_;
    }

private:
    void readValueOption(const std::string& option) {
        auto& settings = result_.command.settings;
        if (option != "--title" && option != "--lang" && option != "--base" && option != "--set" &&
            option != "--font-width") {
            result_.error = "unknown option '" + option + "'";
            return;
        }
        if (next_ >= arguments_.size()) {
            result_.error = "option '" + option + "' needs a value";
            return;
        }
        const std::string& value = arguments_[next_++];
        if (option == "--title") result_.error = decodeArgument(option, value, settings.title);
        if (option == "--lang") result_.error = decodeArgument(option, value, settings.lang);
        if (option == "--base") settings.baseFolder = std::filesystem::path(value);
        if (option == "--set") result_.error = applySetting(settings.options, value);
        if (option == "--font-width") {
            const auto width = parsePositiveNumber(value);
            if (width)
                settings.fontWidth = *width;
            else
                result_.error = "--font-width needs a positive number of points, got '" + value + "'";
        }
    }

    void setInput(const std::string& argument) {
        auto& input = result_.command.inputPath;
        if (inputGiven_) {
            result_.error = "more than one input file ('" + input.value_or("-") + "' and '" + argument + "')";
            return;
        }
        inputGiven_ = true;
        if (argument != "-") input = argument;
    }

    const std::vector<std::string>& arguments_;
    std::size_t next_ = 0;
    bool inputGiven_ = false;
    ParsedCommandLine result_;
};

} // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    return ArgumentReader(arguments).read();
}

std::string usageText() {
    return "Usage: quillet-md2html [--fragment | --records | --styles [--font-width W]] [--title T]\n"
           "                       [--lang L] [--base DIR] [--set KEY=VALUE ...] [FILE | -]\n"
           "Converts a Markdown note (UTF-8, from FILE or standard input) to HTML.\n"
           "  --fragment       write only the body's content, not the whole document\n"
           "  --records        write each line's classification as one JSON object per line\n"
           "  --styles         write the editor's styling of each line as one JSON object per line\n"
           "  --font-width W   with --styles: every character is W points wide (default 10)\n"
           "  --title T        the document title (default \"untitled\")\n"
           "  --lang L         the document language (default \"en\")\n"
           "  --base DIR       the folder the document will live in; local images are copied there\n"
           "  --set KEY=VALUE  set a Markdown option to true, false or an integer; keys:\n" +
           keyLines(std::string(19, ' '));
}

} // namespace quillet::convert
