#pragma once
// The text store the engine styles in the editor: a copy of the editor document's characters
// with the styling's attribute runs beside them. The document holds the characters the user
// edits and their undo history; this store holds the styling, kept out of the document so that
// styling never goes on the undo stack or marks the document modified. Each document change is
// replayed here (replaceCharacters), which also keeps the text as it was before the change for
// the engine's "before the edit" hook. The store notes which characters the styling touched so
// the editor redraws only those lines.

#include "engine/AttributedText.h"
#include "engine/TextStore.h"

#include <QString>
#include <memory>

namespace quillet {

class EditorTextStore final : public TextStore {
public:
    EditorTextStore();
    ~EditorTextStore() override;

    // ---- TextStore ----
    std::size_t length() const override { return text_->length(); }
    char16_t characterAt(std::size_t index) const override { return text_->characterAt(index); }
    std::u16string_view characters(Range range, std::u16string& scratch) const override {
        return text_->characters(range, scratch);
    }
    Range lineRange(std::size_t position) const override { return text_->lineRange(position); }
    TextAttributes attributesAt(std::size_t position, Range* effectiveRange = nullptr) const override {
        return text_->attributesAt(position, effectiveRange);
    }
    void setAttributes(Range range, const TextAttributes& attributes) override;
    void changeAttributes(Range range, const TextAttributes& added, AttributeKeys removed = 0) override;
    std::vector<FontRun> fontRuns(Range range) const override { return text_->fontRuns(range); }
    // Qt substitutes fonts for missing characters while it shapes the text.
    void fixFontAttributes(Range) override {}

    // ---- Following the document ----
    // A new text without attributes.
    void reset(QStringView text);
    // The characters of `range` replaced (new characters take their neighbours' attributes).
    void replaceCharacters(Range range, QStringView text);
    QString string() const;

    // The runs of equal attributes over `range`.
    std::vector<AttributedText::AttributeRun> attributeRuns(Range range) const {
        return text_->attributeRuns(range);
    }

    // The span the styling changed attributes in since the last call (empty when none).
    Range takeTouchedRange();

private:
    void touch(Range range);

    std::unique_ptr<AttributedText> text_;
    std::size_t touchedStart_;
    std::size_t touchedEnd_ = 0;
};

std::u16string_view u16view(QStringView text);

} // namespace quillet
