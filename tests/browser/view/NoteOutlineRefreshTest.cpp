// A note's outline shown anew after the main controller saved it.

#include "BrowserPaneSupport.h"

#include <QAbstractButton>
#include <QButtonGroup>

namespace quillet::testing {
namespace {

// Headers "# title" at depth 1, each with "## title" children; ranges do not matter here.
OutlineNodeRef outlineOf(std::vector<std::pair<const char*, std::vector<const char*>>> headers) {
    const auto node = [](const char* title, int depth) {
        auto header = std::make_shared<OutlineNode>();
        header->headerString = QString::fromUtf8(title);
        header->depth = depth;
        return header;
    };
    auto root = std::make_shared<OutlineNode>();
    for (const auto& [title, subtitles] : headers) {
        OutlineNodeRef header = node(title, 1);
        for (const char* subtitle : subtitles)
            header->children.push_back(node(subtitle, 2));
        root->children.push_back(header);
    }
    return root;
}

QStringList titlesUnder(const QAbstractItemModel& model, const QModelIndex& parent) {
    QStringList titles;
    for (int row = 0; row < model.rowCount(parent); ++row)
        titles << model.index(row, 0, parent).data().toString();
    return titles;
}

TEST_F(BrowserPaneTest, ASavedOutlineIsShownKeepingExpandedAndSelectedHeaders) {
    const FileRep alpha = record(QStringLiteral("Alpha.md"));
    alpha->setOutline(outlineOf({{"# A", {"## B"}}, {"# C", {"## X"}}}));
    openByClick(QStringLiteral("Alpha.md"));
    QTest::mouseClick(browser->findChild<QButtonGroup*>()->button(1), Qt::LeftButton);
    view()->expand(rowOf(QStringLiteral("Alpha.md")));
    dispatcher.advance(platform::seconds(0.4)); // the first header opens
    const QModelIndex b = model()->index(0, 0, model()->index(0, 0, rowOf(QStringLiteral("Alpha.md"))));
    click(b);
    host.takeCalls();

    alpha->setOutline(outlineOf({{"# A", {"## B", "## B2"}}, {"# C", {"## X"}}, {"# D", {}}}));
    browser->noteOutlineDidChange(alpha);
    const QModelIndex note = rowOf(QStringLiteral("Alpha.md"));
    EXPECT_EQ(titlesUnder(*model(), note), (QStringList{"# A", "# C", "# D"}));
    const QModelIndex a = model()->index(0, 0, note);
    EXPECT_EQ(titlesUnder(*model(), a), (QStringList{"## B", "## B2"}));
    EXPECT_TRUE(view()->isExpanded(a));
    EXPECT_FALSE(view()->isExpanded(model()->index(1, 0, note)));
    EXPECT_EQ(view()->selectionModel()->selectedRows().value(0), model()->index(0, 0, a));
    EXPECT_TRUE(host.takeCalls().empty()); // the editor's selection is left alone
}

} // namespace
} // namespace quillet::testing
