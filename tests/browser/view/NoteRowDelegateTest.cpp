// The rows' painting: the orange occurrence in search results and the grey names while searching.

#include "browser/view/NoteRowDelegate.h"

#include "browser/view/NoteTreeModel.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <gtest/gtest.h>
#include <optional>

namespace quillet {
namespace {

constexpr int kWidth = 400;

struct Rendered {
    QImage image;
    QFont font;
};

// Paints one row of the given kind and roles on white.
Rendered paintRow(RowKind kind, const QString& text, int height, const QString& searchTarget = {},
                  std::optional<QPoint> occurrence = std::nullopt) {
    QStandardItemModel model(1, 1);
    const QModelIndex index = model.index(0, 0);
    model.setData(index, static_cast<int>(kind), NoteTreeModel::RowKindRole);
    model.setData(index, text, Qt::DisplayRole);
    model.setData(index, searchTarget, NoteTreeModel::SearchTargetRole);
    if (occurrence) model.setData(index, *occurrence, NoteTreeModel::OccurrenceRole);

    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, kWidth, height);
    option.font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    option.font.setPixelSize(14);
    option.palette.setColor(QPalette::Text, Qt::black);
    option.state = QStyle::State_Enabled | QStyle::State_Active;

    QImage image(kWidth, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    NoteRowDelegate().paint(&painter, option, index);
    painter.end();
    return {image, option.font};
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
    const QString fragment = QStringLiteral("hello world");
    const Rendered row = paintRow(RowKind::searchResult, fragment, 17, QStringLiteral("world"), QPoint(6, 5));
    const QFontMetrics metrics(row.font);
    // The top line of pixels holds no glyphs: only the background shows there.
    const int orangeStart = leftmost(row.image.copy(0, 0, kWidth, 1), isOrange);
    ASSERT_GE(orangeStart, 0);
    EXPECT_GE(orangeStart, metrics.horizontalAdvance(QStringLiteral("hello ")));
    EXPECT_LE(orangeStart, metrics.horizontalAdvance(QStringLiteral("hello ")) + 4);
    const int orangeEnd = 2 + metrics.horizontalAdvance(fragment);
    EXPECT_TRUE(isOrange(row.image.pixelColor(orangeEnd - 2, 0)));
    EXPECT_FALSE(isOrange(row.image.pixelColor(orangeEnd + 3, 0)));
    EXPECT_GE(leftmost(row.image, isDark), 0); // the text itself

    // No occurrence inside the fragment: no orange.
    const Rendered plain = paintRow(RowKind::searchResult, fragment, 17, QStringLiteral("world"));
    EXPECT_EQ(leftmost(plain.image, isOrange), -1);
}

TEST(NoteRowDelegate, WhileSearchingANameIsGreyButForTheFirstOccurrence) {
    const QString name = QStringLiteral("Shopping beta");
    const Rendered searching = paintRow(RowKind::entry, name, 34, QStringLiteral("beta"));
    const QFontMetrics metrics(searching.font);
    const int textStart = leftmost(searching.image, isInk);
    const int darkStart = leftmost(searching.image, isDark);
    ASSERT_GE(textStart, 0);
    ASSERT_GE(darkStart, 0);
    EXPECT_GE(darkStart - textStart, metrics.horizontalAdvance(QStringLiteral("Shopping")));

    // Case matters: "Beta" holds no "beta", so the whole name is grey.
    EXPECT_EQ(
        leftmost(paintRow(RowKind::entry, QStringLiteral("Shopping Beta"), 34, QStringLiteral("beta")).image,
                 isDark),
        -1);
    // Without a search the name is in the text colour from its first letter.
    const Rendered normal = paintRow(RowKind::entry, name, 34);
    EXPECT_LE(leftmost(normal.image, isDark) - leftmost(normal.image, isInk), 2);
}

TEST(NoteRowDelegate, RowHeightsComeFromTheModel) {
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), QSize(-1, 17), Qt::SizeHintRole);
    QStyleOptionViewItem option;
    EXPECT_EQ(NoteRowDelegate().sizeHint(option, model.index(0, 0)).height(), 17);
}

} // namespace
} // namespace quillet
