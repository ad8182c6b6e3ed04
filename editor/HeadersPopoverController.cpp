#include "editor/HeadersPopoverController.h"

#include "editor/StyleRenderer.h"
#include "platform/UserDefaults.h"

#include <QActionGroup>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace quillet {

namespace {

const QString kDepthKey = QString::fromLatin1(platform::defaults_keys::kPopoverDepth);
constexpr int kHighlightStartRole = Qt::UserRole;
constexpr int kHighlightLengthRole = Qt::UserRole + 1;
constexpr int kMaxHighlight = 30;

// Draws a search row's fragment with its occurrence in the search marks' orange.
class FragmentDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QString text = item.text;
        item.text.clear();
        QStyle* style = item.widget ? item.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);

        QTextLayout layout(text, item.font);
        QTextCharFormat orange;
        orange.setForeground(StyleRenderer::searchMarkColor());
        layout.setFormats(
            {{index.data(kHighlightStartRole).toInt(), index.data(kHighlightLengthRole).toInt(), orange}});
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, item.widget);
        painter->save();
        painter->setPen(item.palette.color((item.state & QStyle::State_Selected) ? QPalette::HighlightedText
                                                                                 : QPalette::Text));
        const double top = textRect.top() + (textRect.height() - layout.boundingRect().height()) / 2.0;
        layout.draw(painter, QPointF(textRect.left(), top), {}, textRect);
        painter->restore();
    }
};

} // namespace

HeadersPopoverController::HeadersPopoverController(platform::UserDefaults& defaults, QWidget* parent)
    : PopoverFrame(parent), defaults_(defaults), titleField_(new QLabel(this)),
      depthPopup_(new QToolButton(this)), tableView_(new QListWidget(this)) {
    QFont bold = titleField_->font();
    bold.setBold(true);
    titleField_->setFont(bold);
    depthPopup_->setPopupMode(QToolButton::InstantPopup);
    depthPopup_->setToolTip(tr("Header levels shown"));
    tableView_->setItemDelegate(new FragmentDelegate(tableView_));
    tableView_->setUniformItemSizes(true);
    tableView_->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* top = new QHBoxLayout;
    top->addWidget(titleField_, 1);
    top->addWidget(depthPopup_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addLayout(top);
    layout->addWidget(tableView_);

    if (const std::optional<double> stored = defaults_.number(kDepthKey))
        outlineDepth_ = static_cast<int>(*stored);
    buildDepthMenu();
    // Selections, not the current row: the list makes its first row current when it takes the
    // focus, which is no choice of the user's.
    connect(tableView_, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = tableView_->selectedItems();
        if (!selectingByProgram_ && !selected.isEmpty()) rowChosen(tableView_->row(selected.first()));
    });
    // A click on the row already selected chooses it again.
    connect(tableView_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { rowChosen(tableView_->row(item)); });
}

void HeadersPopoverController::buildDepthMenu() {
    auto* menu = new QMenu(depthPopup_);
    auto* group = new QActionGroup(menu);
    for (int depth = 1; depth <= kDeepestLevel; ++depth) {
        QAction* item = menu->addAction(depth == 1 ? tr("1 Level") : tr("%1 Levels").arg(depth));
        item->setCheckable(true);
        item->setChecked(depth == outlineDepth_);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, depth] { popupDidSelect(depth); });
    }
    depthPopup_->setMenu(menu);
    depthPopup_->setText(tr("Depth"));
}

std::vector<HeaderRow> HeadersPopoverController::flattenOutline(const OutlineNode& root, int depth) {
    std::vector<HeaderRow> rows;
    selectedIndex_ = -1;
    flattenChildren(root, 1, depth, rows);
    return rows;
}

void HeadersPopoverController::flattenChildren(const OutlineNode& node, int level, int depth,
                                               std::vector<HeaderRow>& rows) {
    for (const OutlineNodeRef& child : node.children) {
        if (child->headerRange.location <= selectedRange_.location)
            selectedIndex_ = static_cast<int>(rows.size());
        rows.push_back({child->headerString, child->headerRange});
        if (level < std::min(depth, kDeepestLevel)) flattenChildren(*child, level + 1, depth, rows);
    }
}

void HeadersPopoverController::viewWillAppear() {
    const bool search = searchMode();
    titleField_->setText(search ? tr("Search Result") : tr("Headers"));
    depthPopup_->setEnabled(!search);
    fillTable();
    int row = selectedIndex_;
    if (search) {
        row = -1;
        const SearchResults& results = searchResults_ ? *searchResults_ : SearchResults{};
        for (std::size_t i = 0; i < results.size() && row < 0; ++i)
            if (results[i].lineRange.location + results[i].range.location >= selectedRange_.location)
                row = static_cast<int>(i);
    }
    selectRow(row);
}

void HeadersPopoverController::fillTable() {
    selectingByProgram_ = true;
    tableView_->clear();
    if (searchMode()) {
        if (searchResults_) {
            for (const SearchResult& result : *searchResults_) {
                QString fragment = result.fragment;
                fragment.replace(QLatin1Char('\n'), QLatin1Char(' '));
                auto* item = new QListWidgetItem(fragment, tableView_);
                const auto start =
                    std::max<qsizetype>(static_cast<qsizetype>(result.range.location) -
                                            static_cast<qsizetype>(result.fragmentRange.location),
                                        0);
                item->setData(kHighlightStartRole, static_cast<int>(start));
                item->setData(kHighlightLengthRole,
                              static_cast<int>(std::min<std::size_t>(result.range.length, kMaxHighlight)));
            }
        }
    } else {
        headerRows_ = outlineRoot_ ? flattenOutline(*outlineRoot_, outlineDepth_) : std::vector<HeaderRow>{};
        for (const HeaderRow& row : headerRows_)
            new QListWidgetItem(row.line, tableView_);
    }
    selectingByProgram_ = false;
}

void HeadersPopoverController::selectRow(int row) {
    selectingByProgram_ = true;
    if (row >= 0 && row < tableView_->count()) {
        tableView_->setCurrentRow(row);
        tableView_->scrollToItem(tableView_->item(row));
    } else {
        tableView_->setCurrentRow(-1);
        tableView_->clearSelection();
    }
    selectingByProgram_ = false;
}

void HeadersPopoverController::popupDidSelect(int depth) {
    outlineDepth_ = depth;
    const QList<QAction*> items = depthPopup_->menu()->actions();
    for (int i = 0; i < items.size(); ++i)
        items[i]->setChecked(i + 1 == depth);
    defaults_.setObject(kDepthKey, depth);
    fillTable(); // the row selection is not restored
}

void HeadersPopoverController::rowChosen(int row) {
    if (searchMode()) {
        if (!searchResults_ || row >= static_cast<int>(searchResults_->size())) return;
        emit rangeDictDidSelect({(*searchResults_)[static_cast<std::size_t>(row)].lineRange.location, 0});
    } else if (row < static_cast<int>(headerRows_.size())) {
        emit rangeDictDidSelect(headerRows_[static_cast<std::size_t>(row)].lineRange);
    }
}

void HeadersPopoverController::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        close();
        return;
    }
    PopoverFrame::keyPressEvent(event);
}

} // namespace quillet
