// The stored Markdown options reach the editor's engine and the preview.

#include "ViewControllerTestSupport.h"
#include "engine/MarkdownString.h"
#include "platform/SettingsMarkdownDefaults.h"

namespace quillet::testing {
namespace {

TEST_F(ViewControllerTest, StoredOptionsStyleTheNoteAndConvertThePreviewAtStartAndWhenApplied) {
    platform::SettingsMarkdownDefaults stored(*defaults);
    ASSERT_TRUE(stored.markdownOptions()) << "the built-in options are written back at start";
    stored.setMarkdownOptions({{"indentNormalLines", 1}, {"indentWidthByChars", 5}});
    makeController();
    EXPECT_TRUE(editor().markdownString().markdownOptions().indentNormalLines);
    EXPECT_DOUBLE_EQ(editor().markdownString().indentWidth, 5 * editor().markdownString().fontWidth);

    open(writeNote("Code.md", "Plain.\n\n    x < y\n"));
    EXPECT_EQ(editor().textStorage().attributesAt(0).mdIndentDepth, 1);
    EXPECT_TRUE(preview->pages.back().contains("<code>    x &lt; y")) << "a missing key reads as false";

    stored.setMarkdownOptions(MarkdownOptions::defaults().toKeyValues());
    const std::size_t updates = preview->updates.size();
    controller->applyStoredMarkdownOptions();
    dispatcher.runPending();
    EXPECT_EQ(editor().textStorage().attributesAt(0).mdIndentDepth, 0);
    ASSERT_EQ(preview->updates.size(), updates + 1);
    EXPECT_TRUE(preview->updates.back().newDocument) << "the whole body is sent again";
    EXPECT_TRUE(preview->pages.back().contains("<code>x &lt; y")) << preview->pages.back().toStdString();
}

} // namespace
} // namespace quillet::testing
