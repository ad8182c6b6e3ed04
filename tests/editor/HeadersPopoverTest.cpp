// The headers popover: which headers are listed at each depth, which row the editor's selection
// picks, and what a chosen row selects, for outlines and for search results.
#include "editor/HeadersPopoverController.h"
#include "platform/UserDefaults.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace quillet {
namespace {

OutlineNodeRef header(const char* line, std::size_t location, std::vector<OutlineNodeRef> children = {}) {
    auto node = std::make_shared<OutlineNode>();
    node->headerString = QString::fromUtf8(line);
    node->headerRange = {location, static_cast<std::size_t>(node->headerString.size()) + 1};
    node->children = std::move(children);
    node->depth = 1;
    return node;
}

// # A, ## B, ### C, #### D, ##### E, then # F.
OutlineNodeRef fiveLevels() {
    auto root = std::make_shared<OutlineNode>();
    root->children = {
        header("# A", 0,
               {header("## B", 10, {header("### C", 20, {header("#### D", 30, {header("##### E", 40)})})})}),
        header("# F", 60)};
    return root;
}

class HeadersPopoverTest : public ::testing::Test {
protected:
    HeadersPopoverTest() : defaults(folder.filePath(QStringLiteral("defaults.ini"))) {}

    QStringList rows(HeadersPopoverController& popover) {
        QStringList texts;
        for (int i = 0; i < popover.tableView()->count(); ++i)
            texts << popover.tableView()->item(i)->text();
        return texts;
    }
    std::unique_ptr<HeadersPopoverController> outlinePopover(Range selection) {
        auto popover = std::make_unique<HeadersPopoverController>(defaults);
        popover->setOutlineRoot(fiveLevels());
        popover->setSelectedRange(selection);
        popover->viewWillAppear();
        return popover;
    }

    QTemporaryDir folder;
    platform::UserDefaults defaults;
};

TEST_F(HeadersPopoverTest, DepthDecidesTheLevelsListedAndIsRemembered) {
    auto standard = outlinePopover({0, 0});
    EXPECT_EQ(standard->titleField()->text(), "Headers");
    EXPECT_EQ(rows(*standard), (QStringList{"# A", "## B", "# F"}));

    defaults.setObject("RQ1DpopoverDepth", 1);
    EXPECT_EQ(rows(*outlinePopover({0, 0})), (QStringList{"# A", "# F"}));

    // The menu's choice lists more levels and is stored for the next popover; a fifth level
    // is never listed.
    standard->depthPopup()->menu()->actions().at(3)->trigger();
    EXPECT_EQ(rows(*standard), (QStringList{"# A", "## B", "### C", "#### D", "# F"}));
    EXPECT_EQ(defaults.number("RQ1DpopoverDepth"), 4.0);
    EXPECT_EQ(outlinePopover({0, 0})->outlineDepth(), 4);
    defaults.setObject("RQ1DpopoverDepth", 9);
    EXPECT_FALSE(rows(*outlinePopover({0, 0})).contains("##### E"));
}

TEST_F(HeadersPopoverTest, SelectionPicksTheLastHeaderAboveItAndRowsSelectHeaderLines) {
    defaults.setObject("RQ1DpopoverDepth", 4);
    auto popover = outlinePopover({25, 0}); // below the third listed header, above the fourth
    EXPECT_EQ(popover->tableView()->currentRow(), 2);
    EXPECT_EQ(outlinePopover({0, 0})->tableView()->currentRow(), 0);

    QSignalSpy chosen(popover.get(), &HeadersPopoverController::rangeDictDidSelect);
    popover->tableView()->setCurrentRow(4);
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.at(0).at(0).value<Range>(), (Range{60, 4})); // "# F" and its line break
}

TEST_F(HeadersPopoverTest, SearchModeListsResultsAndMovesTheCaretToTheirLine) {
    auto results = std::make_shared<SearchResults>(SearchResults{
        {{3, 2}, {0, 10}, {0, 10}, QStringLiteral("one\ntwo ab")},
        {{16, 2}, {40, 50}, {1, 30}, QStringLiteral("later ab text")},
    });
    HeadersPopoverController popover(defaults);
    popover.setSearchResults(results);
    popover.setDisplayMode(QStringLiteral("search"));
    popover.setSelectedRange({5, 0});
    popover.viewWillAppear();
    EXPECT_EQ(popover.titleField()->text(), "Search Result");
    EXPECT_FALSE(popover.depthPopup()->isEnabled());
    EXPECT_EQ(rows(popover), (QStringList{"one two ab", "later ab text"}));
    EXPECT_EQ(popover.tableView()->currentRow(), 1); // the first result at or after the caret

    QSignalSpy chosen(&popover, &HeadersPopoverController::rangeDictDidSelect);
    popover.tableView()->setCurrentRow(0);
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.at(0).at(0).value<Range>(), (Range{0, 0}));

    popover.setSelectedRange({57, 0}); // after the last result
    popover.viewWillAppear();
    EXPECT_EQ(popover.tableView()->currentRow(), -1);
    EXPECT_TRUE(popover.tableView()->selectedItems().isEmpty());
}

} // namespace
} // namespace quillet
