#include "editor/ListContinuation.h"

#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <limits>

namespace quillet {

namespace {

// Indenting tabs, then quote, bullet and number markers each followed by blanks ("> - a",
// "\t1.2. a"). A line beginning with a blank is no list or quote.
const QRegularExpression& markers() {
    static const QRegularExpression pattern(QStringLiteral("^\\t*(?:(?:>+|[-*+]+|(?:\\d+\\.)+)[ \\t]+)+"));
    return pattern;
}

// "- - -", "***" and the like are rules, not items.
const QRegularExpression& horizontalRule() {
    static const QRegularExpression pattern(QStringLiteral("^[ \\t]*([-*_])([ \\t]*\\1){2,}[ \\t]*$"));
    return pattern;
}

// The last number of a trailing "1." or "1.2." marker counts on.
QString countedOn(QString prefix) {
    static const QRegularExpression lastNumber(QStringLiteral("(\\d+)\\.[ \\t]+$"));
    const QRegularExpressionMatch number = lastNumber.match(prefix);
    if (!number.hasMatch()) return prefix;
    bool ok = false;
    const qulonglong value = number.captured(1).toULongLong(&ok);
    if (ok && value < std::numeric_limits<qulonglong>::max())
        prefix.replace(number.capturedStart(1), number.capturedLength(1), QString::number(value + 1));
    return prefix;
}

} // namespace

std::optional<QString> nextListMarker(const QString& line) {
    if (horizontalRule().match(line).hasMatch()) return std::nullopt;
    const QRegularExpressionMatch prefix = markers().match(line);
    if (!prefix.hasMatch()) return std::nullopt;
    if (QStringView(line).mid(prefix.capturedEnd()).trimmed().isEmpty()) return QString();
    return countedOn(prefix.captured());
}

bool continueList(QPlainTextEdit& view) {
    QTextCursor cursor = view.textCursor();
    if (cursor.hasSelection() || !cursor.atBlockEnd()) return false;
    const QTextBlock line = cursor.block();
    const std::optional<QString> marker = nextListMarker(line.text());
    if (!marker) return false;
    cursor.beginEditBlock();
    if (marker->isEmpty()) {
        cursor.setPosition(line.position(), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    } else {
        cursor.insertText(QLatin1Char('\n') + *marker);
    }
    cursor.endEditBlock();
    view.setTextCursor(cursor);
    view.ensureCursorVisible();
    return true;
}

} // namespace quillet
