#pragma once

#include <cstddef>
#include <string_view>

#include "data/ImportError.h"

namespace corvane {

// Parses one XML part fed piece by piece, so no part is ever whole in memory, and hands what it
// reads to an XmlHandler: XmlStream (expat) for most parts, XmlScanner for the worksheets.
class XmlPartParser {
  public:
    virtual ~XmlPartParser() = default;

    enum class Status { More, Done, Failed };
    // Parses the next piece; `last` for the final one. Done when the handler stopped the parse.
    virtual Status feed(const char* data, std::size_t size, bool last) = 0;
    // The error after Failed: the handler's own, or what is wrong with the XML of `part`.
    virtual ImportError error(std::string_view part) const = 0;
};

}  // namespace corvane
