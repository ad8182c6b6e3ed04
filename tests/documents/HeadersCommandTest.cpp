// The headers command over the open note: the popover lists its headers as the editor shows them
// (edits not yet saved included), a chosen row selects that header's line, and the command
// closes a popover that is shown.
#include "ViewControllerTestSupport.h"
#include "editor/HeadersPopoverController.h"

#include <QListWidget>

namespace quillet::testing {
namespace {

QStringList rows(const HeadersPopoverController& popover) {
    QStringList texts;
    for (int i = 0; i < popover.tableView()->count(); ++i)
        texts << popover.tableView()->item(i)->text();
    return texts;
}

TEST_F(ViewControllerTest, HeadersPopoverSelectsHeaderLinesOfTheTextShown) {
    open(writeNote("Headers.md", "# A\ntext\n## B\nmore\n# C\n"));
    editor().setSelectedRange({15, 0}); // in "more", below "## B"
    controller->showHeaders();
    auto* popover = qobject_cast<HeadersPopoverController*>(controller->headersPopover());
    ASSERT_NE(popover, nullptr);
    EXPECT_EQ(rows(*popover), (QStringList{"# A", "## B", "# C"}));
    EXPECT_EQ(popover->tableView()->currentRow(), 1);
    popover->tableView()->setCurrentRow(2);
    EXPECT_EQ(editor().selectedRange(), (Range{19, 4}));

    controller->showHeaders();
    EXPECT_EQ(controller->headersPopover(), nullptr);

    typeAt(0, "# New\n"); // not saved yet: the outline follows the editor
    controller->showHeaders();
    popover = qobject_cast<HeadersPopoverController*>(controller->headersPopover());
    ASSERT_NE(popover, nullptr);
    EXPECT_EQ(rows(*popover), (QStringList{"# New", "# A", "## B", "# C"}));
    popover->tableView()->setCurrentRow(3);
    EXPECT_EQ(editor().selectedRange(), (Range{25, 4}));
}

} // namespace
} // namespace quillet::testing
