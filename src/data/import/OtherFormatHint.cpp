#include "data/import/OtherFormatHint.h"

#include "common/Messages.h"
#include "data/formats/text/TextDialect.h"
#include "data/import/ImportDataFile.h"

namespace corvane {

std::string OtherFormatHint(const ImportError& e, const std::string& path,
                            const FormatRegistry& formats) {
    if (e.kind != ImportError::Kind::InvalidEntry || e.likelyDelimiter != 0) return {};
    const FormatRow& row = DetectDataFile(path, formats);
    if (!row.looksLike.empty()) return " " + msg::LooksLikeOtherFormat(row.looksLike);
    auto sample = SampleTextFile(path);
    if (!sample) return {};
    const TextDialect d = SniffTextDialect(sample.value(), ' ');
    // Only what none of the desktop's delimiter buttons reads.
    if (d.delimiter != ';' && d.delimiter != '|' && !d.decimalComma && !d.separatorLine &&
        d.notesLines == 0)
        return {};
    return " " + msg::LooksLikeOtherFormat(DescribeTextDialect(d));
}

}  // namespace corvane
