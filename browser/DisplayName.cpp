#include "browser/DisplayName.h"

#include "engine/HeaderTitle.h"

#include <string_view>

namespace quillet {

namespace {
std::u16string_view view(QStringView text) {
    return {text.utf16(), static_cast<std::size_t>(text.size())};
}
} // namespace

Range stringRangeInHeader(QStringView line) {
    return header_title::stringRangeInHeader(view(line));
}

QString displaynameFromFirstline(QStringView text) {
    const std::u16string_view name = header_title::displaynameFromFirstline(view(text));
    return QString(reinterpret_cast<const QChar*>(name.data()), static_cast<qsizetype>(name.size()));
}

} // namespace quillet
