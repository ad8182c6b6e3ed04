#pragma once
// The headers popover over the editor: the open note's headers, flattened from its outline down
// to a chosen depth (1 to 4 levels, kept in the user defaults under "RQ1DpopoverDepth"), or its
// search results. Choosing a row asks for a selection in the editor through `rangeDictDidSelect`:
// a header's whole line, or the caret at the start of a result's line. Return closes it.

#include "browser/OutlineNode.h"
#include "browser/SearchResult.h"
#include "editor/PopoverFrame.h"
#include "engine/Range.h"

#include <memory>
#include <vector>

class QLabel;
class QListWidget;
class QToolButton;

namespace quillet {

namespace platform {
class UserDefaults;
}

struct HeaderRow {
    QString line;    // the header line as written
    Range lineRange; // the header line, line break included
};

class HeadersPopoverController : public PopoverFrame {
    Q_OBJECT

public:
    static constexpr int kDefaultDepth = 2;
    static constexpr int kDeepestLevel = 4;

    explicit HeadersPopoverController(platform::UserDefaults& defaults, QWidget* parent = nullptr);

    // Set by the opener before showing.
    void setOutlineRoot(OutlineNodeRef root) { outlineRoot_ = std::move(root); }
    void setSearchResults(std::shared_ptr<const SearchResults> results) {
        searchResults_ = std::move(results);
    }
    void setDisplayMode(const QString& mode) { displayMode_ = mode; }
    void setSelectedRange(Range range) { selectedRange_ = range; }

    // The header rows of the first `depth` levels in text order; sets selectedIndex() to the
    // last row whose header starts at or before the selection.
    std::vector<HeaderRow> flattenOutline(const OutlineNode& root, int depth);

    // Fills the title and the table for the display mode and selects the row of the selection.
    void viewWillAppear();
    // The depth menu's choice: shows that many levels and remembers the choice.
    void popupDidSelect(int depth);

    int outlineDepth() const { return outlineDepth_; }
    int selectedIndex() const { return selectedIndex_; }
    bool searchMode() const { return displayMode_ == QLatin1String("search"); }
    QLabel* titleField() const { return titleField_; }
    QToolButton* depthPopup() const { return depthPopup_; }
    QListWidget* tableView() const { return tableView_; }

signals:
    // The range to select in the editor.
    void rangeDictDidSelect(Range lineRange);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildDepthMenu();
    void flattenChildren(const OutlineNode& node, int level, int depth, std::vector<HeaderRow>& rows);
    void fillTable();
    void selectRow(int row);
    void rowChosen(int row);

    platform::UserDefaults& defaults_;
    OutlineNodeRef outlineRoot_;
    std::shared_ptr<const SearchResults> searchResults_;
    QString displayMode_ = QStringLiteral("outline");
    Range selectedRange_{0, 0};
    std::vector<HeaderRow> headerRows_;
    int outlineDepth_ = kDefaultDepth;
    int selectedIndex_ = -1;
    bool selectingByProgram_ = false;

    QLabel* titleField_;
    QToolButton* depthPopup_;
    QListWidget* tableView_;
};

} // namespace quillet
