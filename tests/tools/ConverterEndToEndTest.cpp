// Runs the built quillet-md2html as a user would.

#include "ConverterProcess.h"

#include <filesystem>
#include <gtest/gtest.h>

using quillet::testing::runMd2html;
using quillet::testing::TemporaryFolder;

namespace {

constexpr const char* kHead =
    "<!DOCTYPE html><html xml:lang=\"en\" lang=\"en\" xmlns=\"http://www.w3.org/1999/xhtml\">"
    "<head><title>untitled</title>";

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

} // namespace

TEST(ConverterEndToEnd, WritesTheDocumentFragmentOrRecords) {
    const auto document = runMd2html({}, "# T\n");
    EXPECT_EQ(document.exitCode, 0);
    EXPECT_TRUE(startsWith(document.out, kHead)) << document.out;
    EXPECT_TRUE(document.out.ends_with("<body><h1>T</h1>\n</body></html>")) << "nothing after the document";
    EXPECT_EQ(document.err, "");

    EXPECT_EQ(runMd2html({"--fragment", "-"}, "# T\nx\n").out, "<h1>T</h1>\n<p>x</p>");
    EXPECT_EQ(runMd2html({"--records"}, "---\n\nx").out,
              "{\"lineRange\":[0,3],\"type\":\"hr\",\"strRange\":[0,3]}\n"
              "{\"lineRange\":[4,0],\"type\":\"blankline\"}\n"
              "{\"lineRange\":[5,1]}\n");
    EXPECT_EQ(runMd2html({"--records"}, "").out, "");
}

TEST(ConverterEndToEnd, TitleLanguageAndFileInput) {
    const TemporaryFolder folder;
    const std::string note = folder.write("note.md", "a\n");
    const auto result = runMd2html({"--title", "Caf\xC3\xA9 <1>", "--lang", "fr", note});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("<html xml:lang=\"fr\" lang=\"fr\""), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("<title>Caf\xC3\xA9 <1></title>"), std::string::npos) << result.out;
    EXPECT_EQ(runMd2html({"--fragment", note}).out, "<p>a</p>");
}

TEST(ConverterEndToEnd, LinksResolveToDefinitionsFurtherDown) {
    const auto result = runMd2html({"--fragment"}, "[site][s]\n[s]: http://example.org \"T\"\n");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_TRUE(startsWith(result.out, "<p><a href=\"http://example.org\" T>site</a></p>")) << result.out;
}

TEST(ConverterEndToEnd, OptionsChangeTheOutput) {
    EXPECT_EQ(runMd2html({"--fragment"}, "    x\n").out, "<pre><code>x\n</code></pre>");
    EXPECT_EQ(runMd2html({"--fragment", "--set", "removeProceeding4SpacesInCodeBlock=false"}, "    x\n").out,
              "<pre><code>    x\n</code></pre>");
}

TEST(ConverterEndToEnd, BaseFolderReceivesLocalImages) {
    const TemporaryFolder folder;
    const std::string picture = folder.write("a.png", "PNG");
    std::filesystem::create_directory(folder.path() + "/out");
    const std::string note = "![x](file://" + picture + ")\n";
    EXPECT_EQ(runMd2html({"--fragment", "--base", folder.path() + "/out"}, note).out,
              "<p><img src=\"./a.png\" alt=\"x\"></p>");
    EXPECT_TRUE(std::filesystem::exists(folder.path() + "/out/a.png"));
    EXPECT_EQ(runMd2html({"--fragment"}, note).out, "<p><img src=\"file://" + picture + "\" alt=\"x\"></p>");
}

TEST(ConverterEndToEnd, TextOutsideTheBasicPlaneStaysValidUtf8) {
    // U+1F600 is a surrogate pair inside; it must come out as the same four bytes.
    const auto result = runMd2html({"--fragment"}, "\xEF\xBB\xBF*\xF0\x9F\x98\x80* \xC3\xA9\n");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "<p><em>\xF0\x9F\x98\x80</em> \xC3\xA9</p>") << "the byte order mark is dropped";
    const auto records = runMd2html({"--records"}, "\xF0\x9F\x98\x80 *a*\n");
    EXPECT_TRUE(startsWith(records.out, "{\"lineRange\":[0,6],\"spanArray\":[{\"type\":\"em\",\"typeId\":1,"
                                        "\"range\":[3,3]"))
        << "positions count UTF-16 code units: " << records.out;
}

TEST(ConverterEndToEnd, BadInputIsReportedWithoutOutput) {
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
}

TEST(ConverterEndToEnd, BadArgumentsAreReportedWithUsageHint) {
    const auto unknown = runMd2html({"--fragmnet"}, "x\n");
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(unknown.err, "quillet-md2html: unknown option '--fragmnet'\n"
                           "Try 'quillet-md2html --help' for more information.\n");
    EXPECT_EQ(runMd2html({"--set", "nope=1"}).exitCode, 2);
    EXPECT_EQ(runMd2html({"--title"}).exitCode, 2);

    const auto help = runMd2html({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(startsWith(help.out, "Usage: quillet-md2html")) << help.out;
}

TEST(ConverterEndToEnd, HostileInputNeverCrashes) {
    const std::string pathological[] = {std::string(100000, '['), std::string("\0\0\r\n\r\r\n", 7),
                                        std::string(3000, '\t') + "- x", std::string(5000, '>') + " q\n"};
    for (const auto& input : pathological) {
        for (const char* mode : {"--fragment", "--records"}) {
            const auto result = runMd2html({mode}, input);
            EXPECT_EQ(result.exitCode, 0) << mode << " on " << input.substr(0, 20) << ": " << result.err;
        }
    }
}
