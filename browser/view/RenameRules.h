#pragma once
// The rules for the names typed into the rename popover.

#include <QString>

namespace quillet {

// The name with the extension `extension` in place of its own ("a.txt" -> "a.md", "a" ->
// "a.md"). A leading dot starts a name, not an extension.
QString withExtension(const QString& name, const QString& extension);

// Why the name cannot name a file ("", "." and "..", or a "/" in it); empty when it can.
QString unusableNameReason(const QString& name);

} // namespace quillet
