#include "data/formats/sheets/HelperLocation.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#ifndef CORVANE_LIBEXEC_FROM_BINDIR
#define CORVANE_LIBEXEC_FROM_BINDIR "../libexec/corvane"
#endif

namespace corvane {

namespace {

namespace fs = std::filesystem;

bool IsExecutableFile(const fs::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(p.c_str(), X_OK) == 0;
}

}  // namespace

std::string HelperProgramPath(std::string_view name) {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return std::string(name);
    const fs::path bin = self.parent_path();
    const fs::path configured = (bin / CORVANE_LIBEXEC_FROM_BINDIR / name).lexically_normal();
    if (IsExecutableFile(configured)) return configured.string();
    for (fs::path dir = bin; !dir.empty(); dir = dir.parent_path()) {
        const fs::path candidate = dir / "libexec" / "corvane" / name;
        if (IsExecutableFile(candidate)) return candidate.string();
        if (dir == dir.parent_path()) break;
    }
    return configured.string();
}

}  // namespace corvane
