#include "bench/DocCorpus.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

namespace quillet::bench {

namespace {

bool isMarkdownName(const std::filesystem::path& path) {
    const auto extension = path.extension();
    return extension == ".md" || extension == ".markdown";
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t extra = 0;
        char32_t value = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, value = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, value = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, value = lead & 0x07;
        } else {
            return false;
        }
        if (bytes.size() - i <= extra) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto byte = static_cast<unsigned char>(bytes[i + k]);
            if ((byte & 0xC0) != 0x80) return false;
            value = (value << 6) | (byte & 0x3F);
        }
        const char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
        if (value < smallest[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

DocCorpus DocCorpus::find(const std::filesystem::path& root) {
    DocCorpus corpus;
    std::error_code error;
    const auto options = std::filesystem::directory_options::skip_permission_denied;
    for (std::filesystem::recursive_directory_iterator it(root, options, error), end; !error && it != end;
         it.increment(error)) {
        // Symbolic links are skipped: they would count a file twice or leave the folder.
        if (!it->is_regular_file() || it->is_symlink() || !isMarkdownName(it->path())) continue;
        const std::string content = readFile(it->path());
        if (!isValidUtf8(content)) {
            ++corpus.skippedInvalidUtf8;
        } else {
            corpus.files.push_back(it->path());
            corpus.bytes += content.size();
        }
    }
    std::sort(corpus.files.begin(), corpus.files.end());
    return corpus;
}

} // namespace quillet::bench
