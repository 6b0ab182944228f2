#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

// A private directory for the files a fuzz target writes, removed at exit. On tmpfs when there
// is one, so that the saves' fsync costs nothing.
inline const std::string& FuzzDirectory() {
    static const std::string path = [] {
        const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("TMPDIR");
        std::string tmpl = std::string(base ? base : "/tmp") + "/corvane-fuzz-XXXXXX";
        if (::mkdtemp(tmpl.data()) == nullptr) std::abort();
        static std::string removeAtExit;
        removeAtExit = tmpl;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(removeAtExit, ec);
        });
        return tmpl;
    }();
    return path;
}

inline std::string WriteFuzzFile(const std::string& name, const char* data, std::size_t size) {
    const std::string path = FuzzDirectory() + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0) std::abort();
    return path;
}

// A failed property: say which, then abort so libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                     \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                         \
        }                                                                                         \
    } while (0)
