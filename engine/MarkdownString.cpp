#include "engine/MarkdownString.h"

#include <cstdlib>

namespace quillet {

ImageFolders ImageFolders::fromEnvironment() {
    ImageFolders folders;
    const char* home = std::getenv("HOME");
    if (!home || !*home) return folders;
    std::string homePath(home);
    // Inside an application container the real home is the part before "Library/Containers".
    if (auto at = homePath.find("Library/Containers"); at != std::string::npos) homePath.resize(at);
    folders.pictures = std::filesystem::path(homePath) / "Pictures";
    return folders;
}

MarkdownString::MarkdownString(MarkdownDefaults& defaults) { setMarkdownOptions(loadMarkdownOptions(defaults)); }

MarkdownString::MarkdownString() { setMarkdownOptions(MarkdownOptions::defaults()); }

MarkdownString::~MarkdownString() = default;

void MarkdownString::setMarkdownOptions(const MarkdownOptions& options) {
    markdownOptions_ = options;
    linkLabels_.clear();
    indentWidthByChars = options.indentWidthByChars;
    indentWidth = static_cast<double>(indentWidthByChars) * fontWidth;
}

void MarkdownString::setFontWidth(double width) {
    fontWidth = width;
    indentWidth = static_cast<double>(indentWidthByChars) * fontWidth;
}

} // namespace quillet
