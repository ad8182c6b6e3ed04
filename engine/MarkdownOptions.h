#pragma once
// The Markdown option flags and values, stored in the user defaults as a dictionary under
// "RQ1DmarkdownOptions". A key missing from a stored dictionary reads as false (or 0).

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace quillet {

struct MarkdownOptions {
    bool indentNormalLines = false;
    bool resetIndentByBlankline = false;
    bool resetIndentByHeader = false;
    bool resetIndentByBlock = false;
    long indentWidthByChars = 0;
    bool removeProceeding4SpacesInCodeBlock = false;
    // Stored by the preferences panel only; the engine never reads them.
    bool addBrAtBlankline = false;
    bool showAsHTMLWhenLocked = false;

    // The six-key dictionary the engine installs when none is stored.
    static MarkdownOptions defaults();

    // Dictionary form: key name -> value (booleans as 0/1). Unknown keys are ignored on read.
    using KeyValues = std::map<std::string, long>;
    static MarkdownOptions fromKeyValues(const KeyValues& values);
    KeyValues toKeyValues() const;
    // The six-key dictionary written back to the user defaults when none is stored.
    static KeyValues defaultKeyValues();

    // Sets one key; false when the key is unknown.
    bool set(std::string_view key, long value);
    std::optional<long> get(std::string_view key) const;

    friend bool operator==(const MarkdownOptions&, const MarkdownOptions&) = default;
};

// Where the engine's owner keeps the options: the user defaults in the application, built-in
// values in the converter and the tests.
class MarkdownDefaults {
public:
    virtual ~MarkdownDefaults() = default;
    virtual std::optional<MarkdownOptions::KeyValues> markdownOptions() const = 0;
    virtual void setMarkdownOptions(const MarkdownOptions::KeyValues& options) = 0;
};

// Defaults held in memory; starts empty unless given a dictionary.
class InMemoryMarkdownDefaults final : public MarkdownDefaults {
public:
    InMemoryMarkdownDefaults() = default;
    explicit InMemoryMarkdownDefaults(MarkdownOptions::KeyValues stored) : stored_(std::move(stored)) {}
    std::optional<MarkdownOptions::KeyValues> markdownOptions() const override { return stored_; }
    void setMarkdownOptions(const MarkdownOptions::KeyValues& options) override { stored_ = options; }

private:
    std::optional<MarkdownOptions::KeyValues> stored_;
};

// The options kept in `defaults`; when none are kept, the built-in ones, whose six-key
// dictionary is then written back.
MarkdownOptions loadMarkdownOptions(MarkdownDefaults& defaults);

} // namespace quillet
