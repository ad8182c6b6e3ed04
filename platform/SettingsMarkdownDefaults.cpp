#include "platform/SettingsMarkdownDefaults.h"

namespace quillet::platform {

std::optional<MarkdownOptions::KeyValues> SettingsMarkdownDefaults::markdownOptions() const {
    const auto stored = defaults_.dictionary(QString::fromLatin1(defaults_keys::kMarkdownOptions));
    if (!stored) return std::nullopt;
    MarkdownOptions::KeyValues options;
    for (auto it = stored->begin(); it != stored->end(); ++it) {
        const int type = it.value().typeId();
        const bool numeric = type == QMetaType::Bool || type == QMetaType::Int ||
                             type == QMetaType::LongLong || type == QMetaType::Double ||
                             type == QMetaType::UInt || type == QMetaType::ULongLong;
        if (numeric) options[it.key().toStdString()] = static_cast<long>(it.value().toLongLong());
    }
    return options;
}

void SettingsMarkdownDefaults::setMarkdownOptions(const MarkdownOptions::KeyValues& options) {
    QVariantMap stored;
    for (const auto& [key, value] : options)
        stored.insert(QString::fromStdString(key), qlonglong(value));
    defaults_.setObject(QString::fromLatin1(defaults_keys::kMarkdownOptions), stored);
}

} // namespace quillet::platform
