#include "tools/CommandLine.h"

#include <gtest/gtest.h>

using namespace quillet::convert;

namespace {

ParsedCommandLine parse(std::vector<std::string> arguments) {
    return parseCommandLine(arguments);
}

} // namespace

TEST(CommandLine, ReadsEveryOption) {
    const ParsedCommandLine defaults = parse({"-"});
    ASSERT_TRUE(defaults.ok()) << defaults.error;
    EXPECT_EQ(defaults.command.settings.output, OutputKind::document);
    EXPECT_FALSE(defaults.command.inputPath.has_value()) << "'-' is standard input";

    const ParsedCommandLine parsed =
        parse({"--records", "--title", "Caf\xC3\xA9", "--lang", "ja", "--base", "/tmp/out", "--set",
               "resetIndentByBlankline=true", "--set", "indentWidthByChars=-7", "--set",
               "resetIndentByHeader=0", "note.md"});
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    const ConversionSettings& settings = parsed.command.settings;
    EXPECT_EQ(settings.output, OutputKind::records);
    EXPECT_EQ(settings.title, u"Caf\u00E9");
    EXPECT_EQ(settings.lang, u"ja");
    EXPECT_EQ(settings.baseFolder, std::filesystem::path("/tmp/out"));
    EXPECT_TRUE(settings.options.resetIndentByBlankline);
    EXPECT_FALSE(settings.options.resetIndentByHeader);
    EXPECT_EQ(settings.options.indentWidthByChars, -7);
    EXPECT_TRUE(settings.options.removeProceeding4SpacesInCodeBlock); // untouched default
    EXPECT_EQ(parsed.command.inputPath, "note.md");

    const ParsedCommandLine styles = parse({"--styles", "--font-width", "7.25"});
    EXPECT_EQ(styles.command.settings.output, OutputKind::styles);
    EXPECT_DOUBLE_EQ(styles.command.settings.fontWidth, 7.25);
    EXPECT_EQ(parse({"--fragment"}).command.settings.output, OutputKind::fragment);
    EXPECT_TRUE(parse({"--help"}).command.showHelp);
    // After "--" a name that looks like an option is a file.
    EXPECT_EQ(parse({"--", "--records"}).command.inputPath, "--records");
}

TEST(CommandLine, RejectsWhatItCannotRead) {
    const std::pair<std::vector<std::string>, std::string> rejected[] = {
        {{"--frag"}, "unknown option '--frag'"},
        {{"--records", "--lang"}, "option '--lang' needs a value"},
        {{"--styles", "--font-width"}, "option '--font-width' needs a value"},
        {{"-", "b.md"}, "more than one input file ('-' and 'b.md')"},
        {{"--fragment", "--records"}, "--fragment and --records cannot be combined"},
        {{"--fragment", "--styles"}, "--styles cannot be combined with --fragment or --records"},
        {{"--set", "=1"}, "--set expects KEY=VALUE, got '=1'"},
        {{"--set", "indentWidthByChars=3x"},
         "option key 'indentWidthByChars' needs true, false or an integer, got '3x'"},
    };
    for (const auto& [arguments, error] : rejected)
        EXPECT_EQ(parse(arguments).error, error);
    EXPECT_NE(parse({"--lang", "x\xFF"}).error.find("at byte 1"), std::string::npos);
    const std::string unknown = parse({"--set", "resetindentbyheader=true"}).error;
    EXPECT_EQ(unknown.rfind("unknown option key 'resetindentbyheader' (known keys: ", 0), 0u) << unknown;
    for (const char* value : {"", "yes", "TRUE", "1.5", " 3", "99999999999999999999999"})
        EXPECT_FALSE(parse({"--set", std::string("indentWidthByChars=") + value}).ok()) << value;
    for (const char* width : {"0", "-3", "abc", "", "7pt", "nan", "inf"})
        EXPECT_EQ(parse({"--styles", "--font-width", width}).error,
                  std::string("--font-width needs a positive number of points, got '") + width + "'");
}
