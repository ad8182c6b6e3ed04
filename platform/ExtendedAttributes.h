#pragma once
// Extended attributes of files, by the application's names ("displayName",
// "text.selectedRange"): on Linux they live in the "user." namespace, which these functions add
// and strip, so callers never see the prefix. On a file system without extended attributes
// (ENOTSUP) the values go to a hidden side file beside the file instead, ".<name>.attributes",
// with the same names and values; FileOperations moves, copies and removes it with its file.

#include "platform/Status.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>

namespace quillet::platform {

enum class AttributeStorage {
    automatic, // extended attributes, the side file where the file system has none
    sideFile,  // always the side file (tests of the fallback, file systems known to lack them)
};

// Names of the file's attributes without the "user." prefix (attributes of other namespaces
// are left out). A symbolic link is followed.
Result<QStringList> listAttributes(const QString& path,
                                   AttributeStorage storage = AttributeStorage::automatic);

// The value of one attribute, read into a buffer of `bufferSize` bytes: a longer value is not
// read and fails with ERANGE; a missing one fails with ENODATA.
Result<QByteArray> readAttribute(const QString& path, const QString& name, std::size_t bufferSize,
                                 AttributeStorage storage = AttributeStorage::automatic);

// Creates or replaces the attribute. The file must exist.
Status writeAttribute(const QString& path, const QString& name, const QByteArray& value,
                      AttributeStorage storage = AttributeStorage::automatic);

// Removes the attribute; removing a missing one fails with ENODATA.
Status removeAttribute(const QString& path, const QString& name,
                       AttributeStorage storage = AttributeStorage::automatic);

// Copies every "user." attribute (or the side file) of `from` onto `to`, replacing values of the
// same names. Used when a write replaces a file by a new inode.
Status copyAttributes(const QString& from, const QString& to);

// The side file that holds the attributes of `path` where extended attributes are missing.
QString attributeSideFilePath(const QString& path);

// Largest value the kernel accepts for one attribute.
inline constexpr std::size_t kMaxAttributeValueSize = 65536;

} // namespace quillet::platform
