// corvane-xls-reader: FreeXL in a process of its own, started by the .xls reader (XlsReader)
// with posix_spawn. It limits its own address space and processor time first, then sends the
// sheet list or one sheet's cells on its standard output (see XlsRecords.h), ending with
// ChildSender::kEnd. Whatever goes wrong inside becomes an error record; a crash or a limit
// reached ends only this process.
//
//   corvane-xls-reader MEMORY_BYTES CPU_SECONDS list PATH
//   corvane-xls-reader MEMORY_BYTES CPU_SECONDS read PATH SHEET_NUMBER SHEET_NAME
#include <signal.h>
#include <sys/resource.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "data/OpenDataFile.h"
#include "data/formats/sheets/ChildSender.h"
#include "data/formats/sheets/FreeXlWorkbook.h"
#include "data/formats/sheets/XlsReasons.h"

#if defined(__SANITIZE_ADDRESS__)
#define CORVANE_HELPER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CORVANE_HELPER_ASAN 1
#endif
#endif

#ifdef CORVANE_HELPER_ASAN
// AddressSanitizer reserves terabytes of address space, so RLIMIT_AS cannot bound it: its
// allocator refuses a single allocation past the limit instead, as a failed malloc.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1:max_allocation_size_mb=1024";
}
#endif

namespace {

using namespace corvane;

bool Number(std::string_view text, std::int64_t& out) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size() && out >= 0;
}

// The limits the reader asked for, set on this process before the file is opened.
bool Limit(std::int64_t memory, std::int64_t seconds) {
    // The soft processor-time limit sends SIGXCPU, which the caller reads as a time-out.
    const rlimit cpu{static_cast<rlim_t>(seconds), static_cast<rlim_t>(seconds + 5)};
    if (::setrlimit(RLIMIT_CPU, &cpu) != 0) return false;
#ifndef CORVANE_HELPER_ASAN
    const rlimit as{static_cast<rlim_t>(memory), static_cast<rlim_t>(memory)};
    if (::setrlimit(RLIMIT_AS, &as) != 0) return false;
#else
    (void)memory;
#endif
    return true;
}

void Run(int argc, char** argv, std::int64_t memory, ChildSender& send) {
    const std::string_view command = argv[3];
    const std::string path = argv[4];
    // A pipe or a device would block FreeXL's open or never end.
    if (auto file = OpenDataFile(path); !file) return send.error(file.error());
    if (command == "list" && argc == 5) return SendXlsSheetList(path, memory, send);
    std::int64_t number = 0;
    if (command == "read" && argc == 7 && Number(argv[5], number) && number <= 65536)
        return SendXlsSheet(path, SheetChoice{argv[6], static_cast<std::int32_t>(number)}, memory,
                            send);
    send.error(xls::Stopped());
}

}  // namespace

int main(int argc, char** argv) {
    ::signal(SIGPIPE, SIG_IGN);
    std::int64_t memory = 0, seconds = 0;
    if (argc < 5 || !Number(argv[1], memory) || !Number(argv[2], seconds) ||
        !Limit(memory, seconds))
        return 2;
    ChildSender send(1);
    try {
        Run(argc, argv, memory, send);
    } catch (const std::bad_alloc&) {
        send.error(xls::MemoryLimit(memory));
    } catch (...) {
        send.error(xls::Stopped());
    }
    send.tag(ChildSender::kEnd);
    send.flush();
    return 0;
}
