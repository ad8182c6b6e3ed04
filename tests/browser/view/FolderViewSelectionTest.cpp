// Selecting, expanding and collapsing rows of the browser pane.

#include "BrowserPaneSupport.h"

namespace quillet::testing {
namespace {

TEST_F(BrowserPaneTest, ShowsTheContainersEntriesByDisplayName) {
    const QModelIndex top = model()->index(0, 0);
    EXPECT_EQ(model()->rowCount(), 1);
    EXPECT_EQ(top.data().toString(), QStringLiteral("On My Mac"));
    EXPECT_EQ(top.data(Qt::ToolTipRole).toString(), QDir::cleanPath(container));
    EXPECT_EQ(static_cast<RowKind>(top.data(NoteTreeModel::RowKindRole).toInt()), RowKind::top);

    QStringList names;
    for (int row = 0; row < model()->rowCount(top); ++row)
        names << model()->index(row, 0, top).data().toString();
    EXPECT_EQ(names,
              (QStringList{QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Folder")}));
    // The rows are the tree's records themselves.
    EXPECT_EQ(model()->recordAt(model()->index(1, 0, top)), record(QStringLiteral("Beta.md")));
    EXPECT_TRUE(view()->isExpanded(top));
    EXPECT_FALSE(view()->isExpanded(rowOf(QStringLiteral("Folder"))));
}

TEST_F(BrowserPaneTest, ClickingANoteClosesTheOpenOneAndOpensItATenthOfASecondLater) {
    click(rowOf(QStringLiteral("Beta.md")));
    EXPECT_EQ(host.takeCalls(), Calls{"close"});
    EXPECT_EQ(selectedName(), "Beta");
    dispatcher.advance(platform::seconds(0.09));
    EXPECT_TRUE(host.calls.empty());
    dispatcher.advance(platform::seconds(0.01));
    EXPECT_EQ(host.takeCalls(), Calls{"open Beta"});

    // Two clicks within the delay open only the later note.
    click(rowOf(QStringLiteral("Alpha.md")));
    click(rowOf(QStringLiteral("Beta.md")));
    dispatcher.advance(platform::seconds(0.2));
    EXPECT_EQ(host.takeCalls(), (Calls{"close", "close", "open Beta"}));
}

TEST_F(BrowserPaneTest, FolderAndTopRowsAreNeverSelected) {
    click(rowOf(QStringLiteral("Folder")));
    click(model()->index(0, 0));
    dispatcher.advance(platform::seconds(1));
    EXPECT_EQ(browser->selectedItem(), nullptr);
    EXPECT_TRUE(host.calls.empty());

    // The arrow keys pass over them: down from Beta, past the closed Folder, stays on Beta;
    // with Folder open it reaches Inner.
    openByClick(QStringLiteral("Beta.md"));
    QTest::keyClick(view(), Qt::Key_Down);
    EXPECT_EQ(selectedName(), "Beta");
    view()->expand(rowOf(QStringLiteral("Folder")));
    QTest::keyClick(view(), Qt::Key_Down);
    EXPECT_EQ(selectedName(), "Inner");
    dispatcher.advance(platform::seconds(0.1));
    EXPECT_EQ(host.takeCalls(), (Calls{"close", "open Inner"}));
    QTest::keyClick(view(), Qt::Key_Up);
    EXPECT_EQ(selectedName(), "Beta");
}

TEST_F(BrowserPaneTest, ExpandingAndCollapsingAFolderMarksIt) {
    const FileRep folder = record(QStringLiteral("Folder"));
    view()->expand(rowOf(QStringLiteral("Folder")));
    EXPECT_TRUE(folder->expanded);
    view()->collapse(rowOf(QStringLiteral("Folder")));
    EXPECT_FALSE(folder->expanded);
}

TEST_F(BrowserPaneTest, CollapsingAFolderMovesTheSelectionFromItsChildToTheRowAbove) {
    view()->expand(rowOf(QStringLiteral("Folder")));
    openByClick(QStringLiteral("Folder/Inner.md"));
    ASSERT_EQ(selectedName(), "Inner");

    view()->collapse(rowOf(QStringLiteral("Folder")));
    EXPECT_EQ(selectedName(), "Beta");
    dispatcher.advance(platform::seconds(0.1));
    EXPECT_EQ(host.takeCalls(), (Calls{"close", "open Beta"}));

    // A selection elsewhere stays.
    view()->expand(rowOf(QStringLiteral("Folder")));
    view()->collapse(rowOf(QStringLiteral("Folder")));
    EXPECT_EQ(selectedName(), "Beta");
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(BrowserPaneTest, UpdateTableKeepsTheSelectionOnlyWhileTheRecordIsInTheTree) {
    openByClick(QStringLiteral("Beta.md"));
    view()->expand(rowOf(QStringLiteral("Folder")));
    browser->updateTable();
    EXPECT_EQ(selectedName(), "Beta");
    EXPECT_TRUE(view()->isExpanded(rowOf(QStringLiteral("Folder"))));
    EXPECT_TRUE(host.calls.empty()); // reloading opens nothing

    FileRepList& entries = *browser->noteTree().localTop()->children;
    std::erase(entries, record(QStringLiteral("Beta.md")));
    browser->updateTable();
    EXPECT_EQ(browser->selectedItem(), nullptr);
    EXPECT_EQ(model()->rowCount(model()->index(0, 0)), 2);
}

TEST_F(BrowserPaneTest, SelectRowWithFileRepExpandsTheWayWithoutOpening) {
    view()->collapse(model()->index(0, 0));
    browser->selectRowWithFileRep(record(QStringLiteral("Folder/Inner.md")));
    EXPECT_EQ(selectedName(), "Inner");
    EXPECT_TRUE(view()->isExpanded(rowOf(QStringLiteral("Folder"))));
    dispatcher.advance(platform::seconds(1));
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(BrowserPaneTest, UpdateRowForFileRepRedrawsOrReloadsKeepingTheSelection) {
    openByClick(QStringLiteral("Alpha.md"));
    const FileRep alpha = record(QStringLiteral("Alpha.md"));
    alpha->displayName = QStringLiteral("Renamed");
    browser->updateRowForFileRep(alpha);
    EXPECT_EQ(rowOf(QStringLiteral("Alpha.md")).data().toString(), QStringLiteral("Renamed"));

    // A new note in a shown folder appears when the folder's row is refreshed.
    const FileRep folder = record(QStringLiteral("Folder"));
    view()->expand(rowOf(QStringLiteral("Folder")));
    FileRep added = FileRepresentation::forPath(container + QStringLiteral("/Folder/New.md"));
    added->displayName = QStringLiteral("New");
    folder->children->push_back(added);
    browser->updateRowForFileRep(folder);
    EXPECT_EQ(model()->rowCount(rowOf(QStringLiteral("Folder"))), 2);
    EXPECT_TRUE(model()->indexOfRecord(added).isValid());
    EXPECT_EQ(selectedName(), "Renamed");
}

TEST_F(BrowserPaneTest, ScheduledUpdatesCollapseIntoOneTwoSecondsAfterTheLast) {
    const FileRep top = browser->noteTree().localTop();
    const QModelIndex topRow = model()->index(0, 0);
    ASSERT_EQ(model()->rowCount(topRow), 3);
    browser->scheduleUpdateTable();
    dispatcher.advance(platform::seconds(1.5));
    FileRep added = FileRepresentation::forPath(container + QStringLiteral("/Gamma.md"));
    added->displayName = QStringLiteral("Gamma");
    top->children->push_back(added);
    browser->scheduleUpdateTable();
    dispatcher.advance(platform::seconds(1.9));
    EXPECT_EQ(model()->rowCount(topRow), 3); // the rows read before stand until the update
    dispatcher.advance(platform::seconds(0.1));
    EXPECT_EQ(model()->rowCount(model()->index(0, 0)), 4);
    EXPECT_TRUE(view()->isExpanded(model()->index(0, 0)));
}

TEST_F(BrowserPaneTest, SortMenuReordersTheRowsAndIsRemembered) {
    write(QStringLiteral("aardvark.md"), "x\n", 100);
    browser->loadTree({container, false, {}});
    browser->sortMenuDidSelect(QStringLiteral("Name"));
    const QModelIndex top = model()->index(0, 0);
    QStringList names;
    for (int row = 0; row < model()->rowCount(top); ++row)
        names << model()->index(row, 0, top).data().toString();
    EXPECT_EQ(names, (QStringList{QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Folder"),
                                  QStringLiteral("aardvark")}));
    EXPECT_EQ(defaults->string(QStringLiteral("RQ1DlastSortMode")), QStringLiteral("Name"));
}

} // namespace
} // namespace quillet::testing
