// Output files: reading arbitrary bytes gives valid UTF-8 text of whole CR LF lines, and saving
// a pane's text and reading it back gives that text followed by one CR LF, with nothing left
// beside the saved file.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "FuzzFiles.h"
#include "output/OutputFile.h"

using namespace corvane;

namespace {

// Lines in the bytes: CR LF, lone CR and lone LF each end one; a last line needs no end.
std::size_t LineCount(std::string_view bytes) {
    std::size_t lines = 0, start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        ++lines;
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    return lines + (start < bytes.size() ? 1 : 0);
}

// Every CR is followed by LF and every LF preceded by CR; returns the number of pairs.
std::size_t CheckCrLfOnly(const std::string& text) {
    std::size_t pairs = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            FUZZ_CHECK(i + 1 < text.size() && text[i + 1] == '\n');
            ++pairs;
            ++i;
        } else {
            FUZZ_CHECK(text[i] != '\n');
        }
    }
    return pairs;
}

std::string ReadBytes(const std::string& path) {
    std::string bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    FUZZ_CHECK(f != nullptr);
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    std::fclose(f);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string input = WriteFuzzFile("input.txt", bytes.data(), bytes.size());

    auto read = ReadOutputFile(input);
    FUZZ_CHECK(read.ok());
    const std::string& text = read.value();
    FUZZ_CHECK(IsValidUtf8(text));
    FUZZ_CHECK(text.empty() || text.ends_with("\r\n"));
    const bool bom = bytes.starts_with("\xEF\xBB\xBF");
    FUZZ_CHECK(CheckCrLfOnly(text) == LineCount(std::string_view(bytes).substr(bom ? 3 : 0)));
    if (IsValidUtf8(bytes) && !bom && bytes.find('\r') == std::string::npos &&
        bytes.find('\n') == std::string::npos) {
        FUZZ_CHECK(text == (bytes.empty() ? bytes : bytes + "\r\n"));
    }

    // A pane holds what was read, with or without its last line end. A leading U+FEFF cannot
    // survive the trip: on reading it is taken for a byte-order mark.
    std::string pane = text;
    if (size > 0 && (data[0] & 1) && pane.ends_with("\r\n")) pane.resize(pane.size() - 2);
    if (pane.starts_with("\xEF\xBB\xBF")) return 0;

    const std::string target = FuzzDirectory() + "/saved.txt";
    auto saved = SaveOutputFile(target, pane);
    FUZZ_CHECK(saved.ok());
    // UTF-8 as it is, no byte-order mark, and one line end more only where the pane had none.
    const std::string file = pane.ends_with("\r\n") ? pane : pane + "\r\n";
    FUZZ_CHECK(ReadBytes(target) == file);
    auto back = ReadOutputFile(target);
    FUZZ_CHECK(back.ok() && back.value() == file);

    // Only the input and the saved file: no temporary file is left behind.
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(FuzzDirectory()))
        ++files;
    FUZZ_CHECK(files == 2);
    return 0;
}
