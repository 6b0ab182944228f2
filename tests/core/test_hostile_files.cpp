// Hostile data files: every one either imports correctly or fails with its own message, and a
// failed import leaves the data set that was loaded before exactly as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "TempFiles.h"
#include "common/Single.h"
#include "data/import/ImportDataFile.h"
#include "data/modGeneral.h"
#include "output/OutputFile.h"

using namespace corvane;
namespace g = corvane::modGeneral;

namespace {

constexpr float M = kMissing;

// What the main window does: replace the loaded data set only with a whole, successful import.
Result<DataSet, ImportError> ImportLikeTheWindow(
    const std::string& path, char delimiter,
    std::function<void(const std::string&)> betweenPasses = {}) {
    ImportOptions options;
    options.betweenPasses = std::move(betweenPasses);
    auto r = ImportDataFile(path, delimiter, options);
    if (r) {
        g::Replace(r.value());
    }
    return r;
}

// A data set loaded before each hostile file, to be found unchanged after a failure.
class HostileFiles : public ::testing::Test {
  protected:
    void SetUp() override { LoadPrevious(); }

    void LoadPrevious() {
        auto r = ImportLikeTheWindow(m_dir.file("previous.txt", "1 2 3\r\n4 . 6\r\n"), ' ');
        ASSERT_TRUE(r.ok());
    }

    static void ExpectPreviousKept() {
        EXPECT_EQ(g::Current()->cases(), 2);
        EXPECT_EQ(g::Current()->variables(), 3);
        ASSERT_EQ(g::Current()->matrix().rows(), 2);
        const float cells[2][3] = {{1, 2, 3}, {4, M, 6}};
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 3; ++j)
                EXPECT_EQ(g::Current()->matrix().at(i + 1, j + 1), cells[i][j]);
    }

    // Fails with exactly this message and changes nothing.
    void ExpectRejected(const std::string& bytes, char delimiter, const std::string& message) {
        LoadPrevious();
        const std::string path = m_dir.file("hostile.txt", bytes);
        auto r = ImportLikeTheWindow(path, delimiter);
        ASSERT_FALSE(r.ok()) << "imported " << r->cases() << " x " << r->variables();
        EXPECT_EQ(ImportErrorText(r.error(), path), message);
        ExpectPreviousKept();
    }

    DataSet ExpectImported(const std::string& bytes, char delimiter, std::int32_t cases,
                           std::int32_t variables) {
        const std::string path = m_dir.file("hostile.txt", bytes);
        auto r = ImportLikeTheWindow(path, delimiter);
        EXPECT_TRUE(r.ok()) << ImportErrorText(r.error(), path);
        if (!r) return {};
        EXPECT_EQ(r->cases(), cases);
        EXPECT_EQ(r->variables(), variables);
        EXPECT_EQ(g::Current()->cases(), cases);
        EXPECT_EQ(g::Current()->variables(), variables);
        return std::move(r).value();
    }

    std::string Invalid(int row, int column) {
        return "Row " + std::to_string(row) + " of Column " + std::to_string(column) +
               " has an invalid entry for analysis.";
    }
    std::string TooLarge(int row, int column) {
        return "Row " + std::to_string(row) + " of Column " + std::to_string(column) +
               " holds a number too large for analysis.";
    }

    TempDir m_dir;
};

std::string Fields(int count, char delimiter) {
    std::string line;
    for (int i = 1; i <= count; ++i)
        line += (i > 1 ? std::string(1, delimiter) : "") + std::to_string(i);
    return line;
}

}  // namespace

TEST_F(HostileFiles, BytesThatAreNoNumbers) {
    using namespace std::string_literals;
    const struct {
        const char* name;
        std::string bytes;
        char delimiter;
        int row, column;
    } cases[] = {
        {"NUL inside a line", "1 2\r\n3 \0 4\r\n"s, ' ', 2, 2},
        {"NUL after a number", "1\0"s, ' ', 1, 1},
        {"only NULs", std::string(4096, '\0'), ',', 1, 1},
        {"control characters", "\x01\x02\x7f", ' ', 1, 1},
        {"invalid UTF-8", "1 \xC3\x28 3", ' ', 1, 2},
        {"overlong UTF-8", "1,\xC0\xAF", ',', 1, 2},
        {"stray high bytes", "\xFF\xFE\xFD", '\t', 1, 1},
        {"a byte-order mark in the middle", "1 \xEF\xBB\xBF", ' ', 1, 2},
        {"&H alone", "&H", ' ', 1, 1},
        {"&O alone", "1 &O", ' ', 1, 2},
        {"&H with no hexadecimal digit", "&HG", ' ', 1, 1},
        {"inf", "inf", ' ', 1, 1},
        {"infinity after numbers", "1,2,Infinity", ',', 1, 3},
        {"-nan", "-nan", ' ', 1, 1},
        {"-nan in a later line", "1\r\n2\r\n-nan", ' ', 3, 1},
        {"C hexadecimal", "0x10", ' ', 1, 1},
        {"C hexadecimal float", "0x1p3", ' ', 1, 1},
        {"Fortran exponent", "1d5", ' ', 1, 1},
        {"decimal comma", "1,5", ' ', 1, 1},
        {"exponent without digits", "1e", ' ', 1, 1},
        {"two points", "1.2.3", ' ', 1, 1},
        {"a 50 MB line of letters without a line end", std::string(50'000'000, 'x'), ' ', 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRejected(c.bytes, c.delimiter, Invalid(c.row, c.column));
    }
}

TEST_F(HostileFiles, NumbersBeyondSinglePrecision) {
    const struct {
        const char* name;
        std::string bytes;
        int row, column;
    } cases[] = {
        {"1e39", "1e39", 1, 1},
        {"-1e39 after good cells", "1 2\r\n3 -1e39", 2, 2},
        {"10,000 digits", "1" + std::string(9'999, '0'), 1, 1},
        {"10,000 nines, negative", "-" + std::string(10'000, '9'), 1, 1},
        {"beyond double precision", "1E+400", 1, 1},
        {"an exponent of 10,000 digits", "1e" + std::string(10'000, '9'), 1, 1},
        {"&H beyond double precision", "&H" + std::string(300, 'F'), 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectRejected(c.bytes, ' ', TooLarge(c.row, c.column));
    }
}

TEST_F(HostileFiles, ExtremeNumbersThatFit) {
    const struct {
        const char* name;
        std::string text;
        float value;
    } cases[] = {
        {"0. + 10,000 zeros + 1 underflows to a present 0", "0." + std::string(10'000, '0') + "1",
         0.0f},
        {"1e-50 underflows to 0", "1e-50", 0.0f},
        {"an exponent of 10,000 digits underflows", "1e-" + std::string(10'000, '9'), 0.0f},
        {"10,000 digits with leading zeros", std::string(9'999, '0') + "7", 7.0f},
        {"10,000 decimals", "0." + std::string(10'000, '3'), 0.33333334f},
        {"&HFFFFFFFFFFFFFFFFFFFF", "&HFFFFFFFFFFFFFFFFFFFF", std::ldexp(1.0f, 80)},
        {"&O with many digits", "&O" + std::string(20, '7'), std::ldexp(1.0f, 60)},
        {"largest single", "3.4028234e38", 3.4028234e38f},
        {"9999999 is the missing code", "9999999", M},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DataSet d = ExpectImported(c.text + "\r\n2", ' ', 2, 1);
        EXPECT_EQ(d.matrix().at(1, 1), c.value);
        EXPECT_FALSE(std::signbit(d.matrix().at(1, 1)));
        EXPECT_EQ(d.matrix().at(2, 1), 2.0f);
    }
}

TEST_F(HostileFiles, FieldCountsAtTheLimit) {
    const auto tooWide = [](int row) {
        return "Row " + std::to_string(row) +
               " has more than 100000 fields; a data set holds at most 100000 variables.";
    };
    for (char delimiter : {' ', ',', '\t'}) {
        SCOPED_TRACE(int(delimiter));
        const DataSet d = ExpectImported(Fields(100000, delimiter), delimiter, 1, 100000);
        EXPECT_EQ(d.matrix().at(1, 1), 1.0f);
        EXPECT_EQ(d.matrix().at(1, 100000), 100000.0f);

        ExpectRejected(Fields(100001, delimiter), delimiter, tooWide(1));
        ExpectRejected("1\r\n" + Fields(100000, delimiter) + "\r\n" + Fields(100001, delimiter),
                       delimiter, tooWide(3));
    }
    // Fifty million empty fields on one line, without a line end.
    ExpectRejected(std::string(50'000'000, ' '), ' ', tooWide(1));
}

TEST_F(HostileFiles, HugeButWellFormed) {
    {
        SCOPED_TRACE("a 50 MB number without a line end");
        const DataSet d = ExpectImported(std::string(50'000'000, '0') + "7", ' ', 1, 1);
        EXPECT_EQ(d.matrix().at(1, 1), 7.0f);
    }
    {
        SCOPED_TRACE("a million blank lines");
        const DataSet d = ExpectImported(std::string(1'000'000, '\n'), ' ', 1'000'000, 0);
        EXPECT_EQ(d.matrix().rows(), 1'000'000);
        EXPECT_EQ(d.matrix().at(1'000'000, 1), 0.0f);
    }
    {
        SCOPED_TRACE("a million blank CR LF lines and one number at the end");
        std::string bytes;
        for (int i = 0; i < 1'000'000; ++i) bytes += "\r\n";
        const DataSet d = ExpectImported(bytes + "5", ' ', 1'000'001, 1);
        EXPECT_EQ(d.matrix().at(1'000'001, 1), 5.0f);
        EXPECT_EQ(d.matrix().at(1, 1), kMissing);
    }
}

TEST_F(HostileFiles, LineEnds) {
    {
        SCOPED_TRACE("only CRs");
        ExpectImported(std::string(1000, '\r'), ' ', 1000, 0);
    }
    {
        SCOPED_TRACE("mixed CR, LF and CR LF");
        const DataSet d = ExpectImported("1 2\r\n3\n4 5 6\r7\r\n\n8\n\r9", ' ', 8, 3);
        constexpr float M = kMissing;
        const std::vector<std::vector<float>> rows = {{1, 2, M}, {3, M, M}, {4, 5, 6}, {7, M, M},
                                                      {M, M, M}, {8, M, M}, {M, M, M}, {9, M, M}};
        for (std::size_t i = 0; i < rows.size(); ++i)
            for (std::size_t j = 0; j < 3; ++j)
                EXPECT_EQ(d.matrix().at(int(i) + 1, int(j) + 1), rows[i][j])
                    << i + 1 << "," << j + 1;
    }
    {
        SCOPED_TRACE("CR LF CR is two line ends");
        ExpectImported("1\r\n\r2", ' ', 3, 1);
    }
}

TEST_F(HostileFiles, NotAFile) {
    const std::string missing = m_dir.path() + "/never-written.txt";
    auto r = ImportLikeTheWindow(missing, ' ');
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(ImportErrorText(r.error(), missing),
              "The file could not be read: " + missing + " (No such file or directory).");
    ExpectPreviousKept();

    std::filesystem::create_directory(m_dir.path() + "/folder.txt");
    const std::string folder = m_dir.path() + "/folder.txt";
    auto d = ImportLikeTheWindow(folder, ' ');
    ASSERT_FALSE(d.ok());
    EXPECT_EQ(ImportErrorText(d.error(), folder),
              "The file could not be read: " + folder + " (Is a directory).");
    ExpectPreviousKept();
}

TEST_F(HostileFiles, PipeOrDeviceGivenAsTheFile) {
    // Either would block the import or never end: refused before it is read.
    const std::string fifo = m_dir.path() + "/pipe.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto p = ImportLikeTheWindow(fifo, ' ');
    ASSERT_FALSE(p.ok());
    EXPECT_EQ(ImportErrorText(p.error(), fifo),
              "The file could not be read: " + fifo + " (not a regular file).");
    ExpectPreviousKept();

    auto z = ImportLikeTheWindow("/dev/zero", ' ');
    ASSERT_FALSE(z.ok());
    EXPECT_EQ(z.error().reason, "not a regular file");
    ExpectPreviousKept();

    auto out = ReadOutputFile(fifo);
    ASSERT_FALSE(out.ok());
    EXPECT_EQ(out.error().reason, "not a regular file");
    EXPECT_FALSE(ReadOutputFile("/dev/zero").ok());
}

TEST_F(HostileFiles, FileChangedBetweenThePasses) {
    const std::string path = m_dir.file("moving.txt", "1 2\r\n3 4\r\n");
    const std::string unreadable = "The file could not be read: " + path;
    const std::string changed =
        "The file changed while it was being read: " + path + ". Nothing was imported.";
    const struct {
        const char* name;
        std::function<void(const std::string&)> change;
        std::string message;
    } cases[] = {
        {"vanishes", [](const std::string& p) { std::remove(p.c_str()); },
         unreadable + " (No such file or directory)."},
        {"becomes a directory",
         [](const std::string& p) {
             std::remove(p.c_str());
             std::filesystem::create_directory(p);
         },
         unreadable + " (Is a directory)."},
        {"loses a line", [](const std::string& p) { std::ofstream(p, std::ios::binary) << "1 2"; },
         changed},
        {"gains a line",
         [](const std::string& p) { std::ofstream(p, std::ios::binary) << "1 2\r\n3 4\r\n5 6"; },
         changed},
        {"gains a field",
         [](const std::string& p) { std::ofstream(p, std::ios::binary) << "1 2\r\n3 4 5"; },
         changed},
        {"loses the widest line's last field",
         [](const std::string& p) { std::ofstream(p, std::ios::binary) << "1\r\n3"; }, changed},
        {"is emptied", [](const std::string& p) { std::ofstream(p, std::ios::binary); }, changed},
        {"gets an invalid entry",
         [](const std::string& p) { std::ofstream(p, std::ios::binary) << "1 2\r\n3 x"; },
         Invalid(2, 2)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(path);
        m_dir.file("moving.txt", "1 2\r\n3 4\r\n");
        auto r = ImportLikeTheWindow(path, ' ', c.change);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(ImportErrorText(r.error(), path), c.message);
        ExpectPreviousKept();
    }

    // Rewritten with other numbers in the same shape: the second pass is what is loaded.
    std::filesystem::remove_all(path);
    m_dir.file("moving.txt", "1 2\r\n3 4\r\n");
    auto r = ImportLikeTheWindow(
        path, ' ', [](const std::string& p) { std::ofstream(p, std::ios::binary) << "5 6\n7 8"; });
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(g::Current()->matrix().at(1, 1), 5.0f);
    EXPECT_EQ(g::Current()->matrix().at(2, 2), 8.0f);
}

// Random bytes with every delimiter: a correct import whose counts fit the matrix, or a
// message, and never a change to the loaded data set on failure.
TEST_F(HostileFiles, BinaryJunk) {
    std::mt19937_64 random(20261208);
    int tried = 0, imported = 0;
    for (int round = 0; round < 300; ++round) {
        for (char delimiter : {' ', ',', '\t'}) {
            SCOPED_TRACE("round " + std::to_string(round) + " delimiter " +
                         std::to_string(int(delimiter)));
            // Every byte value; the characters of numbers and of every delimiter; or only
            // digits, line ends and this delimiter, which import.
            const std::string alphabet = round % 3 == 0 ? std::string()
                                         : round % 3 == 1
                                             ? "0123456789 ,\t\r\n.-+eE&HhOo"
                                             : "0123456789.\r\n" + std::string(4, delimiter);
            std::string bytes(1 + random() % 4000, '\0');
            for (char& b : bytes) {
                b = alphabet.empty() ? static_cast<char>(random())
                                     : alphabet[random() % alphabet.size()];
            }
            ++tried;
            LoadPrevious();
            const std::string path = m_dir.file("junk.txt", bytes);
            auto r = ImportLikeTheWindow(path, delimiter);
            if (r) {
                ++imported;
                EXPECT_GE(r->cases(), 1);
                EXPECT_LE(r->variables(), 1000);
                EXPECT_EQ(r->matrix().rows(), r->cases());
                EXPECT_EQ(r->matrix().storedColumns(), r->variables());
                for (std::int32_t i = 1; i <= r->cases(); ++i)
                    for (std::int32_t j = 1; j <= r->variables(); ++j)
                        ASSERT_TRUE(std::isfinite(r->matrix().at(i, j)));
            } else {
                EXPECT_FALSE(ImportErrorText(r.error(), path).empty());
                ExpectPreviousKept();
            }
        }
    }
    EXPECT_EQ(tried, 900);
    EXPECT_GT(imported, 0);  // the narrow alphabets do produce importable files
}

namespace {

std::string Gzipped(const std::string& bytes) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, 9, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&z, bytes.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::string Utf16Le(const std::u16string& text) {
    std::string out = "\xFF\xFE";
    for (const char16_t u : text) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    }
    return out;
}

// The packed files' scratch files go to a folder of the test's own, to be found empty after.
class HostilePackedFiles : public HostileFiles {
  protected:
    void SetUp() override {
        HostileFiles::SetUp();
        const char* before = std::getenv("TMPDIR");
        m_tmpdir = before ? before : "";
        m_hadTmpdir = before != nullptr;
        ::setenv("TMPDIR", m_scratch.path().c_str(), 1);
    }
    void TearDown() override {
        if (m_hadTmpdir)
            ::setenv("TMPDIR", m_tmpdir.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }

    void ExpectNoScratchLeft() const { EXPECT_TRUE(std::filesystem::is_empty(m_scratch.path())); }

    // Detected, then refused for exactly this reason, the data set and no scratch file left.
    void ExpectRefused(const std::string& name, const std::string& bytes, const std::string& reason,
                       const SheetChoice& sheet = {}) {
        SCOPED_TRACE(name);
        LoadPrevious();
        const std::string path = m_dir.file(name, bytes);
        auto r = ImportDataFile(path, kDetectFormat, {}, sheet);
        ASSERT_FALSE(r.ok()) << r->readAs();
        EXPECT_EQ(ImportErrorText(r.error(), path),
                  "The file could not be read: " + path + " (" + reason + ").");
        ExpectPreviousKept();
        ExpectNoScratchLeft();
    }

    TempDir m_scratch;
    std::string m_tmpdir;
    bool m_hadTmpdir = false;
};

}  // namespace

// A gzip bomb ends in the limit's message, a stream cut short in its own, and a packed file
// inside a packed one is refused; no scratch file is left behind.
TEST_F(HostilePackedFiles, CompressedStreams) {
    const std::string bomb = Gzipped(std::string(40 << 20, '0'));
    ASSERT_LT(bomb.size() * 250, std::size_t{16} << 20);  // so the floor of 16 MB holds it
    ExpectRefused("bomb.csv.gz", bomb,
                  "it unpacks to far more than its packed size, as no data file does (a "
                  "compression bomb?)");
    std::string table = "a,b\n";
    for (int i = 0; i < 5000; ++i) table += std::to_string(i) + "," + std::to_string(i * 7) + "\n";
    const std::string whole = Gzipped(table);
    ExpectRefused("cut.csv.gz", whole.substr(0, whole.size() / 2),
                  "the gzip stream is damaged or cut short");
    ExpectRefused("twice.csv.gz.gz", Gzipped(whole),
                  "it holds another compressed file; unpack the outer one and import what it "
                  "holds");
    const std::string path = m_dir.file("whole.csv.gz", whole);
    auto r = ImportDataFile(path, kDetectFormat);
    ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), path);
    EXPECT_EQ(r->cases(), 5000);
    ExpectNoScratchLeft();
}

// UTF-16 that cannot be decoded whole is refused where it breaks, never read with a character
// replaced; a surrogate pair across the decoder's pieces is read whole.
TEST_F(HostilePackedFiles, BrokenUtf16) {
    using namespace std::string_literals;
    ExpectRefused("odd.txt",
                  "\xFF\xFE"
                  "1\0,\0"
                  "2\0\n\0"
                  "3"s,
                  "it is UTF-16 text with an odd number of bytes: cut short, or not UTF-16");
    ExpectRefused("unpaired.txt",
                  Utf16Le(u"a\n\xD83D"
                          u"1\n"),
                  "its UTF-16 text holds a surrogate without its pair at byte 6");
    ExpectRefused("lowfirst.txt", Utf16Le(u"a\n\xDC00"),
                  "its UTF-16 text holds a surrogate without its pair at byte 6");
    ExpectRefused("nul.txt", Utf16Le(u"1,"s + u'\0' + u"\n"),
                  "its UTF-16 text holds a NUL character at byte 6");
    ExpectRefused("escape.csv", Utf16Le(u"a,b\n1,\x1b[2J\n"),
                  "its UTF-16 text holds the control character U+001B at byte 14");

    std::u16string text = u"site\n";
    while (text.size() < 32766) text += u"ab\n";
    text.resize(32766 - 1);
    text += u"\n\U0001F332\n";  // its high surrogate ends the first 64 KiB, the BOM counted
    const std::string path = m_dir.file("across.txt", Utf16Le(text));
    auto r = ImportDataFile(path, kDetectFormat);
    ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), path);
    EXPECT_EQ(r->readAs(), "space-delimited text, UTF-16LE");
    ASSERT_TRUE(r->isText(1));
    EXPECT_EQ(r->facts(1).labels.back().text, "🌲");
    ExpectNoScratchLeft();
}

// A zip of many files lists them from its directory and reads only the one chosen.
TEST_F(HostilePackedFiles, ZipOfManyFiles) {
    const std::string path = m_dir.path() + "/many.zip";
    {
        int error = 0;
        zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        ASSERT_NE(z, nullptr);
        static const std::string content = "x\n1\n2\n";
        for (int i = 1; i <= 300; ++i) {
            zip_source_t* s = zip_source_buffer(z, content.data(), content.size(), 0);
            ASSERT_GE(zip_file_add(z, ("f" + std::to_string(i) + ".csv").c_str(), s, 0), 0);
        }
        ASSERT_EQ(zip_close(z), 0);
    }
    auto listed = DetectDataFile(path).sheets(path);
    ASSERT_TRUE(listed.ok());
    EXPECT_EQ(listed.value().size(), 300u);
    ExpectRefused("many.zip", FileBytes(path),
                  "the zip archive holds 300 files (f1.csv, f2.csv, f3.csv, f4.csv, f5.csv, ...); "
                  "say which to read by its name or number, as a workbook's sheet");
    auto r = ImportDataFile(path, kDetectFormat, {}, {"", 300});
    ASSERT_TRUE(r.ok()) << ImportErrorText(r.error(), path);
    EXPECT_EQ(r->readAs(), "zip-compressed comma-delimited text, file \"f300.csv\" (300 of 300)");
    EXPECT_EQ(r->cases(), 2);
    ExpectNoScratchLeft();
}

namespace {

// R's serialization: four bytes big-endian per integer, after "X\n" and the version header.
std::string RInts(std::initializer_list<std::int64_t> values) {
    std::string out;
    for (std::int64_t v : values) {
        const auto u = static_cast<std::uint32_t>(v);
        for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((u >> shift) & 0xFF);
    }
    return out;
}

}  // namespace

// An .rds claiming a billion numbers, or nested far deeper than any data frame, fails with its
// message before memory or the stack give out.
TEST_F(HostileFiles, RDataFilesThatClaimMoreThanTheyHold) {
    const std::string header = "X\n" + RInts({2, 0x040300, 0x020300});
    const auto rejected = [&](const std::string& bytes, const std::string& reason) {
        LoadPrevious();
        const std::string path = m_dir.file("hostile.rds", bytes);
        auto r = ImportLikeTheWindow(path, kDetectFormat);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(ImportErrorText(r.error(), path),
                  "The file could not be read: " + path + " (" + reason + ").");
        ExpectPreviousKept();
    };
    rejected(header + RInts({14, 1000000000}) + std::string(16, '\x40'),
             "the file ends before its data does");
    std::string nested = header;
    for (int i = 0; i < 100000; ++i) nested += RInts({19, 1});
    rejected(nested, "its objects are nested deeper than 500 levels, as no data frame is");
    // 1:2000000000 is written as its ends: made whole it would fill 16 GB.
    rejected(
        header + RInts({238, 2, 1, 9, 14}) + "compact_intseq" + RInts({254, 14, 3}) +
            std::string("\x41\xdd\xcd\x65\0\0\0\0\x3f\xf0\0\0\0\0\0\0\x3f\xf0\0\0\0\0\0\0", 24) +
            RInts({254}),
        "it holds sequences of more values than Corvane reads (33554432)");
}
