#include "browser/LocalRecords.h"

#include "browser/PathComponents.h"
#include "platform/ExtendedAttributes.h"
#include "platform/Tags.h"
#include "platform/TypeIdentifiers.h"

#include <QLatin1StringView>
#include <cerrno>

namespace quillet {

namespace {

constexpr QLatin1StringView kChatsName("iChats");
constexpr QLatin1StringView kMarkdownExtension("md");
const QString kTagsAttribute = QStringLiteral("xdg.tags");
constexpr std::size_t kShortTagsSize = 256;

bool isHandledFileType(const QString& uti) {
    return uti == QLatin1StringView(platform::kMarkdownTypeIdentifier) ||
           uti == QLatin1StringView(platform::kPlainTextTypeIdentifier) ||
           uti == QLatin1StringView(platform::kCssTypeIdentifier) ||
           uti == QLatin1StringView(platform::kPythonScriptTypeIdentifier);
}

} // namespace

bool isApplicationBundle(QStringView path) {
    return pathExtension(path) == QLatin1StringView("app");
}

QString typeIdentifierOfEntry(const platform::FolderEntry& entry) {
    if (!entry.typeIdentifier.isEmpty()) return entry.typeIdentifier;
    if (pathExtension(entry.name) == kMarkdownExtension)
        return QString::fromLatin1(platform::kMarkdownTypeIdentifier);
    return QString::fromLatin1(platform::kPlainTextTypeIdentifier);
}

FileRep recordForFolderEntry(const platform::FolderEntry& entry) {
    FileRep rep = FileRepresentation::forPath(entry.path);
    rep->filename = lastComponentWithoutExtension(entry.name);
    rep->displayName = rep->filename;
    rep->directory = entry.isDirectory;
    rep->lastModified = entry.contentModificationDate;
    rep->creationDate = entry.creationDate;
    rep->isImmutable = entry.isImmutable.value_or(false);
    rep->tagNames = entry.tagNames;
    rep->iCloud = false;
    rep->downloaded = true;
    rep->UTI = typeIdentifierOfEntry(entry);
    return rep;
}

bool isBrowsableEntry(const platform::FolderEntry& entry, const QString& typeIdentifier) {
    if (entry.isDirectory) return !isApplicationBundle(entry.name);
    return entry.name != kChatsName && isHandledFileType(typeIdentifier);
}

QStringList tagNamesOf(const QString& path) {
    const auto value = platform::readAttribute(path, kTagsAttribute, kShortTagsSize);
    if (value) return platform::parseTags(*value);
    return value.status.errorCode == ERANGE ? platform::readTags(path) : QStringList();
}

} // namespace quillet
