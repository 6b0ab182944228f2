#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"
#include "data/ImportError.h"

namespace corvane {

// Some whole lines from the start, the middle and the end of a file (line ends removed, the
// byte-order mark kept on the first line if the file has one), and whether `lines` begins at
// the start of the file.
struct TextSample {
    std::vector<std::string> lines;
    bool fromStart = true;
    // NUL bytes other than those of UTF-16 text (a byte-order mark, or the zero half of each
    // character of mostly ASCII text): a binary file, not text.
    bool binary = false;
    // Where each window after the first begins in `lines`: whether its first line goes on with
    // a quoted field is not known. Every window but the last was cut short at its end.
    std::vector<std::size_t> windows = {};
};

// Whole lines from three windows of the file (its start, middle and end; all of a small file).
Result<TextSample, ImportError> SampleTextFile(const std::string& path);

// The sample's lines, the byte-order mark dropped from the first.
std::vector<std::string_view> SampleLines(const TextSample& sample);

// The sample's records under a delimiter: its lines, those of a quoted field that holds line
// ends joined by "\n" (see RecordScanner).
struct SampleRecords {
    std::vector<std::string> text;
    std::vector<std::int64_t> lines;  // how many lines each spans
    std::size_t fromStart = 0;        // how many of them follow one another from the file's start

    std::vector<std::string_view> views() const { return {text.begin(), text.end()}; }
};

// The records of the sample past its first `skip` lines. Without `spanLines` every line is a
// record. A window whose start is not the file's start, and whose lines do not all end their
// records when read from there, is read from the first line after which its records end alike
// whether its first line goes on with a quoted field or not; the last record of a window cut
// short is dropped when it does not end. A field never closed at the end of the file ends its
// record with the line it opens on, as the reader has it.
SampleRecords RecordsOf(const TextSample& sample, char delimiter, bool spanLines,
                        std::size_t skip = 0);

}  // namespace corvane
