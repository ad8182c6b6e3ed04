#include "browser/LocalRecords.h"

#include "browser/PathComponents.h"
#include "platform/TypeIdentifiers.h"

#include <QLatin1StringView>

namespace quillet {

namespace {

constexpr QLatin1StringView kChatsName("iChats");
constexpr QLatin1StringView kMarkdownExtension("md");

// The name (a last path component) without its extension; a leading '.' starts no extension.
QString nameWithoutExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}

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
        return platform::typeIdentifierString(platform::kMarkdownTypeIdentifier);
    return platform::typeIdentifierString(platform::kPlainTextTypeIdentifier);
}

QUrl fileURLForPath(const QString& path) {
    // Without a '%' there is nothing to escape, so the path can be parsed as it stands; a path
    // starting "//" names a host. Anything else takes the general route.
    if (!path.startsWith(u'/') || path.startsWith(QLatin1StringView("//")) || path.contains(u'%'))
        return QUrl::fromLocalFile(path);
    // A fresh URL rather than a copy of a shared one: copies would all count references on the
    // one original, from every listing thread at once. The scheme's text is static.
    QUrl url;
    url.setScheme(QStringLiteral("file"));
    url.setPath(path, QUrl::TolerantMode);
    return url;
}

FileRep recordForFolderEntry(const platform::FolderEntry& entry) {
    return recordForFolderEntry(platform::FolderEntry(entry));
}

FileRep recordForFolderEntry(platform::FolderEntry&& entry) {
    FileRep rep = FileRepresentation::make(fileURLForPath(entry.path));
    rep->filename = nameWithoutExtension(entry.name);
    rep->displayName = rep->filename;
    rep->directory = entry.isDirectory;
    rep->lastModified = std::move(entry.contentModificationDate);
    rep->creationDate = std::move(entry.creationDate);
    rep->isImmutable = entry.isImmutable.value_or(false);
    rep->tagNames = std::move(entry.tagNames);
    rep->iCloud = false;
    rep->downloaded = true;
    rep->UTI = typeIdentifierOfEntry(entry);
    return rep;
}

bool isBrowsableEntry(const platform::FolderEntry& entry, const QString& typeIdentifier) {
    if (entry.isDirectory) return !isApplicationBundle(entry.name);
    return entry.name != kChatsName && isHandledFileType(typeIdentifier);
}

bool isBrowsableEntry(const platform::FolderEntry& entry) {
    return isBrowsableEntry(entry, typeIdentifierOfEntry(entry));
}

} // namespace quillet
