#pragma once
// Texts that could not be saved where they belong are kept in the user's state folder
// ($XDG_STATE_HOME/quillet, ~/.local/state/quillet by default) before they leave the editor.

#include <QString>

namespace quillet {

QString recoveryFolder();
// Writes the text under a new name made from the note's name and the time; the path written, or
// empty when even that failed.
QString keepRecoveryText(const QString& notePath, const QString& text);

} // namespace quillet
