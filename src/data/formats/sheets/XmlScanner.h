#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/ImportError.h"
#include "data/formats/sheets/XmlHandler.h"
#include "data/formats/sheets/XmlPartParser.h"

namespace corvane {

// A small XML reader for the large parts of a workbook, its worksheets, where expat's generality
// cost two thirds of the time. It gives its handler the events XmlStream gives for the same bytes:
// names as written (the handler gets them without their prefix), attribute values with their
// references resolved and their white space made spaces, text with its references and line ends
// resolved, CDATA sections as text; comments and processing instructions are passed over. What is
// not well-formed fails, in expat's words; a document type declaration is refused as XmlStream
// refuses it. Two things well-formed XML allows it refuses rather than reads: a name with letters
// beyond ASCII, which no workbook's schema has, and a tag, comment, processing instruction or CDATA
// section longer than kMaxTokenBytes, which only a hostile file has.
class XmlScanner : public XmlPartParser {
  public:
    static constexpr std::size_t kMaxTokenBytes = std::size_t{4} << 20;

    explicit XmlScanner(XmlHandler& handler) : m_handler(handler) {}

    Status feed(const char* data, std::size_t size, bool last) override;
    ImportError error(std::string_view part) const override;

  private:
    // Where the reading stands in the document: before anything, after a byte-order mark (where
    // the XML declaration may still come), before the root element, in it, after it.
    enum class Place : std::uint8_t { Start, Head, Prolog, Content, Epilog };
    enum class Outcome : std::uint8_t { Going, Incomplete, Failed, Stopped };

    const char* scan(const char* p);
    const char* outside(const char* p);
    const char* text(const char* p);
    const char* markup(const char* p);
    const char* startTag(const char* p);
    const char* attribute(const char* p);
    bool attributeValue(const char*& p, char quote);
    const char* endTag(const char* p);
    const char* comment(const char* p);
    const char* instruction(const char* p);
    const char* declaration(const char* q);
    const char* cdata(const char* p);
    // The body of a comment, instruction or CDATA section from `q` to the next `stop` byte, its
    // characters checked; null when the piece ends first or a character is not allowed.
    const char* body(const char* q, char stop);
    const char* name(const char* p);
    // A character or entity reference at `p` ('&'): its UTF-8 bytes into `out`, their count into
    // `length`; the position after it, or null (failed or incomplete).
    const char* reference(const char* p, char (&out)[4], int& length);
    // The length of the UTF-8 character at `p`, whose first byte is not ASCII; 0 when its bytes
    // are no character XML allows or the piece ends inside it.
    int character(const char* p);
    bool emit(std::string_view text);
    bool push(std::string_view qualified, bool empty);

    // Out of bytes at `at`, where the token began: wait for the next piece, or fail at the end.
    const char* more(const char* at);
    const char* failAt(const char* at, int code);
    const char* refuse(const char* at, std::string reason);

    XmlHandler& m_handler;
    Place m_place = Place::Start;
    Outcome m_outcome = Outcome::Going;
    bool m_last = false;
    const char* m_begin = nullptr;  // the piece being scanned
    const char* m_end = nullptr;
    const char* m_resume = nullptr;  // where an incomplete token began
    std::string m_pending;           // bytes carried to the next piece
    std::size_t m_wait = 0;          // the carried bytes a long token waits for before a rescan
    std::string m_names;             // the open elements' names, one after the other
    std::vector<std::size_t> m_nameEnds;
    std::string m_attributes;  // a tag's attribute names and values, each ending in a null
    std::vector<std::size_t> m_attributeStarts;
    std::vector<const char*> m_attributePointers;
    std::string m_scratch;  // text with its references or line ends resolved
    std::int64_t m_lines = 1;
    int m_errorCode = 0;
    std::int64_t m_errorLine = 0;
    std::string m_refusal;
};

}  // namespace corvane
