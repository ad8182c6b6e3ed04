#include "editor/LineBreaks.h"

namespace quillet {

namespace {
constexpr bool isLineBreak(char16_t c) {
    return (c >= 0x000A && c <= 0x000D) || c == 0x0085 || c == 0x2028 || c == 0x2029;
}
} // namespace

QString convertLineBreak(const QString& text) {
    QString result;
    result.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = text.at(i).unicode();
        if (!isLineBreak(c)) {
            result.append(QChar(c));
            continue;
        }
        if (c == u'\r' && i + 1 < size && text.at(i + 1) == u'\n')
            ++i;
        result.append(u'\n');
    }
    return result;
}

} // namespace quillet
