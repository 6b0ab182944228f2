// XmlScanner against expat on arbitrary bytes, fed in pieces of a size the first byte picks:
// the same events, or a failure of both (the scanner may refuse only a name beyond ASCII).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "XmlEvents.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = data[0] % 16;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string expat, scanner;
    if (!test::ScannerAgrees(bytes, piece, expat, scanner)) {
        std::fprintf(stderr, "expat:   %s\nscanner: %s\n", expat.c_str(), scanner.c_str());
        std::abort();
    }
    return 0;
}
