#include "platform/FolderListing.h"

#include "platform/PosixFiles.h"
#include "platform/Tags.h"
#include "platform/TextFiles.h"
#include "platform/TypeIdentifiers.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>

namespace quillet::platform {
namespace {

constexpr unsigned kStatxMask = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_MTIME | STATX_BTIME;

QDateTime dateOf(const struct statx_timestamp& time) {
    // A copy of a UTC date given a new time: fromMSecsSinceEpoch would settle the time spec anew
    // for every date. (Dates this small hold no shared data, so the copy counts no references.)
    static const QDateTime utc = QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
    QDateTime date = utc;
    date.setMSecsSinceEpoch(qint64(time.tv_sec) * 1000 + time.tv_nsec / 1000000);
    return date;
}

bool immutableOf(const struct statx& sx, const QString& path) {
    if (posix::writeBitsOff(sx.stx_mode)) return true;
    if (sx.stx_attributes_mask & STATX_ATTR_IMMUTABLE) return (sx.stx_attributes & STATX_ATTR_IMMUTABLE) != 0;
    return posix::hasImmutableFlag(posix::nativePath(path));
}

// Fills the entry from the item's status (`name` inside the folder open as `folderFd`); a link
// to a file takes the file's values. False when the item has gone.
bool describe(int folderFd, const char* name, FolderEntry& entry, const ListingOptions& options) {
    struct statx sx {};
    if (::statx(folderFd, name, AT_SYMLINK_NOFOLLOW, kStatxMask, &sx) != 0) return false;
    if (S_ISLNK(sx.stx_mode)) {
        entry.isSymbolicLink = true;
        struct statx target {};
        if (::statx(folderFd, name, 0, kStatxMask, &target) != 0 || S_ISDIR(target.stx_mode)) {
            // Never into a folder through a link: that is how loops start.
            if (sx.stx_mask & STATX_BTIME) entry.creationDate = dateOf(sx.stx_btime);
            entry.contentModificationDate = dateOf(sx.stx_mtime);
            entry.isImmutable = false;
            if (options.typeIdentifiers) entry.typeIdentifier = typeIdentifierString(kSymlinkTypeIdentifier);
            return true;
        }
        sx = target;
    }
    entry.isRegularFile = S_ISREG(sx.stx_mode);
    entry.isDirectory = S_ISDIR(sx.stx_mode);
    if (sx.stx_mask & STATX_BTIME) entry.creationDate = dateOf(sx.stx_btime);
    entry.contentModificationDate = dateOf(sx.stx_mtime);
    entry.isImmutable = immutableOf(sx, entry.path);
    if (options.typeIdentifiers) {
        if (entry.isDirectory)
            entry.typeIdentifier = typeIdentifierString(kFolderTypeIdentifier);
        else if (entry.isRegularFile)
            entry.typeIdentifier = typeIdentifierForRegularFile(entry.path, qint64(sx.stx_size));
        else
            entry.typeIdentifier = typeIdentifierString(kDataTypeIdentifier);
    }
    return true;
}

// Describes the item and reads its tags when it is kept; false when it has gone or is not kept.
bool describeKept(int folderFd, const char* name, FolderEntry& entry, const ListingOptions& options) {
    if (!describe(folderFd, name, entry, options)) return false;
    if (options.keep && !options.keep(entry)) return false;
    if (options.tags && (entry.isRegularFile || entry.isDirectory))
        entry.tagNames = readTagsAt(folderFd, name, entry.path);
    return true;
}

bool isAscii(const char* text, std::size_t length) {
    unsigned char any = 0;
    for (std::size_t i = 0; i < length; ++i)
        any |= static_cast<unsigned char>(text[i]);
    return any < 0x80;
}

// Sets the entry's path (`prefix` + name) in one allocation, and its name when asked for; false
// when the name is not valid UTF-8.
bool setNameAndPath(const char* name, std::size_t length, const QString& prefix, bool withName,
                    FolderEntry& entry) {
    QString decoded;
    qsizetype nameSize = qsizetype(length);
    const bool ascii = isAscii(name, length);
    if (!ascii) {
        if (firstInvalidUtf8Offset(std::string_view(name, length))) return false;
        decoded = QString::fromUtf8(name, qsizetype(length));
        nameSize = decoded.size();
    }
    entry.path = QString(prefix.size() + nameSize, Qt::Uninitialized);
    QChar* out = std::copy_n(prefix.constData(), prefix.size(), entry.path.data());
    if (ascii)
        std::transform(name, name + length, out, [](char c) { return QChar(char16_t(c)); });
    else
        std::copy_n(decoded.constData(), nameSize, out);
    if (withName) entry.name = QStringView(entry.path).sliced(prefix.size()).toString();
    return true;
}

// The names in an open folder, read straight from the kernel: opendir would first ask for the
// folder's status, which a listing has no use for.
class FolderNames {
public:
    explicit FolderNames(int folderFd) : fd_(folderFd) {}

    // The next entry's name, or nullptr once the folder is read (or a read fails).
    const char* next() {
        while (offset_ >= filled_) {
            const ssize_t got = ::getdents64(fd_, buffer_, sizeof buffer_);
            if (got <= 0) return nullptr;
            filled_ = got;
            offset_ = 0;
        }
        const auto* entry = reinterpret_cast<const struct dirent64*>(buffer_ + offset_);
        offset_ += entry->d_reclen;
        return entry->d_name;
    }

private:
    int fd_;
    ssize_t filled_ = 0;
    ssize_t offset_ = 0;
    alignas(struct dirent64) char buffer_[32768];
};

} // namespace

Result<std::vector<FolderEntry>> listFolder(const QString& folderPath, ListingOptions options) {
    using Listing = Result<std::vector<FolderEntry>>;
    const posix::FileDescriptor folder(
        ::open(posix::nativePath(folderPath).constData(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC));
    if (!folder.valid()) return Listing::failure(Status::fromErrno(errno, folderPath));
    const QString prefix = folderPath.endsWith(u'/') ? folderPath : folderPath + u'/';
    std::vector<FolderEntry> entries;
    entries.reserve(32);
    FolderNames names(folder.get());
    while (const char* name = names.next()) {
        if (name[0] == '.') continue;
        FolderEntry entry;
        if (!setNameAndPath(name, std::strlen(name), prefix, options.names, entry)) continue;
        if (describeKept(folder.get(), name, entry, options)) entries.push_back(std::move(entry));
    }
    return Listing::success(std::move(entries));
}

QStringView entryName(const FolderEntry& entry) {
    if (!entry.name.isEmpty()) return entry.name;
    // A plain scan: QStringView::lastIndexOf runs the general substring search for one character.
    const QStringView path(entry.path);
    return path.sliced(std::find(path.rbegin(), path.rend(), u'/').base() - path.begin());
}

Result<FolderEntry> entryForPath(const QString& path, ListingOptions options) {
    FolderEntry entry;
    entry.path = path;
    entry.name = posix::lastComponent(path);
    options.keep = nullptr;
    if (!describeKept(AT_FDCWD, posix::nativePath(path).constData(), entry, options))
        return Result<FolderEntry>::failure(Status::fromErrno(errno, path));
    return Result<FolderEntry>::success(std::move(entry));
}

} // namespace quillet::platform
