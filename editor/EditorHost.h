#pragma once
// What the editor asks of the main controller that owns it. The controller implements this; the
// editor's tests record the calls.

#include "engine/Range.h"

#include <QString>

namespace quillet {

class EditorHost {
public:
    virtual ~EditorHost() = default;

    // After every edit (an undoable change of the text).
    virtual void textDidChange() = 0;
    // After every change of the editor's selection.
    virtual void textViewDidChangeSelection(Range range) = 0;
    // The open note's display name, and a new one read from its first line.
    virtual QString displayName() const = 0;
    virtual void firstLineNameDidChange(const QString& name) = 0;
};

} // namespace quillet
