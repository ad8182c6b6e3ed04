#pragma once
// The display name a note's first line gives the editor: the line's text without its header
// markers. The note browser names notes by the same rule.

#include <QString>
#include <QStringView>

namespace quillet {

// The first line of `text` without leading "#" marks and blanks and without a closing run of
// blanks and "#" marks; the whole line when that leaves nothing; "" for an empty first line.
QString displayname(QStringView text);

} // namespace quillet
