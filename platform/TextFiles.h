#pragma once
// Notes read and written as UTF-8. A read never guesses: bytes that are not valid UTF-8 fail
// with EILSEQ and the offset of the first bad byte. A write never truncates the note before the
// new text is on disk: it writes a hidden temporary file in the same folder, flushes it, copies
// the old file's owner, permission bits, ACL and extended attributes onto it, renames it to mark
// it whole, and renames it over the note. A save killed on the way leaves that file behind:
// recoverAbandonedSaves (AbandonedSaves.h) clears it away or keeps its text.

#include "engine/Utf8.h"
#include "platform/Status.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

namespace quillet::platform {

struct TextReadResult {
    std::optional<QString> text; // none when the read failed
    Status status;
    std::optional<std::size_t> invalidByteOffset; // set when the bytes are not UTF-8

    bool ok() const { return text.has_value(); }
};

// Reads the whole file as UTF-8; a leading byte-order mark is dropped.
TextReadResult readUtf8File(const QString& path);

// Writes the text as UTF-8 (no byte-order mark) atomically. A locked note is refused with EPERM;
// when `path` is a symbolic link its target is written.
Status writeUtf8FileAtomically(const QString& path, const QString& text);

// Same for bytes.
Status writeFileAtomically(const QString& path, const QByteArray& bytes);

// Looks at a version of a file (given by a path that holds it at the time) and says whether
// it is the one expected.
using VersionCheck = std::function<bool(const QString& path)>;

// Writes the bytes as writeFileAtomically does, but puts them in place only over the version
// `isExpected` accepts, looked at as it is taken out: another program's version is never
// replaced, even one that lands during the write. Fails with ESTALE (the file is then as the
// other program left it) or with ENOENT when there is no file.
Status replaceFileIfUnchanged(const QString& path, const QByteArray& bytes, const VersionCheck& isExpected);

// Offset of the first byte that is not part of a well-formed UTF-8 sequence (overlong forms,
// surrogates and values past U+10FFFF are ill-formed); none when all of it is valid.
inline std::optional<std::size_t> firstInvalidUtf8Offset(std::string_view bytes) {
    const auto error = firstUtf8Error(bytes);
    return error ? std::optional<std::size_t>(error->byteOffset) : std::nullopt;
}

} // namespace quillet::platform
