#include "tools/ConverterRun.h"

#include "tools/CommandLine.h"
#include "tools/InputReading.h"
#include "tools/Utf8.h"

#include <exception>
#include <filesystem>

namespace quillet::convert {

namespace {

constexpr const char* kProgram = "quillet-md2html";

int complain(std::FILE* errors, const std::string& message, int status) {
    std::fprintf(errors, "%s: %s\n", kProgram, message.c_str());
    if (status == kExitUsage) std::fprintf(errors, "Try '%s --help' for more information.\n", kProgram);
    return status;
}

bool writeAll(std::FILE* output, const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), output) == text.size() && std::fflush(output) == 0;
}

// The note decoded as its bytes are read.
class DecodedInput : public InputPieces {
public:
    void expect(std::size_t bytes) override { decoder_.expect(bytes); }
    bool take(std::string_view piece) override { return decoder_.add(piece); }
    Utf8Decoding finish() { return decoder_.finish(); }

private:
    Utf8PieceDecoder decoder_;
};

// A UTF-8 byte order mark is an encoding signature, not part of the note.
void dropByteOrderMark(std::u16string& text) {
    if (!text.empty() && text.front() == 0xFEFF) text.erase(0, 1);
}

int convert(const CommandLine& command, int inputFd, std::FILE* output, std::FILE* errors) {
    const auto& base = command.settings.baseFolder;
    std::error_code ignored;
    if (base && !std::filesystem::is_directory(*base, ignored))
        return complain(errors, "--base: '" + base->string() + "' is not a directory", kExitFailure);

    const std::string inputName = command.inputPath.value_or("standard input");
    DecodedInput input;
    const std::string readError =
        command.inputPath ? readFilePieces(*command.inputPath, input) : readPieces(inputFd, inputName, input);
    if (!readError.empty()) return complain(errors, readError, kExitFailure);
    Utf8Decoding note = input.finish();
    if (!note.ok()) return complain(errors, inputName + ": " + describe(*note.error), kExitFailure);
    dropByteOrderMark(note.text);

    bool written = true;
    convertMarkdown(note.text, command.settings, [&](std::string_view bytes) {
        written = written && std::fwrite(bytes.data(), 1, bytes.size(), output) == bytes.size();
    });
    if (!written || std::fflush(output) != 0)
        return complain(errors, "cannot write the output", kExitFailure);
    return kExitSuccess;
}

} // namespace

int runConverter(const std::vector<std::string>& arguments, int inputFd, std::FILE* output,
                 std::FILE* errors) {
    try {
        const ParsedCommandLine parsed = parseCommandLine(arguments);
        if (!parsed.ok()) return complain(errors, parsed.error, kExitUsage);
        if (parsed.command.showHelp) return writeAll(output, usageText()) ? kExitSuccess : kExitFailure;
        return convert(parsed.command, inputFd, output, errors);
    } catch (const std::exception& failure) {
        return complain(errors, failure.what(), kExitFailure);
    }
}

} // namespace quillet::convert
