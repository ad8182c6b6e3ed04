// The browser pane's outline mode and search display, and the selection following the caret.

#include "BrowserPaneSupport.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QDir>
#include <algorithm>

namespace quillet::testing {
namespace {

OutlineNodeRef header(const char* text, Range headerRange, Range range, int depth,
                      std::vector<OutlineNodeRef> children = {}) {
    auto node = std::make_shared<OutlineNode>();
    node->headerString = QString::fromUtf8(text);
    node->headerRange = headerRange;
    node->range = range;
    node->depth = depth;
    node->children = std::move(children);
    return node;
}

// The outline of "# A\nalpha\n## B\nbeta\n# C\ngamma\n".
OutlineNodeRef alphaOutline() {
    auto root = std::make_shared<OutlineNode>();
    root->range = {0, 30};
    root->children = {header("# A", {0, 4}, {4, 16}, 1, {header("## B", {10, 5}, {15, 5}, 2)}),
                      header("# C", {20, 4}, {24, 6}, 1)};
    return root;
}

QStringList childNames(const QAbstractItemModel* model, const QModelIndex& parent) {
    QStringList names;
    for (int row = 0; row < model->rowCount(parent); ++row)
        names << model->index(row, 0, parent).data().toString();
    return names;
}

class OutlineAndSearchTest : public BrowserPaneTest {
protected:
    void SetUp() override {
        BrowserPaneTest::SetUp();
        record(QStringLiteral("Alpha.md"))->setOutline(alphaOutline());
    }
    QAbstractButton* outlineButton() const { return browser->findChild<QButtonGroup*>()->button(1); }
    void enterOutlineMode() {
        QTest::mouseClick(outlineButton(), Qt::LeftButton);
        host.takeCalls();
    }
    QModelIndex childRow(const QModelIndex& parent, int row) const { return model()->index(row, 0, parent); }
};

TEST_F(OutlineAndSearchTest, OutlineModeShowsTheHeadersOfNotes) {
    openByClick(QStringLiteral("Alpha.md"));
    QTest::mouseClick(outlineButton(), Qt::LeftButton);
    EXPECT_EQ(browser->folderMode(), QStringLiteral("outline"));
    EXPECT_EQ(host.takeCalls(), Calls{"outline on"});

    const QModelIndex alpha = rowOf(QStringLiteral("Alpha.md"));
    EXPECT_TRUE(model()->hasChildren(alpha));
    EXPECT_FALSE(model()->hasChildren(rowOf(QStringLiteral("Beta.md"))));
    EXPECT_EQ(childNames(model(), alpha), (QStringList{QStringLiteral("# A"), QStringLiteral("# C")}));
    const QModelIndex a = childRow(alpha, 0);
    EXPECT_EQ(static_cast<RowKind>(a.data(NoteTreeModel::RowKindRole).toInt()), RowKind::header);
    EXPECT_EQ(childNames(model(), a), QStringList{QStringLiteral("## B")});
    EXPECT_EQ(a.data(Qt::SizeHintRole).toSize().height(), 17);
    EXPECT_EQ(alpha.data(Qt::SizeHintRole).toSize().height(), 34);

    // Expanding the note opens its first header 0.4 seconds later.
    view()->expand(alpha);
    EXPECT_FALSE(view()->isExpanded(a));
    dispatcher.advance(platform::seconds(0.4));
    EXPECT_TRUE(view()->isExpanded(a));
    saveSnapshot(*browser, QStringLiteral("browser-outline.png"));

    // Back to folders: no header rows.
    QTest::mouseClick(browser->findChild<QButtonGroup*>()->button(0), Qt::LeftButton);
    EXPECT_EQ(host.takeCalls(), Calls{"outline off"});
    EXPECT_EQ(model()->rowCount(rowOf(QStringLiteral("Alpha.md"))), 0);
}

TEST_F(OutlineAndSearchTest, SelectingANoteInOutlineModeShowsItsHeadersOnceItIsOpen) {
    openByClick(QStringLiteral("Alpha.md"));
    enterOutlineMode();
    host.whenOpened = [](const FileRep& note) { note->setOutline(alphaOutline()); };
    ASSERT_EQ(model()->rowCount(rowOf(QStringLiteral("Beta.md"))), 0);
    click(rowOf(QStringLiteral("Beta.md")));
    dispatcher.advance(platform::seconds(0.1));
    EXPECT_EQ(host.takeCalls(), (Calls{"close", "open Beta"}));
    EXPECT_EQ(model()->rowCount(rowOf(QStringLiteral("Beta.md"))), 2);
    EXPECT_EQ(selectedName(), "Beta");
}

TEST_F(OutlineAndSearchTest, InFolderModeANewOutlineWaitsForTheNextRefresh) {
    host.whenOpened = [](const FileRep& note) { note->setOutline(alphaOutline()); };
    ASSERT_EQ(model()->rowCount(rowOf(QStringLiteral("Beta.md"))), 0);
    openByClick(QStringLiteral("Beta.md"));
    dispatcher.advance(platform::seconds(1));
    EXPECT_EQ(model()->rowCount(rowOf(QStringLiteral("Beta.md"))), 0);
}

TEST_F(OutlineAndSearchTest, SelectingAHeaderSelectsItInTheEditor) {
    openByClick(QStringLiteral("Alpha.md"));
    enterOutlineMode();
    const QModelIndex alpha = rowOf(QStringLiteral("Alpha.md"));
    view()->expand(alpha);
    view()->expand(childRow(alpha, 0));

    click(childRow(alpha, 1)); // "# C" of the open note
    EXPECT_EQ(host.takeCalls(), Calls{"select {20, 4}"});
    click(childRow(childRow(alpha, 0), 0)); // "## B"
    EXPECT_EQ(host.takeCalls(), Calls{"select {10, 5}"});

    // The header of a note that is not open opens the note with the header selected.
    host.open = record(QStringLiteral("Beta.md"));
    click(childRow(alpha, 0));
    EXPECT_EQ(host.takeCalls(), (Calls{"close", "open Alpha", "select {0, 4}"}));
}

TEST_F(OutlineAndSearchTest, AHeaderChosenWhileANoteWaitsToOpenWins) {
    openByClick(QStringLiteral("Alpha.md"));
    enterOutlineMode();
    const QModelIndex alpha = rowOf(QStringLiteral("Alpha.md"));
    view()->expand(alpha);
    const QModelIndex c = childRow(alpha, 1);
    click(rowOf(QStringLiteral("Beta.md")));
    click(c);
    dispatcher.advance(platform::seconds(0.5));
    EXPECT_EQ(host.takeEditorCalls(), (Calls{"close", "close", "open Alpha", "select {20, 4}"}));
}

TEST_F(OutlineAndSearchTest, TheSelectionFollowsTheCaretWithoutActing) {
    openByClick(QStringLiteral("Alpha.md"));
    enterOutlineMode();
    const QModelIndex alpha = rowOf(QStringLiteral("Alpha.md"));
    view()->expand(alpha);
    view()->expand(childRow(alpha, 0));

    const std::vector<OutlineNodeRef>& nodes = record(QStringLiteral("Alpha.md"))->outline()->children;
    // Rows: top 0, Alpha 1, # A 2, ## B 3, # C 4.
    EXPECT_EQ(browser->findRowInRangeTable(nodes, {1, 0}), 2);
    EXPECT_EQ(browser->findRowInRangeTable(nodes, {16, 2}), 3);
    EXPECT_EQ(browser->findRowInRangeTable(nodes, {5, 0}), 2);
    EXPECT_EQ(browser->findRowInRangeTable(nodes, {21, 0}), 4);
    EXPECT_EQ(browser->findRowInRangeTable(nodes, {40, 0}), -1);

    browser->textViewDidChangeSelection({16, 0});
    EXPECT_EQ(model()->itemAt(view()->currentIndex()).header, nodes[0]->children[0]);
    browser->textViewDidChangeSelection({25, 0});
    EXPECT_EQ(model()->itemAt(view()->currentIndex()).header, nodes[1]);
    // With the headers hidden, the note's row.
    view()->collapse(alpha);
    browser->textViewDidChangeSelection({16, 0});
    EXPECT_EQ(selectedName(), "Alpha");
    dispatcher.advance(platform::seconds(1));
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(OutlineAndSearchTest, SearchMarksNotesAndListsTheirOccurrences) {
    browser->setSearchTarget(QStringLiteral("beta"));
    EXPECT_EQ(host.takeCalls(), (Calls{"find Alpha", "find Beta"})); // not below the closed folder
    EXPECT_TRUE(record(QStringLiteral("Beta.md"))->hasSearchTarget());
    EXPECT_FALSE(record(QStringLiteral("Folder/Inner.md"))->hasSearchTarget());

    dispatcher.advance(platform::seconds(0.5)); // the rows are read again
    const QModelIndex rows = rowOf(QStringLiteral("Beta.md"));
    EXPECT_EQ(rows.data(NoteTreeModel::SearchTargetRole).toString(), QStringLiteral("beta"));
    EXPECT_TRUE(model()->hasChildren(rows)); // a marked note asks for its results, once
    EXPECT_TRUE(model()->hasChildren(rows));
    EXPECT_FALSE(model()->hasChildren(rowOf(QStringLiteral("Folder/Inner.md"))));
    EXPECT_EQ(std::ranges::count(host.takeCalls(), std::string("results Beta")), 1);
    EXPECT_EQ(childNames(model(), rows),
              (QStringList{QStringLiteral("beta one"), QStringLiteral("another beta")}));
    const QModelIndex second = childRow(rows, 1);
    EXPECT_EQ(static_cast<RowKind>(second.data(NoteTreeModel::RowKindRole).toInt()), RowKind::searchResult);
    EXPECT_EQ(second.data(NoteTreeModel::OccurrenceRole).toPoint(), QPoint(8, 4));

    // Expanding a folder marks its notes.
    view()->expand(rowOf(QStringLiteral("Folder")));
    EXPECT_EQ(std::ranges::count(host.takeCalls(), std::string("find Inner")), 1);
    EXPECT_TRUE(record(QStringLiteral("Folder/Inner.md"))->hasSearchTarget());

    // A new string clears the marks and results.
    browser->setSearchTarget(QStringLiteral("gamma"));
    EXPECT_FALSE(record(QStringLiteral("Beta.md"))->hasSearchTarget());
    EXPECT_EQ(record(QStringLiteral("Beta.md"))->searchResults(), nullptr);
    EXPECT_TRUE(record(QStringLiteral("Alpha.md"))->hasSearchTarget());
    EXPECT_EQ(host.takeCalls(), (Calls{"find Alpha", "find Beta"}));
}

TEST_F(OutlineAndSearchTest, ResultsReadInTheBackgroundAppearUnderTheExpandedNote) {
    host.resultsLater = true;
    browser->setSearchTarget(QStringLiteral("beta"));
    dispatcher.advance(platform::seconds(0.5));
    const QModelIndex beta = rowOf(QStringLiteral("Beta.md"));
    EXPECT_TRUE(model()->hasChildren(beta));
    view()->expand(beta);
    EXPECT_EQ(model()->rowCount(beta), 0);
    host.deliverResults();
    dispatcher.advance(platform::seconds(0.2));
    EXPECT_EQ(childNames(model(), rowOf(QStringLiteral("Beta.md"))),
              (QStringList{QStringLiteral("beta one"), QStringLiteral("another beta")}));
}

TEST_F(OutlineAndSearchTest, SelectingASearchResultSelectsTheOccurrence) {
    browser->setSearchTarget(QStringLiteral("beta"));
    const FileRep beta = record(QStringLiteral("Beta.md"));
    host.searchResults(QStringLiteral("beta"), beta);
    dispatcher.advance(platform::seconds(0.5));
    view()->expand(rowOf(QStringLiteral("Beta.md")));
    host.takeEditorCalls();

    // Beta is not open: it opens with the occurrence selected, then the row is selected.
    const QModelIndex second = childRow(rowOf(QStringLiteral("Beta.md")), 1);
    click(second);
    EXPECT_EQ(host.takeEditorCalls(), (Calls{"close", "open Beta", "select {25, 4}"})); // "another beta" at 17
    dispatcher.runPending();
    dispatcher.advance(platform::seconds(0));
    EXPECT_TRUE(view()->selectionModel()->isSelected(second));

    // In the open note the text is selected at once.
    click(childRow(rowOf(QStringLiteral("Beta.md")), 0));
    EXPECT_EQ(host.takeEditorCalls(), Calls{"select {0, 4}"});

    // The caret picks the last occurrence at or before it.
    browser->textViewDidChangeSelection({30, 0});
    EXPECT_EQ(view()->currentIndex(), second);
    browser->textViewDidChangeSelection({24, 0});
    EXPECT_EQ(view()->currentIndex(), childRow(rowOf(QStringLiteral("Beta.md")), 0));
    EXPECT_TRUE(host.takeEditorCalls().empty());

    saveSnapshot(*browser, QStringLiteral("browser-search.png"));
}

TEST_F(OutlineAndSearchTest, OutlineModeCannotBeEnteredDuringASearch) {
    openByClick(QStringLiteral("Alpha.md"));
    browser->setSearchTarget(QStringLiteral("beta"));
    host.takeCalls();
    QTest::mouseClick(outlineButton(), Qt::LeftButton);
    EXPECT_EQ(browser->folderMode(), QStringLiteral("folder"));
    EXPECT_EQ(browser->selectedFolderSegment(), 0);
    EXPECT_TRUE(host.calls.empty());

    // Without a search, and without an open note, the mode changes but nothing is told.
    browser->setSearchTarget(QString());
    host.open = nullptr;
    QTest::mouseClick(outlineButton(), Qt::LeftButton);
    EXPECT_EQ(browser->folderMode(), QStringLiteral("outline"));
    EXPECT_EQ(browser->selectedFolderSegment(), 1);
    EXPECT_TRUE(host.calls.empty());
}

} // namespace
} // namespace quillet::testing
