#include "browser/LocalRecords.h"

#include "browser/PathComponents.h"
#include "platform/TypeIdentifiers.h"

#include <QLatin1StringView>
#include <algorithm>

namespace quillet {

namespace {

constexpr QLatin1StringView kChatsName("iChats");
constexpr QLatin1StringView kMarkdownExtension("md");

// The name (a last path component) without its extension; a leading '.' starts no extension.
QString nameWithoutExtension(QStringView name) {
    // A plain scan: QStringView::lastIndexOf runs the general substring search for one character.
    const qsizetype dot = std::find(name.rbegin(), name.rend(), u'.').base() - name.begin() - 1;
    return (dot > 0 ? name.left(dot) : name).toString();
}

// Equal texts; most pairs differ in length, which settles them without a call.
bool sameText(QStringView text, QLatin1StringView latin1) {
    return text.size() == latin1.size() && text == latin1;
}

bool isHandledFileType(const QString& uti) {
    return sameText(uti, QLatin1StringView(platform::kMarkdownTypeIdentifier)) ||
           sameText(uti, QLatin1StringView(platform::kPlainTextTypeIdentifier)) ||
           sameText(uti, QLatin1StringView(platform::kCssTypeIdentifier)) ||
           sameText(uti, QLatin1StringView(platform::kPythonScriptTypeIdentifier));
}

} // namespace

bool isApplicationBundle(QStringView path) {
    return pathExtension(path) == QLatin1StringView("app");
}

QString typeIdentifierOfEntry(const platform::FolderEntry& entry) {
    if (!entry.typeIdentifier.isEmpty()) return entry.typeIdentifier;
    if (pathExtension(platform::entryName(entry)) == kMarkdownExtension)
        return platform::typeIdentifierString(platform::kMarkdownTypeIdentifier);
    return platform::typeIdentifierString(platform::kPlainTextTypeIdentifier);
}

FileRep recordForFolderEntry(const platform::FolderEntry& entry) {
    return recordForFolderEntry(platform::FolderEntry(entry));
}

FileRep recordForFolderEntry(platform::FolderEntry&& entry) {
    // The name and type come from the path, which the record then takes over.
    QString filename = nameWithoutExtension(platform::entryName(entry));
    QString typeIdentifier = typeIdentifierOfEntry(entry);
    FileRep rep = FileRepresentation::forPath(std::move(entry.path));
    rep->displayName = filename;
    rep->filename = std::move(filename);
    rep->directory = entry.isDirectory;
    rep->lastModified = std::move(entry.contentModificationDate);
    rep->creationDate = std::move(entry.creationDate);
    rep->isImmutable = entry.isImmutable.value_or(false);
    rep->setTagNames(std::move(entry.tagNames));
    rep->iCloud = false;
    rep->downloaded = true;
    rep->UTI = std::move(typeIdentifier);
    return rep;
}

bool isBrowsableEntry(const platform::FolderEntry& entry, const QString& typeIdentifier) {
    const QStringView name = platform::entryName(entry);
    if (entry.isDirectory) return !isApplicationBundle(name);
    return !sameText(name, kChatsName) && isHandledFileType(typeIdentifier);
}

bool isBrowsableEntry(const platform::FolderEntry& entry) {
    return isBrowsableEntry(entry, typeIdentifierOfEntry(entry));
}

} // namespace quillet
