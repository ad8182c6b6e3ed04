#include "editor/EditorTextStore.h"

#include <algorithm>
#include <limits>

namespace quillet {

namespace {
constexpr std::size_t kNothingTouched = std::numeric_limits<std::size_t>::max();
}

std::u16string_view u16view(QStringView text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

EditorTextStore::EditorTextStore()
    : text_(std::make_unique<AttributedText>()), touchedStart_(kNothingTouched) {}

EditorTextStore::~EditorTextStore() = default;

void EditorTextStore::setAttributes(Range range, const TextAttributes& attributes) {
    touch(range);
    text_->setAttributes(range, attributes);
}

void EditorTextStore::changeAttributes(Range range, const TextAttributes& added, AttributeKeys removed) {
    touch(range);
    text_->changeAttributes(range, added, removed);
}

void EditorTextStore::reset(QStringView text) {
    text_ = std::make_unique<AttributedText>(u16view(text));
    touchedStart_ = kNothingTouched;
    touchedEnd_ = 0;
}

void EditorTextStore::replaceCharacters(Range range, QStringView text) {
    text_->replaceCharacters(range, u16view(text));
}

QString EditorTextStore::string() const {
    const std::u16string text = text_->string();
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

Range EditorTextStore::takeTouchedRange() {
    if (touchedStart_ == kNothingTouched) return {0, 0};
    const Range touched = Range::fromBounds(touchedStart_, std::min(touchedEnd_, length()));
    touchedStart_ = kNothingTouched;
    touchedEnd_ = 0;
    return touched;
}

void EditorTextStore::touch(Range range) {
    touchedStart_ = std::min(touchedStart_, range.location);
    touchedEnd_ = std::max(touchedEnd_, range.end());
}

} // namespace quillet
