// libFuzzer target: the record of each line of the input, and of one sub-range of the whole input
// chosen from its bytes, with every range checked against the text it describes. Input bytes are
// read as lenient UTF-8 (see LenientUtf8.h).
#include "fuzz/EngineChecks.h"
#include "fuzz/LenientUtf8.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillet;
    const std::u16string text = fuzz::decodeLenientUtf8(data, size);
    if (const std::string problem = fuzz::checkLineRecords(text, fuzz::choiceFromBytes(data, size));
        !problem.empty()) {
        std::fprintf(stderr, "line_records_fuzzer: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
