#pragma once
// The names of the temporary files a save writes beside a note, shared by the writer and by the
// clean-up after a save that was killed. Names are native (byte) file names, without folder:
//   ".NAME.XXXXXX.quillet-saving"  being written: never more than part of a text
//   ".NAME.XXXXXX.quillet-saved"   written, flushed and given the note's attributes, not yet
//                                  renamed over NAME: a whole text
//   ".NAME.XXXXXX"                 left by earlier versions, whole or not
// XXXXXX is six random letters or digits. The suffixes keep these apart from the temporary files
// of other programs (rsync's are ".NAME.XXXXXX" too, hence the care taken with the last kind).
// Internal to platform/.

#include <QByteArray>
#include <optional>

namespace quillet::platform::save_files {

enum class Stage { writing, complete, earlier };

struct TemporaryName {
    QByteArray note; // the note's name; cut short before its extension when too long to fit
    Stage stage;
};

// A fresh name for a save of `note` that is being written.
QByteArray writingName(const QByteArray& note);
// The name (or path) the file takes once it holds the whole text.
QByteArray completeName(const QByteArray& writingName);
// What `fileName` is, if it is one of these names.
std::optional<TemporaryName> parse(const QByteArray& fileName);

// The longest file name the file systems take (NAME_MAX).
inline constexpr qsizetype kMaxFileName = 255;
// `name` with `mark` put before its extension ("a.md", " (x)" -> "a (x).md"), the part before
// cut short, never inside a UTF-8 sequence, where the whole would be longer than `size` bytes.
QByteArray markedName(const QByteArray& name, const QByteArray& mark, qsizetype size = kMaxFileName);

} // namespace quillet::platform::save_files
