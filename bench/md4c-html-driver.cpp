// md4c's HTML renderer as a command for the benchmark: Markdown on standard input, HTML out.
#include <cstdio>
#include <md4c-html.h>
#include <string>

static void write(const MD_CHAR* text, MD_SIZE size, void*) {
    std::fwrite(text, 1, size, stdout);
}

int main() {
    std::string input;
    char chunk[1 << 16];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, stdin)) > 0;)
        input.append(chunk, n);
    return md_html(input.data(), static_cast<MD_SIZE>(input.size()), write, nullptr, 0, 0) == 0 ? 0 : 1;
}
