// Selecting, expanding, collapsing and reloading rows of the browser pane.

#include "BrowserPaneSupport.h"

namespace quillet::testing {
namespace {

TEST_F(BrowserPaneTest, ClickingANoteClosesTheOpenOneAndOpensItATenthOfASecondLater) {
    click(rowOf("Beta.md"));
    EXPECT_EQ(host.takeCalls(), Calls{"close"});
    EXPECT_EQ(selectedName(), "Beta");
    dispatcher.advance(platform::seconds(0.09));
    EXPECT_TRUE(host.calls.empty());
    dispatcher.advance(platform::seconds(0.01));
    EXPECT_EQ(host.takeCalls(), Calls{"open Beta"});

    // Two clicks within the delay open only the later note.
    click(rowOf("Alpha.md"));
    click(rowOf("Beta.md"));
    dispatcher.advance(platform::seconds(0.2));
    EXPECT_EQ(host.takeCalls(), (Calls{"close", "close", "open Beta"}));
}

TEST_F(BrowserPaneTest, FolderAndTopRowsAreNeverSelected) {
    click(rowOf("Folder"));
    click(top());
    dispatcher.advance(platform::seconds(1));
    EXPECT_EQ(browser->selectedItem(), nullptr);
    EXPECT_TRUE(host.calls.empty());

    // The arrow keys pass over them: down from Beta, past the closed Folder, stays on Beta; with
    // Folder open it reaches Inner.
    openByClick("Beta.md");
    QTest::keyClick(view(), Qt::Key_Down);
    EXPECT_EQ(selectedName(), "Beta");
    view()->expand(rowOf("Folder"));
    QTest::keyClick(view(), Qt::Key_Down);
    EXPECT_EQ(selectedName(), "Inner");
    dispatcher.advance(platform::seconds(0.1));
    EXPECT_EQ(host.takeCalls(), (Calls{"close", "open Inner"}));
    QTest::keyClick(view(), Qt::Key_Up);
    EXPECT_EQ(selectedName(), "Beta");
}

TEST_F(BrowserPaneTest, CollapsingAFolderMovesTheSelectionFromItsChildToTheRowAbove) {
    view()->expand(rowOf("Folder"));
    EXPECT_TRUE(record("Folder")->expanded);
    openByClick("Folder/Inner.md");

    view()->collapse(rowOf("Folder"));
    EXPECT_FALSE(record("Folder")->expanded);
    EXPECT_EQ(selectedName(), "Beta");
    dispatcher.advance(platform::seconds(0.1));
    EXPECT_EQ(host.takeCalls(), (Calls{"close", "open Beta"}));

    // A selection elsewhere stays.
    view()->expand(rowOf("Folder"));
    view()->collapse(rowOf("Folder"));
    EXPECT_EQ(selectedName(), "Beta");
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(BrowserPaneTest, ReloadingKeepsSelectionAndExpansionWhileTheRecordsStay) {
    openByClick("Beta.md");
    view()->expand(rowOf("Folder"));
    browser->updateTable();
    EXPECT_EQ(selectedName(), "Beta");
    EXPECT_TRUE(view()->isExpanded(rowOf("Folder")));
    EXPECT_TRUE(host.calls.empty()); // reloading opens nothing

    std::erase(*browser->noteTree().localTop()->children, record("Beta.md"));
    browser->updateTable();
    EXPECT_EQ(browser->selectedItem(), nullptr);
    EXPECT_EQ(namesUnder(top()), (QStringList{"Alpha", "Folder"}));
}

TEST_F(BrowserPaneTest, SelectRowWithFileRepExpandsTheWayWithoutOpening) {
    view()->collapse(top());
    browser->selectRowWithFileRep(record("Folder/Inner.md"));
    EXPECT_EQ(selectedName(), "Inner");
    EXPECT_TRUE(view()->isExpanded(rowOf("Folder")));
    dispatcher.advance(platform::seconds(1));
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(BrowserPaneTest, ScheduledUpdatesCollapseIntoOneTwoSecondsAfterTheLast) {
    ASSERT_EQ(model()->rowCount(top()), 3); // the rows are read, as drawing them does
    browser->scheduleUpdateTable();
    dispatcher.advance(platform::seconds(1.5));
    browser->noteTree().localTop()->children->push_back(testing::record(at("Gamma.md"), "Gamma", 0));
    browser->scheduleUpdateTable();
    dispatcher.advance(platform::seconds(1.9));
    EXPECT_EQ(model()->rowCount(top()), 3); // until the update
    dispatcher.advance(platform::seconds(0.1));
    EXPECT_EQ(model()->rowCount(top()), 4);
    EXPECT_TRUE(view()->isExpanded(top()));
}

TEST_F(BrowserPaneTest, SortMenuReordersTheRowsAndIsRemembered) {
    write("aardvark.md", "x\n", 100);
    browser->loadTree({container, false, {}});
    browser->sortMenuDidSelect("Name");
    EXPECT_EQ(namesUnder(top()), (QStringList{"Alpha", "Beta", "Folder", "aardvark"}));
    EXPECT_EQ(defaults->string("RQ1DlastSortMode"), "Name");
}

} // namespace
} // namespace quillet::testing
