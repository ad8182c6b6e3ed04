#pragma once
// The Markdown files shipped under a documentation folder (/usr/share/doc): regular files named
// *.md or *.markdown, found recursively. Files that are not valid UTF-8 are left out, since a
// converter may rightly refuse them and every converter must see the same input.

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace quillet::bench {

struct DocCorpus {
    std::vector<std::filesystem::path> files; // sorted, valid UTF-8
    std::uintmax_t bytes = 0;                 // their total size
    std::size_t skippedInvalidUtf8 = 0;

    static DocCorpus find(const std::filesystem::path& root);
};

bool isValidUtf8(std::string_view bytes);

} // namespace quillet::bench
