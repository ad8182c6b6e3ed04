// libFuzzer target: a note converted to an HTML document (labels registered, body element built,
// document written), with the default options and with every flag flipped. Input bytes are read
// as lenient UTF-8 (see LenientUtf8.h).
#include "fuzz/EngineChecks.h"
#include "fuzz/LenientUtf8.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillet;
    const std::u16string note = fuzz::decodeLenientUtf8(data, size);
    for (const MarkdownOptions& options : {MarkdownOptions::defaults(), fuzz::flippedOptions()}) {
        if (const std::string problem = fuzz::checkConversion(note, options); !problem.empty()) {
            std::fprintf(stderr, "body_html_fuzzer: %s\n", problem.c_str());
            std::abort();
        }
    }
    return 0;
}
