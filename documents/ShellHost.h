#pragma once
// What the main controller asks of the window around it: the edit button, the search field and
// the preview's split button. The window controller implements it; tests record the calls.

namespace quillet {

class ShellHost {
public:
    virtual ~ShellHost() = default;

    // Editable: state on, title "Lock"; locked: state off, title "Edit".
    virtual void setEditButtonState(bool editable) = 0;
    // Off while the browser shows the outline.
    virtual void setSearchFieldEnabled(bool enabled) = 0;
    // The preview's split button drawn as shown (accent colour) or hidden (grey).
    virtual void previewPaneShown(bool shown) = 0;
};

} // namespace quillet
