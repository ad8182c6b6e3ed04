#include "editor/FirstLineName.h"

#include "engine/HeaderTitle.h"

#include <string_view>

namespace quillet {

QString displayname(QStringView text) {
    const std::u16string_view whole{reinterpret_cast<const char16_t*>(text.utf16()),
                                    static_cast<std::size_t>(text.size())};
    const std::u16string_view name = header_title::displaynameFromFirstline(whole);
    return QString(reinterpret_cast<const QChar*>(name.data()), static_cast<qsizetype>(name.size()));
}

} // namespace quillet
