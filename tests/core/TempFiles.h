#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// A private directory under the system's temporary directory, removed with its files.
class TempDir {
  public:
    TempDir() {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "corvane-test-XXXXXX").string();
        m_path = ::mkdtemp(tmpl.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    std::string path() const { return m_path; }
    std::string file(const std::string& name, const std::string& bytes) const {
        const std::string p = m_path + "/" + name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

  private:
    std::string m_path;
};

// All the bytes of a file ("" when it cannot be read).
inline std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

#ifdef CORVANE_TEST_DATA
// A test file made by a real writer (tests/data/written-by).
inline std::string WrittenBy(const std::string& file) {
    return std::string(CORVANE_TEST_DATA) + "/written-by/" + file;
}
#endif
