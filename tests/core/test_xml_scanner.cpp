// XmlScanner against expat: the same events for the same bytes, however they are cut into pieces,
// and a failure wherever expat fails.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "TempFiles.h"
#include "XmlEvents.h"
#include "data/formats/sheets/ZipPackage.h"

using namespace corvane;
using namespace corvane::test;

namespace {

// What a worksheet may hold, well-formed or not; each is also read as the root's content.
const std::vector<std::string> kDocuments = {
    // Cells as the writers write them, and as XML lets them be written.
    R"(<worksheet><sheetData><row r="1"><c r="A1" t="n"><v>35.3575</v></c></row></sheetData></worksheet>)",
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<x:worksheet xmlns:x=\"u\">"
    "<x:sheetData>\n <x:row x:r='2' ><x:c t = 'inlineStr' r=\"B2\" s=\"3\"><x:is><x:r><x:t "
    "xml:space=\"preserve\"> a </x:t></x:r><x:r><x:t>b</x:t></x:r></x:is></x:c></x:row>"
    "</x:sheetData></x:worksheet>",
    "<w><c><v/><v></v><f>SUM(A1:A2)</f><v>3</v></c><c t=\"e\"><v>#N/A</v></c></w>",
    "<w><v>&amp;&lt;&gt;&quot;&apos;&#65;&#x42;&#x10FFFF;&#0065;&#x0000041;&#13;&#10;</v></w>",
    "<w a=\"&amp;&lt;&#13;&#10;&#9;\t \r\n\r\n\rx\" b='\"' c=\"'\" d=\"\" e=\">\"/>",
    "<w><v><![CDATA[<&>]]]]><![CDATA[]]><![CDATA[a\r\nb\rc\n]]>x]y]]z</v></w>",
    "<w>1\r\n2\r3\n\r\n4</w>",
    "<w><!-- a - b --><?pi data ?><?p?>x<!---->y<?xml-stylesheet x?><?xmlx?></w>",
    "\xEF\xBB\xBF<?xml version=\"1.0\"?><w>\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\x7F</w>",
    "<?xml version='1.0' encoding='x.y_z-1'?><w/>",
    "<?xml\tversion=\"\"\n?>  <w/>  <!-- after --> <?p?>\n",
    "<a:b:c d:=\"1\" :e=\"2\" f-g.h=\"3\"/>",
    "<w xmlns=\"u\" xmlns:r=\"v\" r:id=\"2\" id=\"3\"/>",
    "<w\n/>",
    // Not well-formed.
    "",
    "  ",
    "<w>",
    "<w",
    "<w><c>",
    "<w>x",
    "<w></c>",
    "<w/><w/>",
    "<w/>x",
    "x<w/>",
    "<w a=\"1\" a=\"2\"/>",
    "<w a=\"1\"b=\"2\"/>",
    "<w a=1/>",
    "<w a/>",
    "<w =\"\"/>",
    "<w a=\"<\"/>",
    "<w>&foo;</w>",
    "<w>&amp</w>",
    "<w>& amp;</w>",
    "<w>&#;</w>",
    "<w>&#x;</w>",
    "<w>&#X41;</w>",
    "<w>&#65a;</w>",
    "<w>&#0;</w>",
    "<w>&#xD800;</w>",
    "<w>&#x110000;</w>",
    "<w>&#xFFFE;</w>",
    "<w>&#99999999999999999999;</w>",
    "<w>]]></w>",
    "<w>a]]>b</w>",
    "<w>\x01</w>",
    "<w a=\"\x1F\"/>",
    "<w>\xEF\xBF\xBE</w>",
    "<w>\xED\xA0\x80</w>",
    "<w>\xF5\x80\x80\x80</w>",
    "<w>\xC0\x80</w>",
    "<w>\xC3</w>",
    "<w>\xE2\x82</w>",
    "<w>\x80</w>",
    "<w a=\"\xFF\"/>",
    "<w><!-- a -- b --></w>",
    "<w><!-- a ---></w>",
    "<!---><w/>",
    "<w><![cdata[x]]></w>",
    "<![CDATA[x]]><w/>",
    "<w/><![CDATA[x]]>",
    "<w><!x></w>",
    "<w><?p?x?></w>",
    "<w><?p$?></w>",
    " <?xml version=\"1.0\"?><w/>",
    "<w><?xml version=\"1.0\"?></w>",
    "<?xml?><w/>",
    "<?xml version=\"1 0\"?><w/>",
    "<?xml version=\"1:0\"?><w/>",
    "<?xml encoding=\"UTF-8\"?><w/>",
    "<?xml version=\"1.0\" standalone=\"yes\" encoding=\"x\"?><w/>",
    "<?xml version=\"1.0\"standalone=\"yes\"?><w/>",
    "<?xml version=\"1.0\" foo=\"x\"?><w/>",
    "<?xml version=\"1.0\" encoding=\"\"?><w/>",
    "<?xml version=\"1.0\" encoding=\"-x\"?><w/>",
    "<?xml version=\"1.0\" standalone=\"YES\"?><w/>",
    "<?xml version=\"1.0\"?"
    "?><w/>",
    "<?XML version=\"1.0\"?><w/>",
    "<w><?Xml?></w>",
    "<?xml version=\"1.0\"?><?xml version=\"1.0\"?><w/>",
    "\xEF\xBB\xBF\xEF\xBB\xBF<w/>",
    "<w/ >",
    "<w a=\"1\" / >",
    "< w/>",
    "<1w/>",
    "<-w/>",
    "<w></ w>",
    "<w></w x>",
    "</w>",
    "<w><c></w></c>",
    "<!DOCTYPE w><w/>",
    "<!DOCTYPEw><w/>",
    "<w><!DOCTYPE w></w>",
    "<w>\xC3\xA9</w>\xC3\xA9",
};

TEST(XmlScanner, ReadsWhatExpatReadsInPiecesOfAnySize) {
    for (const std::string& document : kDocuments) {
        for (const std::string& bytes : {document, "<root>" + document + "</root>"}) {
            for (std::size_t piece : {0, 1, 2, 3, 5, 8}) {
                std::string expat, scanner;
                EXPECT_TRUE(ScannerAgrees(bytes, piece, expat, scanner))
                    << "bytes " << bytes << "\npiece " << piece << "\nexpat   " << expat
                    << "\nscanner " << scanner;
            }
        }
    }
}

TEST(XmlScanner, FaultsAreNamedInExpatsWordsWithTheirLine) {
    EXPECT_EQ(XmlEventsOf<XmlScanner>("<w>\n<c>\n</w>"),
              "FAILED: the workbook part p is damaged: mismatched tag at line 3");
    EXPECT_EQ(XmlEventsOf<XmlScanner>("<w>\n<c>", 1),
              "FAILED: the workbook part p is damaged: no element found at line 2");
    EXPECT_EQ(XmlEventsOf<XmlScanner>("<w>&x;</w>"),
              "FAILED: the workbook part p is damaged: undefined entity at line 1");
    EXPECT_EQ(XmlEventsOf<XmlScanner>("<!DOCTYPE w [<!ENTITY x \"y\">]><w/>"),
              "FAILED: " + std::string(XmlStream::kDoctypeReason));
}

// What XML allows but no workbook has is refused, saying so, rather than read.
TEST(XmlScanner, RefusesNamesBeyondAsciiAndGiantTokens) {
    EXPECT_EQ(XmlEventsOf<XmlScanner>("<w>\n<\xC3\xA9/></w>"),
              "FAILED: the workbook part p at line 2 names an element or attribute with letters "
              "beyond ASCII, which no spreadsheet's XML does");
    const std::string giant =
        "<w><c a=\"" + std::string(XmlScanner::kMaxTokenBytes + (1 << 17), 'x') + "\"/></w>";
    EXPECT_NE(XmlEventsOf<XmlScanner>(giant, 1 << 16).find("more than 4 MiB"), std::string::npos);
    // A long one within the bound reads, however it is cut.
    const std::string longText = "<w><!--" + std::string(1 << 20, '.') + "--><c a=\"" +
                                 std::string(1 << 20, 'y') + "\"/></w>";
    EXPECT_EQ(XmlEventsOf<XmlScanner>(longText, 1 << 16), XmlEventsOf<XmlStream>(longText));
}

// A handler that has what it needs stops the parse; one that fails it ends it with its error.
TEST(XmlScanner, StopsWhenTheHandlerSays) {
    struct Stopper : XmlHandler {
        int starts = 0;
        void start(std::string_view name, const char**) override {
            ++starts;
            if (name == "stop") stop();
            if (name == "fail") fail(ImportError::Unreadable("no"));
        }
        void end(std::string_view) override {}
    };
    for (const char* bytes : {"<w><a/><stop/><a/>", "<w><a/><fail/><a/>"}) {
        Stopper handler;
        XmlScanner scanner(handler);
        const auto status = scanner.feed(bytes, std::strlen(bytes), false);
        EXPECT_EQ(handler.starts, 3);
        const bool failed = std::string_view(bytes).find("fail") != std::string_view::npos;
        EXPECT_EQ(status, failed ? XmlPartParser::Status::Failed : XmlPartParser::Status::Done);
        if (failed) {
            EXPECT_EQ(scanner.error("p").reason, "no");
        }
    }
}

// Every worksheet of the writers' workbooks, as the zip unpacks it.
TEST(XmlScanner, ReadsTheWritersWorksheetsAsExpatDoes) {
    struct Whole : XmlHandler {
        void start(std::string_view, const char**) override {}
        void end(std::string_view) override {}
    };
    for (const char* file :
         {"xlsxwriter_trial.xlsx", "openpyxl_trial.xlsx", "openxlsx_trial.xlsx", "groups.xlsx",
          "openpyxl_offset.xlsx", "openxlsx_root_workbook.xlsx"}) {
        auto zip = ZipPackage::Open(WrittenBy(file));
        ASSERT_TRUE(zip.ok()) << file;
        for (const char* part : {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml"}) {
            if (!zip.value()->has(part)) continue;
            const auto bytes = zip.value()->readShort(part, 1 << 20);
            ASSERT_TRUE(bytes.ok());
            for (std::size_t piece : {0, 7, 4096}) {
                std::string expat, scanner;
                EXPECT_TRUE(ScannerAgrees(bytes.value(), piece, expat, scanner)) << file << part;
                EXPECT_FALSE(scanner.starts_with("FAILED")) << scanner;
            }
        }
    }
}

}  // namespace
