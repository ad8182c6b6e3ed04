#include "platform/TypeIdentifiers.h"

#include "platform/PosixFiles.h"

#include <QMimeDatabase>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace quillet::platform {
namespace {

struct Mapping {
    const char* mimeType;
    const char* typeIdentifier;
};

// MIME types (canonical names and the aliases in use) and their identifiers.
constexpr Mapping kMappings[] = {
    {"text/markdown", kMarkdownTypeIdentifier},
    {"text/x-markdown", kMarkdownTypeIdentifier},
    {"text/plain", kPlainTextTypeIdentifier},
    {"text/css", kCssTypeIdentifier},
    {"text/x-python", kPythonScriptTypeIdentifier},
    {"text/x-python3", kPythonScriptTypeIdentifier},
    {"application/x-python", kPythonScriptTypeIdentifier},
    {"inode/directory", kFolderTypeIdentifier},
    {"image/png", kPngTypeIdentifier},
    {"image/jpeg", kJpegTypeIdentifier},
    {"text/html", kHtmlTypeIdentifier},
    {"application/xhtml+xml", kHtmlTypeIdentifier},
};

struct Extension {
    const char* typeIdentifier;
    const char* extension;
};

constexpr Extension kPreferredExtensions[] = {
    {kMarkdownTypeIdentifier, "md"},     {kPlainTextTypeIdentifier, "txt"}, {kCssTypeIdentifier, "css"},
    {kPythonScriptTypeIdentifier, "py"}, {kHtmlTypeIdentifier, "html"},     {kPngTypeIdentifier, "png"},
    {kJpegTypeIdentifier, "jpeg"},
};

QString mappedIdentifier(const QMimeType& type) {
    for (const Mapping& mapping : kMappings) {
        if (type.name() == QLatin1String(mapping.mimeType))
            return QString::fromLatin1(mapping.typeIdentifier);
    }
    if (type.inherits(QStringLiteral("text/plain"))) return QString::fromLatin1(kTextTypeIdentifier);
    return QString::fromLatin1(kDataTypeIdentifier);
}

// Extensions already looked up and their identifiers: a listing asks for the same few over and
// over, and the MIME database's glob match is far slower than this scan. Bounded, so that a
// folder of endlessly varied extensions cannot make the scan slow.
class ExtensionCache {
public:
    std::optional<QString> find(QStringView extension) {
        std::lock_guard lock(mutex_);
        for (const auto& [known, identifier] : entries_)
            if (known == extension) return identifier;
        return std::nullopt;
    }
    void insert(QStringView extension, const QString& identifier) {
        std::lock_guard lock(mutex_);
        if (entries_.size() < kCapacity) entries_.emplace_back(extension.toString(), identifier);
    }

private:
    static constexpr std::size_t kCapacity = 64;
    std::mutex mutex_;
    std::vector<std::pair<QString, QString>> entries_;
};

// Identifier by file name alone; empty when the name says nothing.
QString identifierForName(QStringView fileName) {
    static ExtensionCache cache;
    const auto dot = fileName.lastIndexOf(u'.');
    const bool hasExtension = dot > 0 && dot + 1 < fileName.size();
    const QStringView extension = hasExtension ? fileName.mid(dot + 1) : QStringView();
    if (hasExtension) {
        if (auto known = cache.find(extension)) return *known;
    }
    const QList<QMimeType> types = QMimeDatabase().mimeTypesForFileName(
        hasExtension ? QStringLiteral("x.").append(extension) : fileName.toString());
    const QString identifier = types.isEmpty() ? QString() : mappedIdentifier(types.first());
    if (hasExtension) cache.insert(extension, identifier);
    return identifier;
}

// The last path component, without copying it.
QStringView lastComponentOf(QStringView path) {
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString identifierForContent(const QString& path, qint64 size) {
    if (size == 0) return QString::fromLatin1(kPlainTextTypeIdentifier);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QMimeType type = QMimeDatabase().mimeTypeForData(&file);
    return mappedIdentifier(type);
}

} // namespace

QString typeIdentifierForMimeType(const QString& mimeTypeName) {
    const QMimeType type = QMimeDatabase().mimeTypeForName(mimeTypeName);
    if (!type.isValid()) return QString::fromLatin1(kDataTypeIdentifier);
    return mappedIdentifier(type);
}

QString typeIdentifierForExtension(const QString& extension) {
    if (extension.isEmpty() || extension.contains(u'/')) return {};
    return identifierForName(QStringLiteral("x.") + extension);
}

QString typeIdentifierForFile(const QString& path) {
    const auto st = posix::linkStatus(path);
    if (!st) return {};
    if (S_ISDIR(st->st_mode)) return QString::fromLatin1(kFolderTypeIdentifier);
    struct stat target = *st;
    if (S_ISLNK(st->st_mode)) {
        const auto followed = posix::targetStatus(path);
        if (!followed || S_ISDIR(followed->st_mode)) return QString::fromLatin1(kSymlinkTypeIdentifier);
        target = *followed;
    }
    if (!S_ISREG(target.st_mode)) return QString::fromLatin1(kDataTypeIdentifier); // never read a FIFO
    return typeIdentifierForRegularFile(path, target.st_size);
}

QString typeIdentifierForRegularFile(const QString& path, qint64 size) {
    const QString byName = identifierForName(lastComponentOf(path));
    if (!byName.isEmpty()) return byName;
    return identifierForContent(path, size);
}

QString preferredExtensionForTypeIdentifier(const QString& typeIdentifier) {
    for (const Extension& entry : kPreferredExtensions) {
        if (typeIdentifier == QLatin1String(entry.typeIdentifier))
            return QString::fromLatin1(entry.extension);
    }
    return {};
}

} // namespace quillet::platform
