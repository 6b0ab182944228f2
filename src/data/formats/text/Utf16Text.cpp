#include "data/formats/text/Utf16Text.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "common/Utf8Text.h"

namespace corvane {

namespace {

bool AsciiText(unsigned char c) {
    return c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c < 0x7F);
}

std::string Hex4(std::uint32_t u) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(u));
    return text;
}

// The units of the text one by one, a surrogate pair joined, into UTF-8.
class Decoder {
  public:
    // The unit that starts at byte `at` of the file.
    std::optional<ImportError> unit(std::uint32_t u, std::int64_t at) {
        const bool low = u >= 0xDC00 && u <= 0xDFFF;
        if (m_high != 0) {
            if (!low) return Unpaired(m_highAt);
            AppendUtf8(m_utf8, 0x10000 + ((m_high - 0xD800) << 10) + (u - 0xDC00));
            m_high = 0;
            return std::nullopt;
        }
        if (u >= 0xD800 && u <= 0xDBFF) {
            m_high = u;
            m_highAt = at;
            return std::nullopt;
        }
        if (low) return Unpaired(at);
        if (u == 0) return Refused("a NUL character", at);
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r')
            return Refused("the control character U+" + Hex4(u), at);
        if (u == 0xFFFE || u == 0xFFFF)
            return Refused("U+" + Hex4(u) + ", which is no character", at);
        AppendUtf8(m_utf8, u);
        return std::nullopt;
    }
    // At the end of the text: a high surrogate still waiting has no pair.
    std::optional<ImportError> end() const {
        if (m_high != 0) return Unpaired(m_highAt);
        return std::nullopt;
    }
    std::string& utf8() { return m_utf8; }

  private:
    static ImportError Refused(const std::string& what, std::int64_t at) {
        return ImportError::Unreadable("its UTF-16 text holds " + what + " at byte " +
                                       std::to_string(at));
    }
    static ImportError Unpaired(std::int64_t at) {
        return Refused("a surrogate without its pair", at);
    }

    std::uint32_t m_high = 0;
    std::int64_t m_highAt = 0;
    std::string m_utf8;
};

}  // namespace

Utf16Form SniffUtf16(std::string_view h) {
    if (h.starts_with("\xFF\xFE")) {
        if (h.size() >= 4 && h[2] == '\0' && h[3] == '\0') return {};
        return {.utf16 = true, .bigEndian = false, .mark = true};
    }
    if (h.starts_with("\xFE\xFF")) return {.utf16 = true, .bigEndian = true, .mark = true};
    const std::size_t units = h.size() / 2;
    if (units < 2) return {};
    std::size_t text[2] = {0, 0};  // ASCII text with the zero byte second, first
    for (std::size_t i = 0; i < units; ++i) {
        const auto a = static_cast<unsigned char>(h[2 * i]);
        const auto b = static_cast<unsigned char>(h[2 * i + 1]);
        if (b == 0 && AsciiText(a)) ++text[0];
        if (a == 0 && AsciiText(b)) ++text[1];
    }
    for (const int big : {0, 1})
        if (text[big] * 4 >= units * 3)
            return {.utf16 = true, .bigEndian = big == 1, .mark = false};
    return {};
}

const char* Utf16Name(const Utf16Form& form) { return form.bigEndian ? "UTF-16BE" : "UTF-16LE"; }

std::optional<ImportError> DecodeUtf16(std::FILE* in, const Utf16Form& form, const Utf8Sink& out) {
    std::vector<unsigned char> piece(std::size_t{1} << 16);
    Decoder decoder;
    std::int64_t offset = 0;  // the file's byte at piece[0]
    std::size_t held = 0;     // a byte of the last piece whose unit is not whole
    bool first = true;
    for (;;) {
        const std::size_t n = std::fread(piece.data() + held, 1, piece.size() - held, in);
        if (n == 0 && std::ferror(in)) return ImportError::Unreadable(EIO);
        const std::size_t have = held + n;
        if (n == 0) {
            if (held != 0)
                return ImportError::Unreadable(
                    "it is UTF-16 text with an odd number of bytes: cut short, or not UTF-16");
            break;
        }
        std::size_t at = 0;
        if (first && form.mark && have >= 2) at = 2;
        first = first && have < 2;
        const std::size_t whole = have & ~std::size_t{1};
        decoder.utf8().clear();
        for (; at < whole; at += 2) {
            const std::uint32_t a = piece[at], b = piece[at + 1];
            const std::uint32_t u = form.bigEndian ? (a << 8 | b) : (b << 8 | a);
            if (auto e = decoder.unit(u, offset + static_cast<std::int64_t>(at))) return e;
        }
        if (auto e = out(decoder.utf8())) return e;
        held = have - whole;
        if (held != 0) piece[0] = piece[whole];
        offset += static_cast<std::int64_t>(whole);
    }
    return decoder.end();
}

}  // namespace corvane
