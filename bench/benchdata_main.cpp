// corvane_benchdata: writes the benchmark data files, and times one import in a process of
// its own so that its peak resident memory is the import's alone.
//
//   corvane_benchdata files DIR    the two import files, the two group tables (groups named
//                                  and coded), the four group files and two of few distinct
//                                  values (Likert items and hundredths, 1,000,000 per group)
//   corvane_benchdata discrete FILE N likert|hundredths   a group file of N values per group of
//                                  that shape, written as it is drawn (N up to 100,000,000)
//   corvane_benchdata sav FILE     a 1,000,000 x 10 SPSS data file of the import file's numbers,
//                                  written by ReadStat, compressed as SPSS compresses by default
//   corvane_benchdata csv FILE     a 1,000,000 x 10 table of the same numbers with a names line,
//                                  semicolons and decimal commas
//   corvane_benchdata xlsx FILE    a 200,000 x 10 workbook of the same numbers and a text column
//                                  "group" (control, treatment) with a names row, written by
//                                  libxlsxwriter (when the program was built with it)
//   corvane_benchdata sheet FILE   the same table as space-delimited text, for the other
//                                  writers (bench/peers/write_xlsx_*)
//   corvane_benchdata import FILE [THREADS]  one import (THREADS threads in its second pass,
//                                  all cores by default): seconds, peak resident memory, matrix
//                                  size; a statistics file goes through its own reader, a file
//                                  not named .txt through format detection
#include <readstat.h>
#include <sys/resource.h>
#ifdef CORVANE_BENCH_XLSXWRITER
#include <xlsxwriter.h>
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchData.h"
#include "data/formats/stats/ReadStatisticsFile.h"
#include "data/import/ImportDataFile.h"

using namespace corvane;

namespace {

int WriteDiscrete(const std::string& path, const char* perGroup, const std::string& shape) {
    const long long n = std::atoll(perGroup);
    if (n < 1 || (shape != "likert" && shape != "hundredths")) {
        std::fprintf(stderr, "discrete FILE N likert|hundredths: N from 1, a known shape\n");
        return 2;
    }
    const bench::Discrete kind =
        shape == "likert" ? bench::Discrete::Likert : bench::Discrete::Hundredths;
    if (bench::WriteDiscreteGroupsFile(path, n, kind)) return 0;
    std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
    return 1;
}

int WriteFiles(const std::string& dir) {
    const struct {
        std::int64_t lines;
        std::int32_t columns;
    } shapes[] = {{1000000, 10}, {100000, 100}};
    for (const auto& s : shapes) {
        const std::string path =
            dir + "/import_" + std::to_string(s.lines) + "x" + std::to_string(s.columns) + ".txt";
        if (!bench::WriteImportFile(path, s.lines, s.columns)) {
            std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
            return 1;
        }
    }
    for (bool named : {false, true}) {
        const std::string path = dir + "/table_1000000x10_" + (named ? "named" : "coded") + ".txt";
        if (!bench::WriteGroupTableFile(path, 1000000, 10, named)) {
            std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
            return 1;
        }
    }
    for (std::int32_t n : {1000, 10000, 100000, 1000000}) {
        const std::string path = dir + "/groups_" + std::to_string(n) + ".txt";
        if (!bench::WriteGroupsFile(path, bench::NormalGroups(n))) {
            std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
            return 1;
        }
    }
    for (const char* shape : {"likert", "hundredths"}) {
        const std::string path = dir + "/groups_" + shape + "_1000000.txt";
        if (WriteDiscrete(path, "1000000", shape) != 0) return 1;
    }
    return 0;
}

ssize_t WriteBytes(const void* bytes, size_t len, void* ctx) {
    return static_cast<ssize_t>(std::fwrite(bytes, 1, len, static_cast<std::FILE*>(ctx)));
}

int WriteSav(const std::string& path) {
    const DataMatrix m = bench::NormalMatrix(1000000, 10);
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        return 1;
    }
    readstat_writer_t* w = readstat_writer_init();
    readstat_set_data_writer(w, WriteBytes);
    readstat_writer_set_compression(w, READSTAT_COMPRESS_ROWS);
    std::vector<readstat_variable_t*> vars;
    for (std::int32_t v = 1; v <= m.storedColumns(); ++v) {
        std::string name = std::to_string(v);
        name.insert(0, 1, 'v');
        vars.push_back(readstat_add_variable(w, name.c_str(), READSTAT_TYPE_DOUBLE, 0));
    }
    bool ok = readstat_begin_writing_sav(w, out, m.rows()) == READSTAT_OK;
    for (std::int32_t c = 1; ok && c <= m.rows(); ++c) {
        ok = readstat_begin_row(w) == READSTAT_OK;
        for (std::int32_t v = 1; ok && v <= m.storedColumns(); ++v)
            ok = readstat_insert_double_value(w, vars[v - 1], m(c, v)) == READSTAT_OK;
        ok = ok && readstat_end_row(w) == READSTAT_OK;
    }
    ok = ok && readstat_end_writing(w) == READSTAT_OK;
    readstat_writer_free(w);
    ok = std::fclose(out) == 0 && ok;
    if (!ok) std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return ok ? 0 : 1;
}

int WriteDecimalComma(const std::string& path) {
    if (bench::WriteDecimalCommaFile(path, 1000000, 10)) return 0;
    std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
    return 1;
}

constexpr std::int32_t kSheetRows = 200000, kSheetNumbers = 10;

int WriteSheetTable(const std::string& path) {
    if (bench::WriteGroupTableFile(path, kSheetRows, kSheetNumbers + 1, true)) return 0;
    std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
    return 1;
}

int WriteXlsx(const std::string& path) {
#ifdef CORVANE_BENCH_XLSXWRITER
    constexpr std::int32_t rows = kSheetRows, columns = kSheetNumbers;
    const std::vector<double> cells = bench::NormalCells(std::int64_t{rows} * columns);
    lxw_workbook* book = workbook_new(path.c_str());
    lxw_worksheet* sheet = book ? workbook_add_worksheet(book, nullptr) : nullptr;
    bool ok = sheet != nullptr;
    char name[16];
    for (std::int32_t j = 0; ok && j <= columns; ++j) {
        std::snprintf(name, sizeof name, "v%d", j + 1);
        ok = worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(j),
                                    j < columns ? name : "group", nullptr) == LXW_NO_ERROR;
    }
    for (std::int32_t i = 0; ok && i < rows; ++i) {
        for (std::int32_t j = 0; ok && j < columns; ++j)
            ok = worksheet_write_number(
                     sheet, static_cast<lxw_row_t>(i + 1), static_cast<lxw_col_t>(j),
                     cells[static_cast<std::size_t>(i) * columns + j], nullptr) == LXW_NO_ERROR;
        ok = ok && worksheet_write_string(sheet, static_cast<lxw_row_t>(i + 1), columns,
                                          i % 2 ? "treatment" : "control", nullptr) == LXW_NO_ERROR;
    }
    ok = book && workbook_close(book) == LXW_NO_ERROR && ok;
    if (!ok) std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return ok ? 0 : 1;
#else
    std::fprintf(stderr, "cannot write %s: built without libxlsxwriter (libxlsxwriter-dev)\n",
                 path.c_str());
    return 1;
#endif
}

double PeakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// User and system time of the process: on a shared machine the steadier figure.
double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Printed beside the peers' own so that a misread file (a decimal comma taken as a delimiter,
// a names line taken as data) shows.
double FirstMean(const DataSet& set) {
    double sum = 0;
    for (std::int32_t c = 1; c <= set.cases(); ++c) sum += set.matrix()(c, 1);
    return set.cases() > 0 ? sum / set.cases() : 0;
}

int TimeImport(const std::string& path, unsigned threads) {
    const double before = PeakResidentMiB();
    const double cpuStart = ProcessorSeconds();
    const auto start = std::chrono::steady_clock::now();
    ImportOptions options;
    options.threads = threads;
    const bool statistics = SniffStatisticsFile("", path) != StatFileKind::None;
    const bool plain = path.size() >= 4 && path.compare(path.size() - 4, 4, ".txt") == 0;
    auto set = statistics ? ReadStatisticsFile(path)
                          : ImportDataFile(path, plain ? ' ' : kDetectFormat, options);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const double cpu = ProcessorSeconds() - cpuStart;
    if (!set) {
        std::fprintf(stderr, "%s\n", ImportErrorText(set.error(), path).c_str());
        return 1;
    }
    const double matrix = static_cast<double>(set->cases()) * set->matrix().storedColumns() *
                          sizeof(float) / (1024.0 * 1024.0);
    const double peak = PeakResidentMiB();
    std::printf(
        "%s %d x %d, %s: %.1f ms wall %.1f ms cpu, peak RSS %.1f MiB (%.1f before the "
        "import), matrix %.1f MiB, peak above the matrix %.1f MiB, mean of the first variable "
        "%.4f\n",
        statistics ? "ReadStatisticsFile"
        : plain    ? "ImportDataFile"
                   : "ImportDataFile detecting",
        set->cases(), set->variables(),
        statistics     ? "one thread"
        : threads == 0 ? "all cores"
                       : (std::to_string(threads) + " thread(s)").c_str(),
        took.count() * 1000, cpu * 1000, peak, before, matrix, peak - matrix,
        FirstMean(set.value()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "files") == 0) return WriteFiles(argv[2]);
    if (argc == 5 && std::strcmp(argv[1], "discrete") == 0)
        return WriteDiscrete(argv[2], argv[3], argv[4]);
    if (argc == 3 && std::strcmp(argv[1], "sav") == 0) return WriteSav(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "csv") == 0) return WriteDecimalComma(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "xlsx") == 0) return WriteXlsx(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "sheet") == 0) return WriteSheetTable(argv[2]);
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "import") == 0) {
        return TimeImport(argv[2], argc == 4 ? static_cast<unsigned>(std::atoi(argv[3])) : 0);
    }
    std::fprintf(stderr,
                 "usage: %s files DIR | discrete FILE N likert|hundredths | sav FILE | csv FILE | "
                 "xlsx FILE | sheet FILE | import FILE [THREADS]\n",
                 argv[0]);
    return 2;
}
