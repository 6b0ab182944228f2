#pragma once

#include <string>
#include <string_view>

namespace corvane {

// Whether the bytes are UTF-8: no overlong forms, surrogates or code points past U+10FFFF.
bool IsValidUtf8(std::string_view bytes);
// Text in Windows-1252 as UTF-8; the five bytes the code page leaves unassigned become the C1
// controls of the same value, so no byte is lost.
std::string Windows1252ToUtf8(std::string_view bytes);
// A code point (at most U+10FFFF, no surrogate) appended as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace corvane
