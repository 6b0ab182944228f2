#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string_view>

#include "data/ImportError.h"

namespace corvane {

// How a UTF-16 text file orders the two bytes of each unit, and whether it starts with a
// byte-order mark.
struct Utf16Form {
    bool utf16 = false;
    bool bigEndian = false;
    bool mark = false;
};

// Whether a file whose first bytes are `head` is UTF-16 text: it starts with a byte-order mark
// (FF FE, or FE FF; not FF FE 00 00, UTF-32's), or without one, most of its units are ASCII
// text (tab, line ends and printable characters) with the zero byte on the same side, as
// Notepad's and Excel's UTF-16 of a Western table are.
Utf16Form SniffUtf16(std::string_view head);

// "UTF-16LE", "UTF-16BE".
const char* Utf16Name(const Utf16Form& form);

// Decodes the UTF-16 text of `in` (its byte-order mark skipped) to UTF-8, handing it to `out`
// in pieces. An odd count of bytes, a surrogate without its pair, a NUL or another control
// character (all below U+0020 but tab, LF and CR) and the noncharacters U+FFFE and U+FFFF are
// refused, saying where: no character is ever replaced. `out`'s error ends the decoding.
using Utf8Sink = std::function<std::optional<ImportError>(std::string_view)>;
std::optional<ImportError> DecodeUtf16(std::FILE* in, const Utf16Form& form, const Utf8Sink& out);

}  // namespace corvane
