#pragma once
// What the main controller asks of the window around it: the edit button, the search field, the
// preview's split button, the note-info sheet, the "Copy to" dialog and the name of a new style sheet or script. The window controller
// implements it; tests record the calls.

#include <QString>
#include <QUrl>
#include <QVariantMap>
#include <functional>
#include <optional>

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

    // The note-info sheet of the note at `url` with its facts; `ended` runs when the sheet is
    // closed. A host without a window shows nothing and ends at once.
    virtual void showNoteInfo(const QUrl& url, const QVariantMap& noteInfo, std::function<void()> ended) {
        (void)url;
        (void)noteInfo;
        ended();
    }
    // The "Copy to" save dialog, starting in `folder` with `proposedName`: the chosen path, none
    // when cancelled. A host without a window offers no place.
    virtual std::optional<QString> chooseCopyDestination(const QString& folder, const QString& proposedName) {
        (void)folder;
        (void)proposedName;
        return std::nullopt;
    }

    // "Create File": the name of a new style sheet or script for `folder`, whose files take
    // `extension`; none when cancelled. The dialog refuses a name whose file is already there,
    // saying why. A host without a window offers no name.
    virtual std::optional<QString> askNewFileName(const QString& folder, const QString& extension) {
        (void)folder;
        (void)extension;
        return std::nullopt;
    }
};

} // namespace quillet
