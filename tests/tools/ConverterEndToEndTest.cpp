// Runs the built quillet-md2html as a user would: what only the process shows (standard streams,
// files, exit codes and messages). What it writes for each note is in tests/dialect.

#include "ConverterProcess.h"

#include <filesystem>
#include <gtest/gtest.h>

using quillet::testing::runMd2html;
using quillet::testing::TemporaryFolder;

TEST(ConverterEndToEnd, ReadsFilesOrStandardInputAndWritesTheChosenOutput) {
    const auto document = runMd2html({"--title", "Caf\xC3\xA9 <1>", "--lang", "fr"}, "# T\n");
    EXPECT_EQ(document.exitCode, 0);
    EXPECT_EQ(document.err, "");
    EXPECT_EQ(document.out.rfind("<!DOCTYPE html><html xml:lang=\"fr\" lang=\"fr\"", 0), 0u) << document.out;
    EXPECT_NE(document.out.find("<title>Caf\xC3\xA9 <1></title>"), std::string::npos) << document.out;
    EXPECT_TRUE(document.out.ends_with("<body><h1>T</h1>\n</body></html>")) << "nothing after the document";

    const TemporaryFolder folder;
    const std::string note = folder.write("note.md", "a\n");
    EXPECT_EQ(runMd2html({"--fragment", note}).out, "<p>a</p>");
    EXPECT_EQ(runMd2html({"--records"}, "---\n").out,
              "{\"lineRange\":[0,3],\"type\":\"hr\",\"strRange\":[0,3]}\n");
    EXPECT_EQ(runMd2html({"--fragment", "--set", "removeProceeding4SpacesInCodeBlock=false"}, "    x\n").out,
              "<pre><code>    x\n</code></pre>");
    // A byte order mark is dropped; text outside the Basic Multilingual Plane comes out whole.
    EXPECT_EQ(runMd2html({"--fragment"}, "\xEF\xBB\xBF*\xF0\x9F\x98\x80* \xC3\xA9\n").out,
              "<p><em>\xF0\x9F\x98\x80</em> \xC3\xA9</p>");
}

TEST(ConverterEndToEnd, BaseFolderReceivesLocalImages) {
    const TemporaryFolder folder;
    const std::string picture = folder.write("a.png", "PNG");
    std::filesystem::create_directory(folder.path() + "/out");
    const std::string note = "![x](file://" + picture + ")\n";
    EXPECT_EQ(runMd2html({"--fragment", "--base", folder.path() + "/out"}, note).out,
              "<p><img src=\"./a.png\" alt=\"x\"></p>");
    EXPECT_TRUE(std::filesystem::exists(folder.path() + "/out/a.png"));
}

TEST(ConverterEndToEnd, BadInputAndArgumentsAreReportedWithoutOutput) {
    const auto invalid = runMd2html({}, "ok\n\xE2\x82");
    EXPECT_EQ(invalid.exitCode, 1);
    EXPECT_EQ(invalid.out, "");
    EXPECT_EQ(invalid.err, "quillet-md2html: standard input: invalid UTF-8 at byte 3: truncated sequence\n");

    const TemporaryFolder folder;
    const std::string bad = folder.write("bad.md", std::string("a\xC0\xAF", 3));
    EXPECT_EQ(runMd2html({bad}).err,
              "quillet-md2html: " + bad + ": invalid UTF-8 at byte 1: overlong encoding\n");
    const auto missing = runMd2html({folder.path() + "/none.md"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err,
              "quillet-md2html: cannot read '" + folder.path() + "/none.md': No such file or directory\n");
    EXPECT_EQ(runMd2html({folder.path()}).err,
              "quillet-md2html: cannot read '" + folder.path() + "': Is a directory\n");
    const auto base = runMd2html({"--base", folder.path() + "/none"}, "x\n");
    EXPECT_EQ(base.exitCode, 1);
    EXPECT_EQ(base.out, "");

    const auto unknown = runMd2html({"--fragmnet"}, "x\n");
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(unknown.err, "quillet-md2html: unknown option '--fragmnet'\n"
                           "Try 'quillet-md2html --help' for more information.\n");
    const auto help = runMd2html({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: quillet-md2html", 0), 0u) << help.out;
}

TEST(ConverterEndToEnd, HostileInputNeverCrashes) {
    const std::string pathological[] = {std::string(100000, '['), std::string("\0\0\r\n\r\r\n", 7),
                                        std::string(3000, '\t') + "- x", std::string(5000, '>') + " q\n"};
    for (const auto& input : pathological) {
        for (const char* mode : {"--fragment", "--records", "--styles"}) {
            const auto result = runMd2html({mode}, input);
            EXPECT_EQ(result.exitCode, 0) << mode << " on " << input.substr(0, 20) << ": " << result.err;
        }
    }
}
