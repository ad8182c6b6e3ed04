#include "platform/Tags.h"

#include "platform/ExtendedAttributes.h"
#include "platform/PosixFiles.h"
#include "platform/TextFiles.h"

#include <cerrno>

namespace quillet::platform {
namespace {
const QString kTagsAttribute = QStringLiteral("xdg.tags");
constexpr char kTagsSystemName[] = "user.xdg.tags";
// Most items have no tags or a few short ones: a value that does not fit is read again whole.
constexpr std::size_t kShortTagsSize = 256;
} // namespace

QStringList parseTags(const QByteArray& value) {
    if (firstInvalidUtf8Offset(std::string_view(value.constData(), value.size()))) return {};
    QStringList tags;
    for (const QString& part : QString::fromUtf8(value).split(u',')) {
        const QString tag = part.trimmed();
        if (!tag.isEmpty()) tags.append(tag);
    }
    return tags;
}

QStringList readTags(const QString& path) {
    const auto value = readAttribute(path, kTagsAttribute, kMaxAttributeValueSize);
    return value ? parseTags(*value) : QStringList();
}

QStringList readTagsAt(int folderFd, const char* name, const QString& path) {
    // The size first: most items have no tags, and a read into a buffer has the kernel allocate
    // and clear one of that size for every item.
    const ssize_t size = posix::getAttributeAt(folderFd, name, path, kTagsSystemName, nullptr, 0);
    if (size == 0) return {};
    if (size < 0 && errno == ENODATA) return {};
    if (size > 0 && std::size_t(size) <= kShortTagsSize) {
        char buffer[kShortTagsSize];
        const ssize_t got =
            posix::getAttributeAt(folderFd, name, path, kTagsSystemName, buffer, sizeof buffer);
        if (got >= 0) return parseTags(QByteArray::fromRawData(buffer, got));
        if (errno == ENODATA) return {}; // removed in between
    }
    // Longer values (or grown in between), file systems without attributes (the side file),
    // errors: the full read.
    return readTags(path);
}

Status writeTags(const QString& path, const QStringList& tags) {
    QStringList cleaned;
    for (const QString& tag : tags) {
        if (tag.contains(u','))
            return Status::failure(QStringLiteral("A tag name can't hold a comma."), EINVAL);
        if (!tag.trimmed().isEmpty()) cleaned.append(tag.trimmed());
    }
    if (cleaned.isEmpty()) {
        Status removed = removeAttribute(path, kTagsAttribute);
        return removed.errorCode == ENODATA ? Status::success() : removed;
    }
    return writeAttribute(path, kTagsAttribute, cleaned.join(u',').toUtf8());
}

} // namespace quillet::platform
