#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "TempFiles.h"
#include "output/OutputFile.h"

using namespace corvane;

namespace {

std::size_t EntriesIn(const std::string& directory) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(directory)) ++n;
    return n;
}

ino_t InodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

// A save under a file size limit of 16 bytes: writes beyond fail with EFBIG, as on a full disk.
Result<bool, FileError> SaveCutOffAt16Bytes(const std::string& path, const std::string& text) {
    struct rlimit old {};
    if (::getrlimit(RLIMIT_FSIZE, &old) != 0) return FileError{"getrlimit failed"};
    struct rlimit small = old;
    small.rlim_cur = 16;
    auto previous = ::signal(SIGXFSZ, SIG_IGN);
    if (::setrlimit(RLIMIT_FSIZE, &small) != 0) {
        ::signal(SIGXFSZ, previous);
        return FileError{"setrlimit failed"};
    }
    auto result = SaveOutputFile(path, text);
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, previous);
    return result;
}

}  // namespace

TEST(OutputFileNaming, TxtIsAddedUnlessTheNameEndsInLowerCaseTxt) {
    struct Row {
        const char* name;
        const char* target;
    };
    const Row rows[] = {
        {"report", "/d/report.txt"},
        {"report.txt", "/d/report.txt"},
        {"report.TXT", "/d/report.TXT.txt"},
        {"data.dat", "/d/data.dat.txt"},
        {".txt", "/d/.txt"},
        {"txt", "/d/txt.txt"},
        {"a.txt.bak", "/d/a.txt.bak.txt"},
        {"  ", "/d/  .txt"},
    };
    for (const Row& r : rows) EXPECT_EQ(SaveTargetPath("/d", r.name), r.target) << r.name;
}

TEST(OutputFileNaming, JoinNeverDoublesTheSeparator) {
    EXPECT_EQ(JoinPath("/home/u", "a.txt"), "/home/u/a.txt");
    EXPECT_EQ(JoinPath("/home/u/", "a.txt"), "/home/u/a.txt");
    EXPECT_EQ(JoinPath("/", "a.txt"), "/a.txt");
    EXPECT_EQ(JoinPath("/home/u/", "/a.txt"), "/home/u/a.txt");
    EXPECT_EQ(SaveTargetPath("/", "r"), "/r.txt");
}

TEST(OutputFileSave, WritesTheTextThenOneCrLf) {
    TempDir dir;
    const std::string empty = dir.path() + "/empty.txt";
    ASSERT_TRUE(SaveOutputFile(empty, "").ok());
    EXPECT_EQ(FileBytes(empty), "\r\n");

    const std::string two = dir.path() + "/two.txt";
    ASSERT_TRUE(SaveOutputFile(two, "A\r\nB").ok());
    EXPECT_EQ(FileBytes(two), "A\r\nB\r\n");
    // Text that ends its last line already gets no empty line after it.
    ASSERT_TRUE(SaveOutputFile(two, "A\r\nB\r\n").ok());
    EXPECT_EQ(FileBytes(two), "A\r\nB\r\n");

    // UTF-8 goes out unchanged, with no byte-order mark in front.
    const std::string utf8 = dir.path() + "/utf8.txt";
    ASSERT_TRUE(SaveOutputFile(utf8, "\xC3\xA9t\xC3\xA9").ok());
    EXPECT_EQ(FileBytes(utf8), "\xC3\xA9t\xC3\xA9\r\n");
    EXPECT_EQ(EntriesIn(dir.path()), 3u);  // no temporary file left behind
}

TEST(OutputFileNaming, TypedPathsAreUsedAsTheyStand) {
    struct Row {
        const char* name;
        const char* target;
    };
    const Row rows[] = {
        {"/home/me/results/run1.txt", "/home/me/results/run1.txt"},
        {"/home/me/results/run1", "/home/me/results/run1.txt"},
        {"/home/me/run.TXT", "/home/me/run.TXT.txt"},
        {"~/results/run1", "/home/u/results/run1.txt"},
        {"~root/r.txt", "/root/r.txt"},
        {"sub/run1", "/d/sub/run1.txt"},
        {"a~b", "/d/a~b.txt"},
        {"~no-such-user-here/r", "/d/~no-such-user-here/r.txt"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(SaveTargetPath("/d", r.name, "/home/u"), r.target) << r.name;
    // Without a home folder "~" is a name like any other.
    EXPECT_EQ(SaveTargetPath("/d", "~/r"), "/d/~/r.txt");
    EXPECT_EQ(TypedPath("/d", "~", "/home/u"), "/home/u");
    EXPECT_EQ(TypedPath("/d", "/x/y", "/home/u"), "/x/y");
}

TEST(OutputFileSave, ReplacesAnExistingFileAndKeepsItsPermissions) {
    TempDir dir;
    const std::string path = dir.file("out.txt", "old text that is longer than the new");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(SaveOutputFile(path, "new").ok());
    EXPECT_EQ(FileBytes(path), "new\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(OutputFileSave, ThroughASymbolicLinkReplacesTheLinkedFile) {
    TempDir dir;
    const std::string real = dir.file("real.txt", "old");
    const std::string link = dir.path() + "/link.txt";
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    ASSERT_TRUE(SaveOutputFile(link, "new").ok());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(FileBytes(real), "new\r\n");
}

TEST(OutputFileSave, FailuresKeepTheOldFileAndSayWhy) {
    TempDir dir;
    // Missing directory.
    auto missing = SaveOutputFile(dir.path() + "/no/such/dir/out.txt", "x");
    ASSERT_FALSE(missing.ok());
    EXPECT_FALSE(missing.error().reason.empty());

    // A directory given as the file.
    const std::string sub = dir.path() + "/sub";
    std::filesystem::create_directory(sub);
    auto isDir = SaveOutputFile(sub, "x");
    ASSERT_FALSE(isDir.ok());
    EXPECT_EQ(isDir.error().reason, std::strerror(EISDIR));
    EXPECT_TRUE(std::filesystem::is_directory(sub));

    // A write that fails part-way (the file-size limit stands in for a full disk): the old
    // file is untouched and the temporary file is gone.
    const std::string path = dir.file("keep.txt", "precious");
    auto big = SaveCutOffAt16Bytes(path, std::string(1000, 'x'));
    ASSERT_FALSE(big.ok());
    EXPECT_EQ(big.error().reason, std::strerror(EFBIG));
    EXPECT_FALSE(big.error().oldFileLost);
    EXPECT_EQ(FileBytes(path), "precious");
    EXPECT_EQ(EntriesIn(dir.path()), 2u);  // keep.txt and sub
}

TEST(OutputFileSave, WithoutATemporaryFileTheFileIsWrittenInPlace) {
    // A name so long that the temporary name beside it cannot exist; this binds the superuser
    // too, whom folder permissions do not.
    TempDir dir;
    const std::string longName = std::string(NAME_MAX - 4, 'n') + ".txt";
    const std::string path = dir.file(longName, "old text, longer than the new");
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    const ino_t inode = InodeOf(path);
    ASSERT_TRUE(SaveOutputFile(path, "new").ok());
    EXPECT_EQ(FileBytes(path), "new\r\n");
    EXPECT_EQ(InodeOf(path), inode);
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
    // A new file of such a name is created in place as well.
    const std::string fresh = dir.path() + "/" + std::string(NAME_MAX - 4, 'f') + ".txt";
    ASSERT_TRUE(SaveOutputFile(fresh, "A").ok());
    EXPECT_EQ(FileBytes(fresh), "A\r\n");

    // A writable file in a folder the user may not write to.
    if (::geteuid() == 0) {
        GTEST_SKIP() << "folder permissions do not bind the superuser; the long name above "
                        "stood in for the read-only folder";
    }
    TempDir locked;
    const std::string kept = locked.file("keep.txt", "old");
    ASSERT_EQ(::chmod(locked.path().c_str(), 0555), 0);
    auto inPlace = SaveOutputFile(kept, "new");
    // A new file cannot be made there at all.
    auto refused = SaveOutputFile(locked.path() + "/other.txt", "x");
    ::chmod(locked.path().c_str(), 0755);
    ASSERT_TRUE(inPlace.ok()) << inPlace.error().reason;
    EXPECT_EQ(FileBytes(kept), "new\r\n");
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().reason, std::strerror(EACCES));
    EXPECT_EQ(EntriesIn(locked.path()), 1u);
}

TEST(OutputFileSave, AFileWithOtherLinksIsWrittenInPlaceSoEveryNameSeesTheText) {
    TempDir dir;
    const std::string path = dir.file("a.txt", "old");
    const std::string other = dir.path() + "/b.txt";
    ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
    ASSERT_TRUE(SaveOutputFile(path, "new").ok());
    EXPECT_EQ(FileBytes(other), "new\r\n");
    EXPECT_EQ(InodeOf(path), InodeOf(other));
    EXPECT_EQ(EntriesIn(dir.path()), 2u);

    // Cut off part-way, the failure says the old text is gone.
    auto cut = SaveCutOffAt16Bytes(path, std::string(1000, 'x'));
    ASSERT_FALSE(cut.ok());
    EXPECT_EQ(cut.error().reason, std::strerror(EFBIG));
    EXPECT_TRUE(cut.error().oldFileLost);
    EXPECT_EQ(FileBytes(other), std::string(16, 'x'));
}

TEST(OutputFileSave, TheReplacementKeepsOwnerAndGroupWherePermitted) {
    if (::geteuid() != 0) GTEST_SKIP() << "only the superuser may give a file to another user";
    TempDir dir;
    const std::string path = dir.file("owned.txt", "old");
    ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
    const ino_t inode = InodeOf(path);
    ASSERT_TRUE(SaveOutputFile(path, "new").ok());
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_NE(st.st_ino, inode);  // replaced through the temporary file
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
}

TEST(OutputFileSave, RefusesFilesItMayNotOrShouldNotWrite) {
    TempDir dir;
    const std::string fifo = dir.path() + "/pipe.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    auto pipe = SaveOutputFile(fifo, "x");  // would block on open for writing
    ASSERT_FALSE(pipe.ok());
    EXPECT_EQ(pipe.error().reason, "not a regular file");

    if (::geteuid() == 0) GTEST_SKIP() << "file permissions do not bind the superuser";
    const std::string path = dir.file("keep.txt", "precious");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    auto readOnlyFile = SaveOutputFile(path, "new");
    ASSERT_FALSE(readOnlyFile.ok());
    EXPECT_EQ(readOnlyFile.error().reason, std::strerror(EACCES));
    EXPECT_EQ(FileBytes(path), "precious");
}

TEST(OutputFileRead, EveryLineEndsInCrLf) {
    TempDir dir;
    struct Row {
        const char* bytes;
        const char* pane;
    };
    const Row rows[] = {
        {"", ""},
        {"A\r\nB", "A\r\nB\r\n"},
        {"A\r\nB\r\n", "A\r\nB\r\n"},
        {"A\rB\nC\r\nD", "A\r\nB\r\nC\r\nD\r\n"},  // mixed line ends
        {"\r\n", "\r\n"},
        {"\n\n", "\r\n\r\n"},
        {"A\r\r\nB", "A\r\n\r\nB\r\n"},  // lone CR, then CR LF
        {"A\n\rB", "A\r\n\r\nB\r\n"},    // LF then CR is two line ends
    };
    int i = 0;
    for (const Row& r : rows) {
        const std::string path = dir.file("f" + std::to_string(i++) + ".txt", r.bytes);
        auto text = ReadOutputFile(path);
        ASSERT_TRUE(text.ok()) << path;
        EXPECT_EQ(text.value(), r.pane) << "file bytes: " << r.bytes;
    }
}

TEST(OutputFileRead, TextThatIsNotUtf8IsReadAsWindows1252) {
    TempDir dir;
    // "café – 5 €" in Windows-1252.
    const std::string path = dir.file("old.txt", "caf\xE9 \x96 5 \x80\r\n");
    auto text = ReadOutputFile(path);
    ASSERT_TRUE(text.ok());
    EXPECT_EQ(text.value(), "caf\xC3\xA9 \xE2\x80\x93 5 \xE2\x82\xAC\r\n");

    // A leading byte-order mark is not part of the text.
    const std::string bom = dir.file("bom.txt", "\xEF\xBB\xBFhi");
    EXPECT_EQ(ReadOutputFile(bom).value(), "hi\r\n");
}

TEST(OutputFileRead, FailuresSayWhy) {
    TempDir dir;
    auto missing = ReadOutputFile(dir.path() + "/absent.txt");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().reason, std::strerror(ENOENT));
    auto isDir = ReadOutputFile(dir.path());
    ASSERT_FALSE(isDir.ok());
    EXPECT_EQ(isDir.error().reason, std::strerror(EISDIR));
}

TEST(OutputFileDecoding, Utf8Validation) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain ASCII"));
    EXPECT_TRUE(IsValidUtf8("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"));  // é € and an emoji
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));                      // U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE9"));                                 // a lone 1252 byte
    EXPECT_FALSE(IsValidUtf8("\xC3"));                                 // cut short
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));                             // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));                         // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));                         // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));                     // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\x80"));                                 // stray continuation
    EXPECT_FALSE(IsValidUtf8("\xE2\x82x"));                            // bad continuation
}

TEST(OutputFileDecoding, Windows1252Table) {
    EXPECT_EQ(Windows1252ToUtf8("abc"), "abc");
    EXPECT_EQ(Windows1252ToUtf8("\x80"), "\xE2\x82\xAC");  // €
    EXPECT_EQ(Windows1252ToUtf8("\x9F"), "\xC5\xB8");      // Ÿ
    EXPECT_EQ(Windows1252ToUtf8("\x81"), "\xC2\x81");      // unassigned: kept as C1
    EXPECT_EQ(Windows1252ToUtf8("\xA0\xFF"), "\xC2\xA0\xC3\xBF");
    // Every byte decodes to valid UTF-8.
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_TRUE(IsValidUtf8(Windows1252ToUtf8(all)));
}
