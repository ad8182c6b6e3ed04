#pragma once
// The "src" of an image written with a URL in the note. Pictures ("pictures:"), cloud documents
// ("iCloudDrive:") and local files ("file:") are copied beside the HTML document when it has a
// folder, so that the document carries its images along.

#include "engine/MarkdownString.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quillet::html {

// None when the URL text is empty (the image gets no "src"). A text that is no valid URL is
// percent-encoded first. Failed copies are ignored: the source still names the copy.
std::optional<std::u16string> imageSource(std::u16string_view urlText, const ImageFolders& folders,
                                          const std::optional<std::filesystem::path>& baseFolder);

} // namespace quillet::html
