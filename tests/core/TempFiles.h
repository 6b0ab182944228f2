#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
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
