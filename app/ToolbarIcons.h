#pragma once
// The toolbar's icons, drawn at run time in the palette's text colour so that they suit light
// and dark desktops alike.

#include <QIcon>
#include <QString>

namespace quillet {

// An icon showing `glyph` (one or two characters) in the given weight and slant.
QIcon glyphIcon(const QString& glyph, bool bold = false, bool italic = false);

QIcon listIcon();
QIcon quoteIcon();
QIcon imageIcon();
QIcon linkIcon();
QIcon searchIcon();
QIcon lockIcon(bool locked);
// A pocket calculator: the arithmetic command.
QIcon calculateIcon();

} // namespace quillet
