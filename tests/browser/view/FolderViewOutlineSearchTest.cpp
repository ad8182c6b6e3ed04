// The browser pane's outline mode and search display, and the selection following the caret.

#include "BrowserPaneSupport.h"

#include <QAbstractButton>
#include <QButtonGroup>

namespace quillet::testing {
namespace {

OutlineNodeRef node(const char* title, int depth, std::vector<OutlineNodeRef> children = {},
                    Range headerRange = {}, Range range = {}) {
    return std::make_shared<OutlineNode>(
        OutlineNode{std::move(children), range, QString::fromUtf8(title), headerRange, depth});
}

OutlineNodeRef outline(std::vector<OutlineNodeRef> headers) {
    return node("", 0, std::move(headers));
}

// The outline of "# A\nalpha\n## B\nbeta\n# C\ngamma\n".
OutlineNodeRef alphaOutline() {
    return outline({node("# A", 1, {node("## B", 2, {}, {10, 5}, {15, 5})}, {0, 4}, {4, 16}),
                    node("# C", 1, {}, {20, 4}, {24, 6})});
}

class OutlineAndSearchTest : public BrowserPaneTest {
protected:
    void SetUp() override {
        BrowserPaneTest::SetUp();
        record("Alpha.md")->setOutline(alphaOutline());
    }
    void pressButton(int segment) {
        QTest::mouseClick(browser->findChild<QButtonGroup*>()->button(segment), Qt::LeftButton);
    }
    // Alpha open in outline mode, its headers shown.
    void showAlphasHeaders() {
        openByClick("Alpha.md");
        pressButton(1);
        view()->expand(rowOf("Alpha.md"));
        view()->expand(child(rowOf("Alpha.md"), 0));
        host.takeCalls();
    }
    QModelIndex child(const QModelIndex& parent, int row) const { return model()->index(row, 0, parent); }
};

TEST_F(OutlineAndSearchTest, OutlineModeShowsTheHeadersOfNotes) {
    openByClick("Alpha.md");
    pressButton(1);
    EXPECT_EQ(browser->folderMode(), "outline");
    EXPECT_EQ(host.takeCalls(), Calls{"outline on"});
    const QModelIndex alpha = rowOf("Alpha.md");
    EXPECT_EQ(namesUnder(alpha), (QStringList{"# A", "# C"}));
    EXPECT_EQ(namesUnder(child(alpha, 0)), QStringList{"## B"});
    EXPECT_FALSE(model()->hasChildren(rowOf("Beta.md")));

    // Expanding the note opens its first header 0.4 seconds later.
    view()->expand(alpha);
    EXPECT_FALSE(view()->isExpanded(child(alpha, 0)));
    dispatcher.advance(platform::seconds(0.4));
    EXPECT_TRUE(view()->isExpanded(child(alpha, 0)));

    pressButton(0);
    EXPECT_EQ(host.takeCalls(), Calls{"outline off"});
    EXPECT_EQ(model()->rowCount(rowOf("Alpha.md")), 0);
}

TEST_F(OutlineAndSearchTest, SelectingANoteInOutlineModeShowsItsHeadersOnceItIsOpen) {
    openByClick("Alpha.md");
    pressButton(1);
    host.whenOpened = [](const FileRep& note) { note->setOutline(alphaOutline()); };
    ASSERT_EQ(model()->rowCount(rowOf("Beta.md")), 0);
    host.takeCalls();
    click(rowOf("Beta.md"));
    dispatcher.advance(platform::seconds(0.1));
    EXPECT_EQ(host.takeCalls(), (Calls{"close", "open Beta"}));
    EXPECT_EQ(model()->rowCount(rowOf("Beta.md")), 2);
    EXPECT_EQ(selectedName(), "Beta");
}

TEST_F(OutlineAndSearchTest, SelectingAHeaderSelectsItInTheEditor) {
    showAlphasHeaders();
    const QModelIndex alpha = rowOf("Alpha.md");
    click(child(alpha, 1)); // "# C" of the open note
    EXPECT_EQ(host.takeCalls(), Calls{"select {20, 4}"});
    click(child(child(alpha, 0), 0)); // "## B"
    EXPECT_EQ(host.takeCalls(), Calls{"select {10, 5}"});

    // The header of a note that is not open opens the note with the header selected.
    host.open = record("Beta.md");
    click(child(alpha, 0));
    EXPECT_EQ(host.takeCalls(), (Calls{"close", "open Alpha", "select {0, 4}"}));
}

TEST_F(OutlineAndSearchTest, AHeaderChosenWhileANoteWaitsToOpenWins) {
    showAlphasHeaders();
    click(rowOf("Beta.md"));
    click(child(rowOf("Alpha.md"), 1));
    dispatcher.advance(platform::seconds(0.5));
    EXPECT_EQ(host.takeCalls(), (Calls{"close", "close", "open Alpha", "select {20, 4}"}));
}

TEST_F(OutlineAndSearchTest, TheSelectionFollowsTheCaretWithoutActing) {
    showAlphasHeaders();
    const std::vector<OutlineNodeRef>& nodes = record("Alpha.md")->outline()->children;
    // Rows: top 0, Alpha 1, # A 2, ## B 3, # C 4.
    for (const auto& [range, row] : std::vector<std::pair<Range, int>>{
             {{1, 0}, 2}, {{16, 2}, 3}, {{5, 0}, 2}, {{21, 0}, 4}, {{40, 0}, -1}})
        EXPECT_EQ(browser->findRowInRangeTable(nodes, range), row) << range.toString();

    browser->textViewDidChangeSelection({16, 0});
    EXPECT_EQ(model()->itemAt(view()->currentIndex()).header, nodes[0]->children[0]);
    browser->textViewDidChangeSelection({25, 0});
    EXPECT_EQ(model()->itemAt(view()->currentIndex()).header, nodes[1]);
    // With the headers hidden, the note's row.
    view()->collapse(rowOf("Alpha.md"));
    browser->textViewDidChangeSelection({16, 0});
    EXPECT_EQ(selectedName(), "Alpha");
    dispatcher.advance(platform::seconds(1));
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(OutlineAndSearchTest, ASavedOutlineIsShownKeepingExpandedAndSelectedHeaders) {
    const FileRep alpha = record("Alpha.md");
    alpha->setOutline(outline({node("# A", 1, {node("## B", 2)}), node("# C", 1, {node("## X", 2)})}));
    showAlphasHeaders();
    click(child(child(rowOf("Alpha.md"), 0), 0));
    host.takeCalls();

    alpha->setOutline(outline({node("# A", 1, {node("## B", 2), node("## B2", 2)}),
                               node("# C", 1, {node("## X", 2)}), node("# D", 1)}));
    browser->noteOutlineDidChange(alpha);
    const QModelIndex a = child(rowOf("Alpha.md"), 0);
    EXPECT_EQ(namesUnder(rowOf("Alpha.md")), (QStringList{"# A", "# C", "# D"}));
    EXPECT_EQ(namesUnder(a), (QStringList{"## B", "## B2"}));
    EXPECT_TRUE(view()->isExpanded(a));
    EXPECT_FALSE(view()->isExpanded(child(rowOf("Alpha.md"), 1)));
    EXPECT_EQ(view()->selectionModel()->selectedRows().value(0), child(a, 0));
    EXPECT_TRUE(host.takeCalls().empty()); // the editor's selection is left alone
}

TEST_F(OutlineAndSearchTest, SearchMarksNotesAndListsTheirOccurrences) {
    browser->setSearchTarget("beta");
    EXPECT_EQ(std::exchange(host.searches, {}), (Calls{"find Alpha", "find Beta"})); // not in Folder
    EXPECT_TRUE(record("Beta.md")->hasSearchTarget());

    dispatcher.advance(platform::seconds(0.5)); // the rows are read again
    const QModelIndex beta = rowOf("Beta.md");
    EXPECT_EQ(beta.data(NoteTreeModel::SearchTargetRole).toString(), "beta");
    EXPECT_TRUE(model()->hasChildren(beta)); // a marked note asks for its results, once
    EXPECT_TRUE(model()->hasChildren(beta));
    EXPECT_EQ(std::exchange(host.searches, {}), Calls{"results Beta"});
    EXPECT_EQ(namesUnder(beta), (QStringList{"beta one", "another beta"}));
    EXPECT_EQ(child(beta, 1).data(NoteTreeModel::OccurrenceRole).toPoint(), QPoint(8, 4));

    // Expanding a folder marks its notes.
    EXPECT_FALSE(record("Folder/Inner.md")->hasSearchTarget());
    view()->expand(rowOf("Folder"));
    EXPECT_EQ(host.searches, Calls{"find Inner"});
    EXPECT_TRUE(record("Folder/Inner.md")->hasSearchTarget());

    // A new string clears the marks and results.
    browser->setSearchTarget("gamma");
    EXPECT_FALSE(record("Beta.md")->hasSearchTarget());
    EXPECT_EQ(record("Beta.md")->searchResults(), nullptr);
    EXPECT_TRUE(record("Alpha.md")->hasSearchTarget());

    // Outline mode cannot be entered during a search.
    pressButton(1);
    EXPECT_EQ(browser->folderMode(), "folder");
    EXPECT_EQ(browser->selectedFolderSegment(), 0);
}

TEST_F(OutlineAndSearchTest, ResultsReadInTheBackgroundAppearUnderTheExpandedNote) {
    host.resultsLater = true;
    browser->setSearchTarget("beta");
    dispatcher.advance(platform::seconds(0.5));
    EXPECT_TRUE(model()->hasChildren(rowOf("Beta.md")));
    view()->expand(rowOf("Beta.md"));
    EXPECT_EQ(model()->rowCount(rowOf("Beta.md")), 0);
    host.deliverResults();
    dispatcher.advance(platform::seconds(0.2));
    EXPECT_EQ(namesUnder(rowOf("Beta.md")), (QStringList{"beta one", "another beta"}));
}

TEST_F(OutlineAndSearchTest, SelectingASearchResultSelectsTheOccurrence) {
    browser->setSearchTarget("beta");
    dispatcher.advance(platform::seconds(0.5));
    model()->hasChildren(rowOf("Beta.md")); // as drawing the row does: the results are asked for
    view()->expand(rowOf("Beta.md"));
    host.takeCalls();

    // Beta is not open: it opens with the occurrence selected, then the row is selected.
    const QModelIndex second = child(rowOf("Beta.md"), 1);
    click(second);
    EXPECT_EQ(host.takeCalls(), (Calls{"close", "open Beta", "select {25, 4}"}));
    dispatcher.advance(platform::seconds(0));
    EXPECT_TRUE(view()->selectionModel()->isSelected(second));

    // In the open note the text is selected at once.
    click(child(rowOf("Beta.md"), 0));
    EXPECT_EQ(host.takeCalls(), Calls{"select {0, 4}"});

    // The caret picks the last occurrence at or before it.
    browser->textViewDidChangeSelection({30, 0});
    EXPECT_EQ(view()->currentIndex(), second);
    browser->textViewDidChangeSelection({24, 0});
    EXPECT_EQ(view()->currentIndex(), child(rowOf("Beta.md"), 0));
    EXPECT_TRUE(host.takeCalls().empty());
}

} // namespace
} // namespace quillet::testing
