#include "data/formats/text/TextSample.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <span>

#include "data/OpenDataFile.h"
#include "data/formats/text/RecordScanner.h"

namespace corvane {

namespace {

constexpr std::int64_t kWindowBytes = 64 * 1024;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Appends the lines of `bytes`; without `wholeStart` the text before the first line end is the
// tail of a line that began earlier, and without `wholeEnd` the text after the last is cut.
void AddLines(std::string_view bytes, bool wholeStart, bool wholeEnd,
              std::vector<std::string>& lines) {
    std::size_t at = 0;
    bool skip = !wholeStart;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", at);
        if (end == std::string_view::npos) {
            if (wholeEnd && !skip) lines.emplace_back(bytes.substr(at));
            return;
        }
        if (!skip) lines.emplace_back(bytes.substr(at, end - at));
        skip = false;
        at = end + 1;
        if (bytes[end] == '\r' && at < bytes.size() && bytes[at] == '\n') ++at;
    }
}

// The NUL bytes of the sampled windows, by the parity of their place in the file. UTF-16 text
// starts with its byte-order mark or, when it is mostly ASCII, holds a NUL in every other byte.
struct NulBytes {
    std::int64_t bytes = 0;
    std::int64_t atParity[2] = {0, 0};
    bool utf16Mark = false;

    void count(std::string_view window, std::int64_t offset) {
        if (offset == 0 && window.size() >= 2)
            utf16Mark = window.starts_with("\xFF\xFE") || window.starts_with("\xFE\xFF");
        bytes += std::ssize(window);
        for (std::size_t i = 0; i < window.size(); ++i)
            if (window[i] == '\0') ++atParity[(offset + static_cast<std::int64_t>(i)) & 1];
    }
    bool binary() const {
        const std::int64_t all = atParity[0] + atParity[1];
        if (all == 0 || utf16Mark) return false;
        const std::int64_t most = std::max(atParity[0], atParity[1]);
        const bool utf16Pattern = all * 4 >= bytes && most * 10 >= all * 9;
        return !utf16Pattern;
    }
};

using Lines = std::span<const std::string_view>;

// Whether every line of the window, read from its first, ends its record.
bool EveryLineEndsItsRecord(Lines lines, char delimiter) {
    RecordScanner scanner(delimiter);
    return std::all_of(lines.begin(), lines.end(),
                       [&](std::string_view line) { return scanner.line(line); });
}

// The first line after which the window's records end alike whether its first line goes on
// with a quoted field or not: from there on both readings are the same. The window's size when
// they never meet.
std::size_t SyncedStart(Lines lines, char delimiter) {
    RecordScanner outside(delimiter), inside(delimiter);
    inside.startInQuotes();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const bool outsideEnds = outside.line(lines[i]);
        if (inside.line(lines[i]) && outsideEnds) return i + 1;
    }
    return lines.size();
}

// Adds the records of the window's lines from `from`, which starts one. Returns where to go on:
// past the window's end, or past the line where a field never closed opened.
std::size_t AddRecords(Lines lines, std::size_t from, char delimiter, bool cutEnd,
                       SampleRecords& out) {
    RecordScanner scanner(delimiter);
    std::string record;
    std::size_t first = from, opened = from;
    bool open = false;
    for (std::size_t i = from; i < lines.size(); ++i) {
        if (!open) {
            record.assign(lines[i]);
            first = i;
        } else {
            record.append("\n").append(lines[i]);
        }
        open = !scanner.line(lines[i]);
        if (!open) {
            out.text.push_back(record);
            out.lines.push_back(static_cast<std::int64_t>(i - first + 1));
        } else if (scanner.openedAt() != std::string_view::npos) {
            opened = i;
        }
    }
    if (!open || cutEnd) return lines.size();
    record.clear();
    for (std::size_t i = first; i <= opened; ++i)
        record.append(i > first ? "\n" : "").append(lines[i]);
    out.text.push_back(record);
    out.lines.push_back(static_cast<std::int64_t>(opened - first + 1));
    return opened + 1;
}

}  // namespace

Result<TextSample, ImportError> SampleTextFile(const std::string& path) {
    auto opened = OpenDataFile(path);
    if (!opened) return opened.error();
    std::FILE* f = opened.value().get();
    if (std::fseek(f, 0, SEEK_END) != 0) return ImportError::Unreadable(errno);
    const std::int64_t size = std::ftell(f);
    if (size < 0) return ImportError::Unreadable(errno);

    TextSample sample;
    NulBytes nuls;
    auto readWindow = [&](std::int64_t begin, std::int64_t length) -> std::optional<ImportError> {
        std::string bytes(static_cast<std::size_t>(length), '\0');
        if (std::fseek(f, static_cast<long>(begin), SEEK_SET) != 0 ||
            std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
            return std::ferror(f) ? ImportError::Unreadable(errno)
                                  : ImportError::Of(ImportError::Kind::FileChanged);
        }
        nuls.count(bytes, begin);
        if (begin != 0) sample.windows.push_back(sample.lines.size());
        AddLines(bytes, begin == 0, begin + length == size, sample.lines);
        return std::nullopt;
    };
    if (size <= 3 * kWindowBytes) {
        if (auto e = readWindow(0, size)) return *e;
    } else {
        for (const std::int64_t begin :
             {std::int64_t{0}, (size - kWindowBytes) / 2, size - kWindowBytes}) {
            if (auto e = readWindow(begin, kWindowBytes)) return *e;
        }
    }
    sample.binary = nuls.binary();
    return sample;
}

std::vector<std::string_view> SampleLines(const TextSample& sample) {
    std::vector<std::string_view> lines(sample.lines.begin(), sample.lines.end());
    if (sample.fromStart && !lines.empty() && lines.front().starts_with(kByteOrderMark))
        lines.front().remove_prefix(kByteOrderMark.size());
    return lines;
}

SampleRecords RecordsOf(const TextSample& sample, char delimiter, bool spanLines,
                        std::size_t skip) {
    const std::vector<std::string_view> all = SampleLines(sample);
    std::vector<std::size_t> bounds = {0};
    bounds.insert(bounds.end(), sample.windows.begin(), sample.windows.end());
    bounds.push_back(all.size());
    SampleRecords out;
    for (std::size_t w = 0; w + 1 < bounds.size(); ++w) {
        const std::size_t begin = w == 0 ? std::min(skip, bounds[1]) : bounds[w];
        const Lines lines(all.data() + begin, bounds[w + 1] - begin);
        const bool knownStart = w == 0 && sample.fromStart;
        if (!spanLines) {
            for (const std::string_view line : lines) {
                out.text.emplace_back(line);
                out.lines.push_back(1);
            }
        } else {
            std::size_t from = 0;
            if (!knownStart && !EveryLineEndsItsRecord(lines, delimiter))
                from = SyncedStart(lines, delimiter);
            while (from < lines.size())
                from = AddRecords(lines, from, delimiter, w + 2 < bounds.size(), out);
        }
        if (knownStart) out.fromStart = out.text.size();
    }
    return out;
}

}  // namespace corvane
