#pragma once
// The text of the note-info sheet: one "label : value" line per fact of the note, set with a
// right tab stop that ends the labels and a left one where the values start.

#include <QString>
#include <QVariantMap>
#include <memory>

class QTextDocument;

namespace quillet {

// The lines in their fixed order; the "UTI" line only when the record holds "fileUTI".
QString noteInfoText(const QVariantMap& noteInfo);

// The same text in "Helvetica" 15 with every line given the tab stops at 120 (right) and 127 (left).
std::unique_ptr<QTextDocument> attributedStringFromNoteInfo(const QVariantMap& noteInfo);

inline constexpr int kNoteInfoFontSize = 15;
inline constexpr double kNoteInfoLabelTabStop = 120.0;
inline constexpr double kNoteInfoValueTabStop = 127.0;

} // namespace quillet
