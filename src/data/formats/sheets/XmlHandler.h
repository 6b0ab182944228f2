#pragma once

#include <optional>
#include <string_view>

#include "data/ImportError.h"

struct XML_ParserStruct;

namespace corvane {

// Receives the elements of an XML part as XmlStream (expat) or XmlScanner reads it. Names come
// without their namespace prefix: the workbook formats fix their prefixes, and a writer that
// picks others still reads. Attribute names keep theirs; Attribute() looks past them.
class XmlHandler {
  public:
    virtual ~XmlHandler() = default;
    // `attributes` runs name, value, name, value, ... and ends in a null.
    virtual void start(std::string_view name, const char** attributes) = 0;
    virtual void end(std::string_view name) = 0;
    // Text in pieces, which may split anywhere: a handler appends them.
    virtual void text(std::string_view) {}

    // Ends the parse early: the part holds nothing more that is needed.
    void stop();
    // Ends the parse with an error.
    void fail(ImportError error);
    bool stopped() const { return m_stopped; }
    const std::optional<ImportError>& failure() const { return m_failure; }

    // The value of the attribute whose name, without its prefix, is `name`; null when absent.
    static const char* Attribute(const char** attributes, std::string_view name);
    // A name without its prefix: what follows the last colon.
    static std::string_view LocalName(std::string_view name) {
        const auto colon = name.rfind(':');
        return colon == std::string_view::npos ? name : name.substr(colon + 1);
    }

  private:
    friend class XmlStream;
    XML_ParserStruct* m_parser = nullptr;  // set while expat parses for this handler
    bool m_stopped = false;
    std::optional<ImportError> m_failure;
};

}  // namespace corvane
