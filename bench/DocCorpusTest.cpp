#include "bench/DocCorpus.h"

#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quillet::bench {
namespace {

TEST(DocCorpus, Utf8CheckRejectsWhatAConverterMayRefuse) {
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("plain ascii"));
    EXPECT_TRUE(isValidUtf8("caf\xC3\xA9 \xE6\x97\xA5 \xF0\x9F\x98\x80"));
    EXPECT_FALSE(isValidUtf8("\xC3"));             // cut short
    EXPECT_FALSE(isValidUtf8("\xE6\x97"));         // cut short
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));         // overlong '/'
    EXPECT_FALSE(isValidUtf8("\xE0\x80\xAF"));     // overlong '/'
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));     // an encoded surrogate
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
    EXPECT_FALSE(isValidUtf8("a\x80z"));           // a lone continuation byte
    EXPECT_FALSE(isValidUtf8("\xFF"));
}

class DocCorpusFolder : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() / ("doc-corpus-test-" + std::to_string(getpid()));
        std::filesystem::create_directories(root_ / "pkg" / "deeper");
    }
    void TearDown() override { std::filesystem::remove_all(root_); }
    void write(const std::filesystem::path& relative, const std::string& content) {
        std::ofstream(root_ / relative, std::ios::binary) << content;
    }

    std::filesystem::path root_;
};

TEST_F(DocCorpusFolder, FindsMarkdownFilesRecursivelyAndLeavesOutTheRest) {
    write("pkg/README.md", "# Read me\n");         // 10 bytes
    write("pkg/deeper/NEWS.markdown", "- item\n"); // 7 bytes
    write("pkg/changelog.txt", "not markdown\n");
    write("pkg/README.md.gz", "compressed");
    write("pkg/latin1.md", "caf\xE9\n");
    std::filesystem::create_symlink(root_ / "pkg/README.md", root_ / "pkg/link.md");

    const DocCorpus corpus = DocCorpus::find(root_);
    ASSERT_EQ(corpus.files.size(), 2u);
    EXPECT_EQ(corpus.files[0], root_ / "pkg/README.md");
    EXPECT_EQ(corpus.files[1], root_ / "pkg/deeper/NEWS.markdown");
    EXPECT_EQ(corpus.bytes, 17u);
    EXPECT_EQ(corpus.skippedInvalidUtf8, 1u);
}

TEST(DocCorpus, MissingFolderGivesNoFiles) {
    const DocCorpus corpus = DocCorpus::find("/nonexistent/folder/for/the/test");
    EXPECT_TRUE(corpus.files.empty());
    EXPECT_EQ(corpus.bytes, 0u);
}

} // namespace
} // namespace quillet::bench
