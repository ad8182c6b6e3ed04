#pragma once
// What the editor asks of the main controller that owns it. The controller implements this; the
// editor's tests record the calls.

#include "engine/Range.h"

namespace quillet {

class EditorHost {
public:
    virtual ~EditorHost() = default;

    // After every edit, and after every key command while the text is dirty.
    virtual void scheduleAutosave() = 0;
    // After the display name taken from the first line changed.
    virtual void autosaveFile() = 0;
    // After every change of the editor's selection.
    virtual void textViewDidChangeSelection(Range range) = 0;
};

} // namespace quillet
