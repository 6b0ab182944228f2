#include "data/formats/sheets/XmlHandler.h"

#include <expat.h>

#include <cstring>

namespace corvane {

void XmlHandler::stop() {
    m_stopped = true;
    if (m_parser) XML_StopParser(m_parser, XML_FALSE);
}

void XmlHandler::fail(ImportError error) {
    if (!m_failure) m_failure = std::move(error);
    stop();
}

const char* XmlHandler::Attribute(const char** attributes, std::string_view name) {
    for (const char** a = attributes; *a; a += 2)
        if (LocalName(a[0]) == name) return a[1];
    return nullptr;
}

}  // namespace corvane
