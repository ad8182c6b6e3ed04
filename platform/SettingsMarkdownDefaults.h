#pragma once
// The Markdown options kept in the user defaults under "RQ1DmarkdownOptions", as a map of
// key name -> integer (booleans 0/1), for the engine's MarkdownDefaults seam.

#include "engine/MarkdownOptions.h"
#include "platform/UserDefaults.h"

namespace quillet::platform {

class SettingsMarkdownDefaults final : public MarkdownDefaults {
public:
    explicit SettingsMarkdownDefaults(UserDefaults& defaults) : defaults_(defaults) {}
    // None when no record is stored; entries whose value is not a number or a boolean are skipped.
    std::optional<MarkdownOptions::KeyValues> markdownOptions() const override;
    void setMarkdownOptions(const MarkdownOptions::KeyValues& options) override;

private:
    UserDefaults& defaults_;
};

} // namespace quillet::platform
