#include "browser/view/NoteRowDelegate.h"

#include "browser/view/NoteTreeModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDateTime>
#include <QFontMetrics>
#include <QPainter>
#include <QPoint>
#include <chrono>
#include <optional>
#include <vector>

namespace quillet {

namespace {

constexpr int kPadding = 2;

struct Mark {
    qsizetype start;
    qsizetype length;
    QColor color;
    std::optional<QColor> background;
};

QPalette::ColorGroup colorGroup(const QStyleOptionViewItem& option) {
    if (!(option.state & QStyle::State_Enabled)) return QPalette::Disabled;
    return option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
}

QColor textColor(const QStyleOptionViewItem& option) {
    const bool selected = option.state & QStyle::State_Selected;
    return option.palette.color(colorGroup(option), selected ? QPalette::HighlightedText : QPalette::Text);
}

// Draws `text` on one line, vertically centred in `rect` and cut with an ellipsis where it does
// not fit. Marked stretches get their own colour and background; the rest is `base`.
void drawLine(QPainter* painter, const QRect& rect, const QFont& font, const QString& text,
              const QColor& base, std::optional<Mark> mark = std::nullopt) {
    const QFontMetrics metrics(font);
    const QString elided = metrics.elidedText(text, Qt::ElideRight, rect.width());
    const qsizetype shown = elided == text ? text.size() : std::max<qsizetype>(0, elided.size() - 1);
    const int baseline = rect.top() + (rect.height() - metrics.height()) / 2 + metrics.ascent();

    std::vector<Mark> pieces;
    qsizetype at = 0;
    if (mark && mark->start < shown) {
        const qsizetype end = std::min(shown, mark->start + mark->length);
        pieces.push_back({0, mark->start, base, std::nullopt});
        pieces.push_back({mark->start, end - mark->start, mark->color, mark->background});
        at = end;
    }
    pieces.push_back({at, shown - at, base, std::nullopt});

    painter->save();
    painter->setFont(font);
    painter->setClipRect(rect);
    for (const Mark& piece : pieces) {
        if (piece.length <= 0) continue;
        const QString part = text.mid(piece.start, piece.length);
        const int x = rect.left() + metrics.horizontalAdvance(text.left(piece.start));
        if (piece.background)
            painter->fillRect(QRect(x, rect.top(), metrics.horizontalAdvance(part), rect.height()),
                              *piece.background);
        painter->setPen(piece.color);
        painter->drawText(QPoint(x, baseline), part);
    }
    if (shown < text.size()) {
        painter->setPen(base);
        painter->drawText(QPoint(rect.left() + metrics.horizontalAdvance(text.left(shown)), baseline),
                          elided.mid(shown));
    }
    painter->restore();
}

// The square column at the row's left where the picture goes, as wide as the row is high.
QRect iconColumn(const QRect& row) {
    return QRect(row.left(), row.top(), row.height(), row.height());
}

void drawIcon(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) {
    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    if (icon.isNull()) return;
    const QRect column = iconColumn(option.rect);
    const int side = std::min(index.data(NoteTreeModel::IconSizeRole).toInt(), column.height() - kPadding);
    QRect target(0, 0, side, side);
    target.moveCenter(column.center());
    const bool selected = option.state & QStyle::State_Selected;
    icon.paint(painter, target, Qt::AlignCenter, selected ? QIcon::Selected : QIcon::Normal);
}

QRect textArea(const QRect& row) {
    return row.adjusted(row.height() + 2 * kPadding, 0, -kPadding, 0);
}

} // namespace

NoteRowDelegate::NoteRowDelegate(QObject* parent) : QStyledItemDelegate(parent) {
    midnight_.setSingleShot(true);
    // A coarse timer may be late by a twentieth of its interval: over an hour for a day.
    midnight_.setTimerType(Qt::PreciseTimer);
    connect(&midnight_, &QTimer::timeout, this, [this] {
        if (auto* view = qobject_cast<QAbstractItemView*>(this->parent())) view->viewport()->update();
        repaintAtNextMidnight();
    });
    repaintAtNextMidnight();
}

void NoteRowDelegate::repaintAtNextMidnight() {
    using namespace std::chrono_literals;
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime midnight(now.date().addDays(1), QTime(0, 0));
    // A second late, so the new day has surely begun.
    midnight_.start(std::chrono::milliseconds(now.msecsTo(midnight)) + 1s);
}

void NoteRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    background.icon = QIcon();
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &background, painter, option.widget);

    switch (static_cast<RowKind>(index.data(NoteTreeModel::RowKindRole).toInt())) {
    case RowKind::top:
        paintTop(painter, option, index);
        break;
    case RowKind::entry:
        paintEntry(painter, option, index);
        break;
    case RowKind::header:
    case RowKind::searchResult:
        paintLine(painter, option, index);
        break;
    case RowKind::none:
        break;
    }
}

void NoteRowDelegate::paintTop(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    drawIcon(painter, option, index);
    QFont font = option.font;
    font.setBold(true);
    drawLine(painter, textArea(option.rect), font, index.data(Qt::DisplayRole).toString(), textColor(option));
}

void NoteRowDelegate::paintEntry(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    drawIcon(painter, option, index);
    const QString name = index.data(Qt::DisplayRole).toString();
    const QString detail = index.data(NoteTreeModel::DetailTextRole).toString();
    const QRect area = textArea(option.rect);
    QRect nameRect = area;
    if (!detail.isEmpty()) nameRect.setBottom(area.top() + area.height() / 2);

    const QString target = index.data(NoteTreeModel::SearchTargetRole).toString();
    if (target.isEmpty()) {
        drawLine(painter, nameRect, option.font, name, textColor(option));
    } else {
        const qsizetype at = name.indexOf(target, 0, Qt::CaseSensitive);
        std::optional<Mark> occurrence;
        if (at >= 0) occurrence = Mark{at, target.size(), textColor(option), std::nullopt};
        drawLine(painter, nameRect, option.font, name, kSearchDimmedText, occurrence);
    }

    if (detail.isEmpty()) return;
    QFont small = option.font;
    if (option.font.pointSizeF() > 0)
        small.setPointSizeF(option.font.pointSizeF() * 0.85);
    else
        small.setPixelSize(std::max(1, option.font.pixelSize() * 85 / 100));
    const bool selected = option.state & QStyle::State_Selected;
    const QColor detailColor =
        selected ? textColor(option) : option.palette.color(colorGroup(option), QPalette::PlaceholderText);
    drawLine(painter,
             QRect(area.left(), nameRect.bottom() + 1, area.width(), area.bottom() - nameRect.bottom()),
             small, detail, detailColor);
}

void NoteRowDelegate::paintLine(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const QRect area = option.rect.adjusted(kPadding, 0, -kPadding, 0);
    std::optional<Mark> occurrence;
    if (const QVariant marked = index.data(NoteTreeModel::OccurrenceRole); marked.isValid()) {
        const QPoint span = marked.toPoint();
        occurrence = Mark{span.x(), span.y(), textColor(option), kOccurrenceBackground};
    }
    drawLine(painter, area, option.font, index.data(Qt::DisplayRole).toString(), textColor(option),
             occurrence);
}

QSize NoteRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QFontMetrics metrics(option.font);
    const int height = index.data(Qt::SizeHintRole).toSize().height();
    int width = metrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) + 2 * kPadding;
    const auto kind = static_cast<RowKind>(index.data(NoteTreeModel::RowKindRole).toInt());
    if (kind == RowKind::top || kind == RowKind::entry) width += height + 2 * kPadding;
    return QSize(width, height > 0 ? height : metrics.height());
}

} // namespace quillet
