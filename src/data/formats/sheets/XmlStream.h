#pragma once

// The library is built with DTD support, whose entity-amplification limits are set here.
#ifndef XML_DTD
#define XML_DTD
#endif
#include <expat.h>

#include <string_view>

#include "data/ImportError.h"
#include "data/formats/sheets/XmlHandler.h"
#include "data/formats/sheets/XmlPartParser.h"

namespace corvane {

// One expat parser. A document type declaration is refused outright (no workbook has one, and
// entity expansion starts there), and expat's own limit on entity amplification stays on
// besides.
class XmlStream : public XmlPartParser {
  public:
    explicit XmlStream(XmlHandler& handler);
    ~XmlStream() override;
    XmlStream(const XmlStream&) = delete;
    XmlStream& operator=(const XmlStream&) = delete;

    Status feed(const char* data, std::size_t size, bool last) override;
    ImportError error(std::string_view part) const override;

    // What a workbook's XML that declares a document type is told.
    static constexpr std::string_view kDoctypeReason =
        "the workbook's XML declares a document type, which a spreadsheet never does";

  private:
    XmlHandler& m_handler;
    XML_Parser m_parser;
};

}  // namespace corvane
