// The rows' painting: the orange occurrence in search results and the grey names while searching.

#include "browser/view/NoteRowDelegate.h"

#include "browser/view/NoteTreeModel.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <gtest/gtest.h>

namespace quillet {
namespace {

constexpr int kWidth = 400;

QFont rowFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(14);
    return font;
}

// One row of the given kind and roles, painted on white.
QImage paintRow(RowKind kind, const QString& text, int height, const QString& searchTarget = {},
                const QVariant& occurrence = {}) {
    QStandardItemModel model(1, 1);
    const QModelIndex index = model.index(0, 0);
    model.setData(index, static_cast<int>(kind), NoteTreeModel::RowKindRole);
    model.setData(index, text, Qt::DisplayRole);
    model.setData(index, searchTarget, NoteTreeModel::SearchTargetRole);
    model.setData(index, occurrence, NoteTreeModel::OccurrenceRole);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, kWidth, height);
    option.font = rowFont();
    option.palette.setColor(QPalette::Text, Qt::black);
    option.state = QStyle::State_Enabled | QStyle::State_Active;
    QImage image(kWidth, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    NoteRowDelegate().paint(&painter, option, index);
    return image;
}

bool isOrange(QColor color) {
    return color == NoteRowDelegate::kOccurrenceBackground;
}
bool isDark(QColor color) {
    return color.red() < 100 && color.green() < 100 && color.blue() < 100;
}
bool isInk(QColor color) {
    return color != QColor(Qt::white);
}

// The leftmost column holding a pixel that passes the test; -1 when none does.
template <typename Test> int leftmost(const QImage& image, Test test) {
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (test(image.pixelColor(x, y))) return x;
    return -1;
}

TEST(NoteRowDelegate, SearchResultsShowTheOccurrenceToTheFragmentsEndOnOrange) {
    const QString fragment = "hello world";
    const QImage row = paintRow(RowKind::searchResult, fragment, 17, "world", QPoint(6, 5));
    const QFontMetrics metrics(rowFont());
    // The top line of pixels holds no glyphs: only the background shows there.
    const QImage topLine = row.copy(0, 0, kWidth, 1);
    const int start = leftmost(topLine, isOrange);
    EXPECT_GE(start, metrics.horizontalAdvance("hello "));
    EXPECT_LE(start, metrics.horizontalAdvance("hello ") + 4);
    const int end = 2 + metrics.horizontalAdvance(fragment);
    EXPECT_TRUE(isOrange(topLine.pixelColor(end - 2, 0)));
    EXPECT_FALSE(isOrange(topLine.pixelColor(end + 3, 0)));
    EXPECT_GE(leftmost(row, isDark), 0); // the text itself

    EXPECT_EQ(leftmost(paintRow(RowKind::searchResult, fragment, 17, "world"), isOrange), -1);
}

TEST(NoteRowDelegate, WhileSearchingANameIsGreyButForTheFirstOccurrence) {
    const QImage searching = paintRow(RowKind::entry, "Shopping beta", 34, "beta");
    ASSERT_GE(leftmost(searching, isInk), 0);
    EXPECT_GE(leftmost(searching, isDark) - leftmost(searching, isInk),
              QFontMetrics(rowFont()).horizontalAdvance("Shopping"));

    // Case matters: "Beta" holds no "beta", so the whole name is grey.
    EXPECT_EQ(leftmost(paintRow(RowKind::entry, "Shopping Beta", 34, "beta"), isDark), -1);
    // Without a search the name is in the text colour from its first letter.
    const QImage normal = paintRow(RowKind::entry, "Shopping beta", 34);
    EXPECT_LE(leftmost(normal, isDark) - leftmost(normal, isInk), 2);
}

} // namespace
} // namespace quillet
