#pragma once

// The library is built with DTD support, whose entity-amplification limits are set here.
#ifndef XML_DTD
#define XML_DTD
#endif
#include <expat.h>

#include <optional>
#include <string>
#include <string_view>

#include "data/ImportError.h"

namespace corvane {

// Receives the elements of an XML part as expat parses it. Names come without their namespace
// prefix: the workbook formats fix their prefixes, and a writer that picks others still reads.
class XmlHandler {
  public:
    virtual ~XmlHandler() = default;
    virtual void start(std::string_view name, const char** attributes) = 0;
    virtual void end(std::string_view name) = 0;
    virtual void text(std::string_view) {}

    // Ends the parse early: the part holds nothing more that is needed.
    void stop();
    // Ends the parse with an error.
    void fail(ImportError error);
    const std::optional<ImportError>& failure() const { return m_failure; }

    // The value of the attribute whose name, without its prefix, is `name`; null when absent.
    static const char* Attribute(const char** attributes, std::string_view name);

  private:
    friend class XmlStream;
    XML_Parser m_parser = nullptr;
    std::optional<ImportError> m_failure;
};

// One expat parser fed a part piece by piece, so no part is ever whole in memory. A document
// type declaration is refused outright (no workbook has one, and entity expansion starts
// there), and expat's own limit on entity amplification stays on besides.
class XmlStream {
  public:
    explicit XmlStream(XmlHandler& handler);
    ~XmlStream();
    XmlStream(const XmlStream&) = delete;
    XmlStream& operator=(const XmlStream&) = delete;

    enum class Status { More, Done, Failed };
    // Parses the next piece; `last` for the final one. Done when the handler stopped the parse.
    Status feed(const char* data, std::size_t size, bool last);
    // The error after Failed: the handler's own, or what expat reports.
    ImportError error(std::string_view part) const;

  private:
    XmlHandler& m_handler;
    XML_Parser m_parser;
};

}  // namespace corvane
