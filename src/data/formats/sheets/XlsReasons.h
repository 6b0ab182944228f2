#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "data/ImportError.h"
#include "data/formats/sheets/BiffFacts.h"

namespace corvane {

// Why the reader of .xls files failed, in the words the user is shown.
namespace xls {

// The helper program crashed or ended early.
ImportError Stopped();
// The helper program was still reading when its time was up.
ImportError TimedOut(std::chrono::milliseconds limit);
// The helper program reached its memory limit (`bytes` of address space).
ImportError MemoryLimit(std::int64_t bytes);
// The helper program at `program` could not be started; the system's reason is appended.
ImportError NotStarted(const std::string& program);
// A FreeXL error code.
ImportError Failure(int code);
// The helper's memory limit, and whether an allocation failed against it.
struct Limit {
    std::int64_t bytes = 0;
    bool reached = false;
};
// What a workbook FreeXL declined (with `code`; FREEXL_OK when it gave no handle) is, from its
// records: the memory limit reached (or grids claimed beyond it), a password, a code page or a
// version FreeXL does not read, a sheet with no data rows or one whose cells lie beyond the size
// it claims. `sheet` is the sheet asked for (from 0), none for the list.
ImportError Declined(int code, const std::optional<BiffFacts>& facts, const Limit& memory,
                     std::optional<std::size_t> sheet);
// A sheet with formatted (rich) text cells, which FreeXL would read as empty.
ImportError RichText(int version);

}  // namespace xls

}  // namespace corvane
