#include "BenchData.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <numbers>
#include <vector>

#include "common/UniformGenerator.h"

namespace corvane::bench {

namespace {

// Box-Muller over the program's own generator: the same values on every machine and library.
class NormalSource {
  public:
    explicit NormalSource(std::uint64_t seed) : m_rng(seed) {}
    double next() {
        if (m_haveSpare) {
            m_haveSpare = false;
            return m_spare;
        }
        const double r = std::sqrt(-2.0 * std::log(m_rng.next()));
        const double a = 2.0 * std::numbers::pi * m_rng.next();
        m_spare = r * std::sin(a);
        m_haveSpare = true;
        return r * std::cos(a);
    }

  private:
    UniformGenerator m_rng;
    double m_spare = 0;
    bool m_haveSpare = false;
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// 6 significant digits, as the data files carry them.
int FormatCell(char* buf, std::size_t size, double x) {
    return std::snprintf(buf, size, "%.6g", x);
}

}  // namespace

GroupPair NormalGroups(std::int32_t n, std::uint64_t seed) {
    NormalSource src(seed);
    GroupPair pair;
    pair.group1.resize(static_cast<std::size_t>(n));
    pair.group2.resize(static_cast<std::size_t>(n));
    for (float& x : pair.group1) x = static_cast<float>(src.next());
    for (float& x : pair.group2) x = static_cast<float>(src.next() + 0.5);
    return pair;
}

DataMatrix NormalMatrix(std::int32_t cases, std::int32_t variables, std::uint64_t seed) {
    NormalSource src(seed);
    DataMatrix m(cases, variables);
    char buf[32];
    for (std::int32_t i = 1; i <= cases; ++i) {
        for (std::int32_t j = 1; j <= variables; ++j) {
            FormatCell(buf, sizeof buf, 50.0 + 10.0 * src.next());
            m(i, j) = std::strtof(buf, nullptr);
        }
    }
    return m;
}

bool WriteImportFile(const std::string& path, std::int64_t lines, std::int32_t columns,
                     std::uint64_t seed) {
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "wb"));
    if (!f) return false;
    NormalSource src(seed);
    std::string line;
    char buf[32];
    for (std::int64_t i = 0; i < lines; ++i) {
        line.clear();
        for (std::int32_t j = 0; j < columns; ++j) {
            if (j) line += ' ';
            line.append(buf, static_cast<std::size_t>(
                                 FormatCell(buf, sizeof buf, 50.0 + 10.0 * src.next())));
        }
        line += "\r\n";
        if (std::fwrite(line.data(), 1, line.size(), f.get()) != line.size()) return false;
    }
    return std::fclose(f.release()) == 0;
}

bool WriteGroupTableFile(const std::string& path, std::int64_t lines, std::int32_t columns,
                         bool named, std::uint64_t seed) {
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "wb"));
    if (!f) return false;
    NormalSource src(seed);
    std::string line;
    for (std::int32_t j = 1; j < columns; ++j) {
        line += 'v';
        line += std::to_string(j);
        line += ' ';
    }
    line += "group\r\n";
    char buf[32];
    for (std::int64_t i = 0; i < lines; ++i) {
        for (std::int32_t j = 1; j < columns; ++j) {
            line.append(buf, static_cast<std::size_t>(
                                 FormatCell(buf, sizeof buf, 50.0 + 10.0 * src.next())));
            line += ' ';
        }
        line += i % 2 ? (named ? "treatment" : "2") : (named ? "control" : "1");
        line += "\r\n";
        if (std::fwrite(line.data(), 1, line.size(), f.get()) != line.size()) return false;
        line.clear();
    }
    return std::fclose(f.release()) == 0;
}

bool WriteDecimalCommaFile(const std::string& path, std::int64_t lines, std::int32_t columns,
                           std::uint64_t seed) {
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "wb"));
    if (!f) return false;
    NormalSource src(seed);
    std::string line;
    for (std::int32_t j = 1; j <= columns; ++j) {
        if (j > 1) line += ';';
        line += 'v';
        line += std::to_string(j);
    }
    line += "\r\n";
    char buf[32];
    for (std::int64_t i = 0; i < lines; ++i) {
        for (std::int32_t j = 0; j < columns; ++j) {
            if (j) line += ';';
            const int n = FormatCell(buf, sizeof buf, 50.0 + 10.0 * src.next());
            for (int k = 0; k < n; ++k) line += buf[k] == '.' ? ',' : buf[k];
        }
        line += "\r\n";
        if (std::fwrite(line.data(), 1, line.size(), f.get()) != line.size()) return false;
        line.clear();
    }
    return std::fclose(f.release()) == 0;
}

std::vector<double> NormalCells(std::int64_t count, std::uint64_t seed) {
    NormalSource src(seed);
    std::vector<double> cells(static_cast<std::size_t>(count));
    char buf[32];
    for (double& x : cells) {
        FormatCell(buf, sizeof buf, 50.0 + 10.0 * src.next());
        x = std::strtod(buf, nullptr);
    }
    return cells;
}

bool WriteGroupsFile(const std::string& path, const GroupPair& groups) {
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "wb"));
    if (!f) return false;
    for (float x : groups.group1) std::fprintf(f.get(), "%.9g 1\r\n", static_cast<double>(x));
    for (float x : groups.group2) std::fprintf(f.get(), "%.9g 2\r\n", static_cast<double>(x));
    return std::fclose(f.release()) == 0;
}

namespace {

// One value of the shape's group (1 or 2) as the file writes it.
int FormatDiscrete(char* buf, std::size_t size, NormalSource& src, Discrete shape, int group) {
    const double z = src.next();
    if (shape == Discrete::Likert) {
        const double item = std::nearbyint(4.0 + 1.5 * z + 0.25 * (group - 1));
        return std::snprintf(buf, size, "%d", static_cast<int>(std::clamp(item, 1.0, 7.0)));
    }
    return std::snprintf(buf, size, "%.2f", 50.0 + 10.0 * z + 5.0 * (group - 1));
}

}  // namespace

GroupPair DiscreteGroups(std::int32_t n, Discrete shape, std::uint64_t seed) {
    NormalSource src(seed);
    GroupPair pair;
    char buf[32];
    for (int group : {1, 2}) {
        GroupSample& g = group == 1 ? pair.group1 : pair.group2;
        g.resize(static_cast<std::size_t>(n));
        for (float& x : g) {
            FormatDiscrete(buf, sizeof buf, src, shape, group);
            x = std::strtof(buf, nullptr);
        }
    }
    return pair;
}

bool WriteDiscreteGroupsFile(const std::string& path, std::int64_t n, Discrete shape,
                             std::uint64_t seed) {
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "wb"));
    if (!f) return false;
    NormalSource src(seed);
    std::string block;
    char buf[32];
    for (int group : {1, 2}) {
        const char* code = group == 1 ? " 1\r\n" : " 2\r\n";
        for (std::int64_t i = 0; i < n; ++i) {
            block.append(
                buf, static_cast<std::size_t>(FormatDiscrete(buf, sizeof buf, src, shape, group)));
            block += code;
            if (block.size() >= (1u << 20) || i + 1 == n) {
                if (std::fwrite(block.data(), 1, block.size(), f.get()) != block.size())
                    return false;
                block.clear();
            }
        }
    }
    return std::fclose(f.release()) == 0;
}

std::string DataDirectory() {
    if (const char* dir = std::getenv("CORVANE_BENCH_DATA"); dir && *dir) return dir;
    const auto dir = std::filesystem::temp_directory_path() / "corvane-bench";
    std::filesystem::create_directories(dir);
    return dir.string();
}

std::string ImportFile(std::int64_t lines, std::int32_t columns) {
    const std::string path = DataDirectory() + "/import_" + std::to_string(lines) + "x" +
                             std::to_string(columns) + ".txt";
    if (!std::filesystem::exists(path) && !WriteImportFile(path, lines, columns)) return {};
    return path;
}

std::string GroupTableFile(std::int64_t lines, std::int32_t columns, bool named) {
    const std::string path = DataDirectory() + "/table_" + std::to_string(lines) + "x" +
                             std::to_string(columns) + (named ? "_named" : "_coded") + ".txt";
    if (!std::filesystem::exists(path) && !WriteGroupTableFile(path, lines, columns, named))
        return {};
    return path;
}

}  // namespace corvane::bench
