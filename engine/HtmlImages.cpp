#include "engine/HtmlImages.h"

#include "engine/UrlText.h"

#include <system_error>

namespace quillet::html {

namespace {

namespace fs = std::filesystem;

// A name that stays inside the folder it is joined to: relative, without ".." steps. A note
// must not read or write files outside the folders its images come from and go to.
bool staysInsideFolder(const std::string& name) {
    const fs::path path(name);
    if (name.empty() || !path.is_relative()) return false;
    for (const fs::path& part : path) {
        if (part == "..") return false;
    }
    return true;
}

// A file name as the relative URL that names it: a '%', '#' or '?' in it would be read as an
// escape, the start of a fragment or of a query.
std::u16string relativeReference(const std::string& name) {
    std::u16string reference;
    for (const char16_t unit : utf16FromBytes(name)) {
        switch (unit) {
        case u'%':
            reference += u"%25";
            break;
        case u'#':
            reference += u"%23";
            break;
        case u'?':
            reference += u"%3F";
            break;
        default:
            reference += unit;
        }
    }
    return reference;
}

// An existing file is never replaced; every error is ignored.
void copyQuietly(const fs::path& source, const fs::path& destination) {
    std::error_code ignored;
    fs::copy_file(source, destination, fs::copy_options::none, ignored);
}

// "pictures:/a.png" names "a.png" in the pictures folder.
std::u16string sourceInFolder(const fs::path& folder, std::u16string_view url,
                              const std::optional<fs::path>& baseFolder) {
    std::string name = urlPath(url);
    if (name.starts_with('/')) name.erase(0, 1);
    if (name.empty()) return std::u16string(url);
    if (baseFolder) {
        if (staysInsideFolder(name)) copyQuietly(folder / name, *baseFolder / name);
        return relativeReference(name);
    }
    return fileUrlText(folder / name);
}

// "file:///x/a.png" is copied as "a.png" and referred to as "./a.png".
std::u16string sourceOfFile(std::u16string_view url, const std::optional<fs::path>& baseFolder) {
    if (!baseFolder) return std::u16string(url);
    const std::string path = urlPath(url);
    const std::string name = lastPathComponent(path);
    if (name.empty() || name == "." || name == "..") return std::u16string(url);
    copyQuietly(path, *baseFolder / name);
    return u"./" + relativeReference(name);
}

} // namespace

std::optional<std::u16string> imageSource(std::u16string_view urlText, const ImageFolders& folders,
                                          const std::optional<fs::path>& baseFolder) {
    if (urlText.empty()) return std::nullopt;
    const std::u16string url =
        isValidUrlString(urlText) ? std::u16string(urlText) : percentEncodeAllButAlphanumerics(urlText);
    const std::optional<std::u16string> scheme = urlScheme(url);
    if (!scheme) return url;
    if (*scheme == u"pictures" && folders.pictures) return sourceInFolder(*folders.pictures, url, baseFolder);
    if (*scheme == u"iCloudDrive" && folders.cloudDocuments) {
        return sourceInFolder(*folders.cloudDocuments, url, baseFolder);
    }
    if (*scheme == u"file") return sourceOfFile(url, baseFolder);
    return url;
}

} // namespace quillet::html
