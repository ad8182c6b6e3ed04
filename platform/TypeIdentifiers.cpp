#include "platform/TypeIdentifiers.h"

#include "platform/PosixFiles.h"

#include <QMimeDatabase>
#include <algorithm>
#include <cstring>
#include <iterator>
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

// An identifier constant widened to UTF-16 at compile time, for strings that point at it.
struct StaticIdentifier {
    static constexpr std::size_t kCapacity = 32;
    const char* latin1;
    char16_t text[kCapacity];
    qsizetype size;
};

constexpr StaticIdentifier widened(const char* latin1) {
    StaticIdentifier identifier{latin1, {}, 0};
    while (latin1[identifier.size] != '\0') {
        identifier.text[identifier.size] = char16_t(latin1[identifier.size]);
        ++identifier.size;
    }
    return identifier;
}

constexpr StaticIdentifier kStaticIdentifiers[] = {
    widened(kMarkdownTypeIdentifier),     widened(kPlainTextTypeIdentifier), widened(kCssTypeIdentifier),
    widened(kPythonScriptTypeIdentifier), widened(kFolderTypeIdentifier),    widened(kPngTypeIdentifier),
    widened(kJpegTypeIdentifier),         widened(kHtmlTypeIdentifier),      widened(kDataTypeIdentifier),
    widened(kTextTypeIdentifier),         widened(kSymlinkTypeIdentifier),
};
static_assert(std::all_of(std::begin(kStaticIdentifiers), std::end(kStaticIdentifiers),
                          [](const StaticIdentifier& identifier) {
                              return identifier.size < qsizetype(StaticIdentifier::kCapacity);
                          }),
              "an identifier longer than its static text");

QString mappedIdentifier(const QMimeType& type) {
    for (const Mapping& mapping : kMappings) {
        if (type.name() == QLatin1String(mapping.mimeType))
            return typeIdentifierString(mapping.typeIdentifier);
    }
    if (type.inherits(QStringLiteral("text/plain"))) return typeIdentifierString(kTextTypeIdentifier);
    return typeIdentifierString(kDataTypeIdentifier);
}

// The index of the last `unit` in the text, -1 when there is none: a plain scan, where
// QStringView::lastIndexOf runs the general substring search for one character.
qsizetype lastIndexOfUnit(QStringView text, char16_t unit) {
    return std::find(text.rbegin(), text.rend(), unit).base() - text.begin() - 1;
}

// Extensions already looked up and their identifiers: a listing asks for the same few over and
// over, and the MIME database's glob match is far slower than this scan. Bounded, so that a
// folder of endlessly varied extensions cannot make the scan slow.
class ExtensionCache {
public:
    std::optional<QString> find(QStringView extension) const {
        for (const auto& [known, identifier] : entries_)
            if (known == extension) return identifier;
        return std::nullopt;
    }
    void insert(QStringView extension, const QString& identifier) {
        if (entries_.size() < kCapacity) entries_.emplace_back(extension.toString(), identifier);
    }

private:
    static constexpr std::size_t kCapacity = 64;
    std::vector<std::pair<QString, QString>> entries_;
};

// The cache all threads share, behind a lock.
class SharedExtensionCache {
public:
    std::optional<QString> find(QStringView extension) {
        std::lock_guard lock(mutex_);
        return cache_.find(extension);
    }
    void insert(QStringView extension, const QString& identifier) {
        std::lock_guard lock(mutex_);
        cache_.insert(extension, identifier);
    }

private:
    std::mutex mutex_;
    ExtensionCache cache_;
};

// Identifier by extension, from the shared cache or the MIME database.
QString identifierForExtension(QStringView extension) {
    static SharedExtensionCache shared;
    if (auto known = shared.find(extension)) return *known;
    const QList<QMimeType> types =
        QMimeDatabase().mimeTypesForFileName(QStringLiteral("x.").append(extension));
    const QString identifier = types.isEmpty() ? QString() : mappedIdentifier(types.first());
    shared.insert(extension, identifier);
    return identifier;
}

// Identifier by file name alone; empty when the name says nothing. Each thread keeps the
// extensions it met in a cache of its own in front of the shared one: threads listing folders side
// by side would otherwise take the shared lock for every file, and pass its cache line between
// them.
QString identifierForName(QStringView fileName) {
    const qsizetype dot = lastIndexOfUnit(fileName, u'.');
    if (dot <= 0 || dot + 1 >= fileName.size()) {
        const QList<QMimeType> types = QMimeDatabase().mimeTypesForFileName(fileName.toString());
        return types.isEmpty() ? QString() : mappedIdentifier(types.first());
    }
    const QStringView extension = fileName.mid(dot + 1);
    thread_local ExtensionCache local;
    if (auto known = local.find(extension)) return *known;
    const QString identifier = identifierForExtension(extension);
    local.insert(extension, identifier);
    return identifier;
}

// The last path component, without copying it.
QStringView lastComponentOf(QStringView path) {
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path.mid(lastIndexOfUnit(path, u'/') + 1);
}

QString identifierForContent(const QString& path, qint64 size) {
    if (size == 0) return typeIdentifierString(kPlainTextTypeIdentifier);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QMimeType type = QMimeDatabase().mimeTypeForData(&file);
    return mappedIdentifier(type);
}

} // namespace

QString typeIdentifierString(const char* identifier) {
    for (const StaticIdentifier& known : kStaticIdentifiers) {
        if (known.latin1 == identifier || std::strcmp(known.latin1, identifier) == 0)
            return QString::fromRawData(reinterpret_cast<const QChar*>(known.text), known.size);
    }
    return QString::fromLatin1(identifier);
}

QString typeIdentifierForMimeType(const QString& mimeTypeName) {
    const QMimeType type = QMimeDatabase().mimeTypeForName(mimeTypeName);
    if (!type.isValid()) return typeIdentifierString(kDataTypeIdentifier);
    return mappedIdentifier(type);
}

QString typeIdentifierForExtension(const QString& extension) {
    if (extension.isEmpty() || extension.contains(u'/')) return {};
    return identifierForName(QStringLiteral("x.") + extension);
}

QString typeIdentifierForFile(const QString& path) {
    const auto st = posix::linkStatus(path);
    if (!st) return {};
    if (S_ISDIR(st->st_mode)) return typeIdentifierString(kFolderTypeIdentifier);
    struct stat target = *st;
    if (S_ISLNK(st->st_mode)) {
        const auto followed = posix::targetStatus(path);
        if (!followed || S_ISDIR(followed->st_mode)) return typeIdentifierString(kSymlinkTypeIdentifier);
        target = *followed;
    }
    if (!S_ISREG(target.st_mode)) return typeIdentifierString(kDataTypeIdentifier); // never read a FIFO
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
