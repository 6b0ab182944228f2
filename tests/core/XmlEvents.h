#pragma once

// The events an XML parser hands its handler, written out, to hold XmlScanner to expat.
#include <string>
#include <string_view>

#include "data/formats/sheets/XmlHandler.h"
#include "data/formats/sheets/XmlPartParser.h"
#include "data/formats/sheets/XmlScanner.h"
#include "data/formats/sheets/XmlStream.h"

namespace corvane::test {

// Start and end tags and text, adjacent text pieces joined (the parsers split text where they
// please); "FAILED: reason" when the parse failed.
class XmlEvents : public XmlHandler {
  public:
    std::string log;

    void start(std::string_view name, const char** a) override {
        flush();
        log += "<" + std::string(name);
        for (; *a; a += 2) log += " " + std::string(a[0]) + "=[" + a[1] + "]";
        log += ">";
    }
    void end(std::string_view name) override {
        flush();
        log += "</" + std::string(name) + ">";
    }
    void text(std::string_view t) override { m_text += t; }
    void flush() {
        if (!m_text.empty()) log += "{" + m_text + "}";
        m_text.clear();
    }

  private:
    std::string m_text;
};

// The events of `bytes` read by `Parser`, fed in pieces of `piece` bytes (all at once for 0).
template <class Parser>
std::string XmlEventsOf(std::string_view bytes, std::size_t piece = 0) {
    XmlEvents events;
    Parser parser(events);
    if (piece == 0) piece = bytes.size() + 1;
    auto status = XmlPartParser::Status::More;
    for (std::size_t at = 0; status == XmlPartParser::Status::More; at += piece) {
        const std::string_view part = bytes.substr(std::min(at, bytes.size()), piece);
        status = parser.feed(part.data(), part.size(), at + piece > bytes.size());
    }
    events.flush();
    if (status == XmlPartParser::Status::Failed) return "FAILED: " + parser.error("p").reason;
    return events.log;
}

// Whether the scanner read `bytes` as expat did: the same events, or a failure of both. The
// scanner may refuse what expat reads only for a name beyond ASCII.
inline bool ScannerAgrees(std::string_view bytes, std::size_t piece, std::string& expat,
                          std::string& scanner) {
    expat = XmlEventsOf<XmlStream>(bytes);
    scanner = XmlEventsOf<XmlScanner>(bytes, piece);
    const bool expatFailed = expat.starts_with("FAILED");
    const bool scannerFailed = scanner.starts_with("FAILED");
    if (expatFailed || scannerFailed)
        return expatFailed ? scannerFailed : scanner.find("beyond ASCII") != std::string::npos;
    return expat == scanner;
}

}  // namespace corvane::test
