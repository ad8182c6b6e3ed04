#include "tools/CommandLine.h"

#include <gtest/gtest.h>

using namespace quillet::convert;

namespace {

ParsedCommandLine parse(std::vector<std::string> arguments) {
    return parseCommandLine(arguments);
}

} // namespace

TEST(CommandLine, DefaultsReadStandardInputAndWriteTheDocument) {
    const ParsedCommandLine parsed = parse({});
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    const ConversionSettings& settings = parsed.command.settings;
    EXPECT_EQ(settings.output, OutputKind::document);
    EXPECT_EQ(settings.title, u"untitled");
    EXPECT_EQ(settings.lang, u"en");
    EXPECT_FALSE(settings.baseFolder.has_value());
    EXPECT_EQ(settings.options, quillet::MarkdownOptions::defaults());
    EXPECT_FALSE(parsed.command.inputPath.has_value());
    EXPECT_FALSE(parsed.command.showHelp);
    EXPECT_FALSE(parse({"-"}).command.inputPath.has_value());
}

TEST(CommandLine, ReadsEveryOption) {
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

    EXPECT_EQ(parse({"--fragment"}).command.settings.output, OutputKind::fragment);
    EXPECT_TRUE(parse({"--help"}).command.showHelp);
    // After "--" a name that looks like an option is a file.
    EXPECT_EQ(parse({"--", "--records"}).command.inputPath, "--records");
    EXPECT_EQ(parse({"--", "--records"}).command.settings.output, OutputKind::document);
}

TEST(CommandLine, RejectsUnknownOptionsAndMissingValues) {
    EXPECT_EQ(parse({"--frag"}).error, "unknown option '--frag'");
    EXPECT_EQ(parse({"-x", "note.md"}).error, "unknown option '-x'");
    for (const char* option : {"--title", "--lang", "--base", "--set"})
        EXPECT_EQ(parse({"--records", option}).error, std::string("option '") + option + "' needs a value");
    EXPECT_EQ(parse({"a.md", "b.md"}).error, "more than one input file ('a.md' and 'b.md')");
    EXPECT_EQ(parse({"-", "b.md"}).error, "more than one input file ('-' and 'b.md')");
    EXPECT_EQ(parse({"--fragment", "--records"}).error, "--fragment and --records cannot be combined");
    EXPECT_FALSE(parse({"--title", "\xC3("}).ok());
    EXPECT_NE(parse({"--lang", "x\xFF"}).error.find("at byte 1"), std::string::npos);
}

TEST(CommandLine, RejectsBadOptionSettings) {
    EXPECT_EQ(parse({"--set", "resetIndentByHeader"}).error,
              "--set expects KEY=VALUE, got 'resetIndentByHeader'");
    EXPECT_EQ(parse({"--set", "=1"}).error, "--set expects KEY=VALUE, got '=1'");
    const std::string unknown = parse({"--set", "resetindentbyheader=true"}).error;
    EXPECT_EQ(unknown.rfind("unknown option key 'resetindentbyheader' (known keys: ", 0), 0u) << unknown;
    EXPECT_NE(unknown.find("removeProceeding4SpacesInCodeBlock"), std::string::npos);
    for (const char* value : {"", "yes", "TRUE", "1.5", "3x", " 3", "99999999999999999999999"})
        EXPECT_EQ(parse({"--set", std::string("indentWidthByChars=") + value}).error,
                  std::string("option key 'indentWidthByChars' needs true, false or an integer, got '") +
                      value + "'");
}
