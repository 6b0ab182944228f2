#include "data/formats/sheets/XmlStream.h"

#include <limits>
#include <new>

namespace corvane {

namespace {

void OnStart(void* data, const char* name, const char** attributes) {
    static_cast<XmlHandler*>(data)->start(XmlHandler::LocalName(name), attributes);
}

void OnEnd(void* data, const char* name) {
    static_cast<XmlHandler*>(data)->end(XmlHandler::LocalName(name));
}

void OnText(void* data, const char* text, int length) {
    static_cast<XmlHandler*>(data)->text(std::string_view(text, static_cast<std::size_t>(length)));
}

void OnDoctype(void* data, const char*, const char*, const char*, int) {
    static_cast<XmlHandler*>(data)->fail(
        ImportError::Unreadable(std::string(XmlStream::kDoctypeReason)));
}

}  // namespace

XmlStream::XmlStream(XmlHandler& handler)
    : m_handler(handler), m_parser(XML_ParserCreate("UTF-8")) {
    if (!m_parser) throw std::bad_alloc();
    handler.m_parser = m_parser;
    XML_SetUserData(m_parser, &handler);
    XML_SetElementHandler(m_parser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(m_parser, OnText);
    XML_SetStartDoctypeDeclHandler(m_parser, OnDoctype);
    XML_SetBillionLaughsAttackProtectionMaximumAmplification(m_parser, 100.0f);
    XML_SetBillionLaughsAttackProtectionActivationThreshold(m_parser, 1u << 20);
}

XmlStream::~XmlStream() {
    m_handler.m_parser = nullptr;
    XML_ParserFree(m_parser);
}

XmlStream::Status XmlStream::feed(const char* data, std::size_t size, bool last) {
    while (size > 0 || last) {
        const std::size_t piece = std::min<std::size_t>(size, std::numeric_limits<int>::max());
        const bool final = last && piece == size;
        const XML_Status s = XML_Parse(m_parser, data, static_cast<int>(piece), final);
        if (m_handler.failure()) return Status::Failed;
        if (s == XML_STATUS_ERROR)
            return XML_GetErrorCode(m_parser) == XML_ERROR_ABORTED ? Status::Done : Status::Failed;
        data += piece;
        size -= piece;
        if (final) return Status::Done;
    }
    return Status::More;
}

ImportError XmlStream::error(std::string_view part) const {
    if (m_handler.failure()) return *m_handler.failure();
    const XML_Error code = XML_GetErrorCode(m_parser);
    std::string reason;
    if (code == XML_ERROR_AMPLIFICATION_LIMIT_BREACH)
        reason = "the workbook's XML expands its entities far beyond its size";
    else
        reason = "the workbook part " + std::string(part) +
                 " is damaged: " + XML_ErrorString(code) + " at line " +
                 std::to_string(XML_GetCurrentLineNumber(m_parser));
    return ImportError::Unreadable(std::move(reason));
}

}  // namespace corvane
