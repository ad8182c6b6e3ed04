#pragma once
// The small part of JSON the records output needs: string literals and one-line objects whose
// keys are written in the order they are added.

#include "engine/Range.h"

#include <string>
#include <string_view>

namespace quillet::convert {

// Appends `text` as a JSON string literal. '"' and '\\' are escaped, control characters
// (U+0000-U+001F, U+007F-U+009F) use the short forms or \uXXXX, a lone surrogate is kept as a
// \uXXXX escape, everything else is written as UTF-8.
void appendJsonString(std::string& out, std::u16string_view text);

// Writes `{"key":value,...}` without blanks into a string it does not own.
class JsonObjectWriter {
public:
    explicit JsonObjectWriter(std::string& out);
    JsonObjectWriter(const JsonObjectWriter&) = delete;
    JsonObjectWriter& operator=(const JsonObjectWriter&) = delete;

    void integer(std::string_view key, long long value);
    // [location, length]; the not-found location is written as its number.
    void range(std::string_view key, Range value);
    void text(std::string_view key, std::u16string_view value);
    // Starts the value of `key`; the caller writes the raw JSON value itself.
    void rawKey(std::string_view key);
    // Closes the object; nothing may be added afterwards.
    void close();

private:
    std::string& out_;
    bool first_ = true;
};

} // namespace quillet::convert
