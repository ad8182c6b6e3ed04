// Runs every example of the dialect's example files through the converter's entry points.

#include "DialectExamples.h"

#include "tools/Conversion.h"
#include "tools/StylesJson.h"
#include "tools/Utf8.h"

#include <gtest/gtest.h>

using namespace quillet::testing;
using namespace quillet::convert;

namespace {

// What the converter writes for an example's output kind; false when the kind is unknown.
bool convertExample(const DialectExample& example, std::string& output) {
    const Utf8Decoding note = decodeUtf8(example.input);
    if (!note.ok()) {
        output = describe(*note.error);
        return false;
    }
    const ConversionSettings defaults;
    if (example.kind == "html")
        output = fragmentFromMarkdown(note.text, defaults);
    else if (example.kind == "document")
        output = documentFromMarkdown(note.text, defaults);
    else if (example.kind == "records")
        output = recordsFromMarkdown(note.text, defaults);
    else if (example.kind == "styles")
        output = stylesFromMarkdown(note.text, defaults);
    else {
        output = "no runner for output blocks of kind \"" + example.kind + "\"";
        return false;
    }
    return true;
}

class DialectExampleTest : public ::testing::TestWithParam<DialectExample> {};

} // namespace

TEST_P(DialectExampleTest, ConverterWritesTheExpectedOutput) {
    const DialectExample& example = GetParam();
    const std::string where = example.file + ":" + std::to_string(example.line);
    ASSERT_TRUE(example.problem.empty()) << where << ": " << example.problem;
    std::string output;
    ASSERT_TRUE(convertExample(example, output)) << where << ": " << output;
    EXPECT_EQ(example.expected, fileForm(output))
        << where << ": the " << example.kind << " output differs (tabs shown as arrows)\n"
        << "--- expected\n"
        << example.expected << "\n--- actual\n"
        << fileForm(output) << "\n---";
}

INSTANTIATE_TEST_SUITE_P(Dialect, DialectExampleTest,
                         ::testing::ValuesIn(readDialectExamples(QUILLET_TEST_DATA "/dialect")),
                         [](const ::testing::TestParamInfo<DialectExample>& info) {
                             return info.param.testName();
                         });

TEST(DialectExampleFiles, ParsesExamplesAndTheirOutputs) {
    const std::string file = "prose\n"
                             "````markdown\n"
                             "- a\n"
                             "\xE2\x86\x92- b\n"
                             "````\n"
                             "````html\n"
                             "<ul>\n"
                             "\xE2\x86\x92x\n"
                             "\n"
                             "````\n"
                             "    ````markdown (indented: not a fence)\n"
                             "````markdown\n"
                             "````\n"
                             "\n"
                             "````records\n"
                             "````\n";
    const auto examples = parseDialectExamples(file, "01-lists.md");
    ASSERT_EQ(examples.size(), 2u);
    EXPECT_EQ(examples[0].input, "- a\n\t- b\n");
    EXPECT_EQ(examples[0].kind, "html");
    EXPECT_EQ(examples[0].expected, "<ul>\n\xE2\x86\x92x");
    EXPECT_EQ(examples[0].testName(), "01_lists_line2");
    EXPECT_EQ(examples[1].line, 12u);
    EXPECT_EQ(examples[1].input, "");
    EXPECT_EQ(examples[1].kind, "records");
    EXPECT_EQ(fileForm("a\tb\n\n"), "a\xE2\x86\x92"
                                    "b");
}

TEST(DialectExampleFiles, MalformedExamplesBecomeFailingEntries) {
    const std::pair<std::string, std::string> broken[] = {
        {"````markdown\na\n", "the markdown block is never closed"},
        {"x\n````markdown\na\n````\nprose\n", "the markdown block is not followed by an output block"},
        {"````html\n<p/>\n````\n", "a \"````html\" block without a markdown block before it"},
        {"````markdown\na\n````\n````html\n<p>", "the output block is never closed"},
    };
    for (const auto& [text, problem] : broken) {
        const auto examples = parseDialectExamples(text, "f.md");
        ASSERT_EQ(examples.size(), 1u) << problem;
        EXPECT_EQ(examples[0].problem, problem);
    }
}
