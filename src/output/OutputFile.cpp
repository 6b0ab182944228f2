#include "output/OutputFile.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace corvane {

namespace {

FileError ErrnoError(int code) { return FileError{std::strerror(code)}; }

// Writes all of [data, data + size), riding out short writes and interruptions.
bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A save through a symbolic link replaces the file the link points to, not the link.
std::string ResolveLink(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path;  // a dangling link is replaced like any name
    std::string result(resolved);
    std::free(resolved);
    return result;
}

// The permissions a newly created file gets.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The replacement keeps the old file's owner and group where the user may set them: the
// superuser both, the owner a group he belongs to. Anything else keeps the user's own.
void TakeOwnerAndGroup(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int groupOnly = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
}

// Truncates the file and writes the text into it: the same inode, so its links, owner,
// group, mode and extended attributes stay. A failure part-way leaves what was written.
Result<bool, FileError> SaveInPlace(const std::string& target, const std::string& text,
                                    const std::string& ending) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return ErrnoError(errno);
    auto fail = [fd](int code) -> Result<bool, FileError> {
        ::close(fd);
        return FileError{std::strerror(code), true};
    };
    if (!WriteAll(fd, text.data(), text.size())) return fail(errno);
    if (!WriteAll(fd, ending.data(), ending.size())) return fail(errno);
    if (::fsync(fd) != 0) return fail(errno);
    if (::close(fd) != 0) return FileError{std::strerror(errno), true};
    return true;
}

void SyncDirectory(const std::string& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // best effort: the rename itself has already succeeded
    ::close(fd);
}

Result<std::string, FileError> ReadWholeFile(const std::string& path) {
    // Opened without blocking, so a pipe cannot hold the program at open(); only regular files
    // are read, since a pipe or a device could block or never end.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return ErrnoError(errno);
    std::string bytes;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool directory = S_ISDIR(st.st_mode);
        ::close(fd);
        if (directory) return ErrnoError(EISDIR);
        return FileError{"not a regular file"};
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t n = ::read(fd, buffer.data(), buffer.size());
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int code = errno;
            ::close(fd);
            return ErrnoError(code);
        }
        bytes.append(buffer.data(), static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}

// The home folder of `user`, empty when the system does not know the user.
std::string HomeOf(const std::string& user) {
    std::vector<char> buffer(16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwnam_r(user.c_str(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr)
        return {};
    return found->pw_dir;
}

bool EndsWith(const std::string& text, const char* ending) {
    const std::size_t n = std::strlen(ending);
    return text.size() >= n && text.compare(text.size() - n, n, ending) == 0;
}

}  // namespace

std::string TypedPath(const std::string& directory, const std::string& name,
                      const std::string& home) {
    if (!name.empty() && name.front() == '/') return name;
    if (!name.empty() && name.front() == '~') {
        const std::size_t slash = name.find('/');
        const std::string user = name.substr(1, slash == std::string::npos ? slash : slash - 1);
        const std::string base = user.empty() ? home : HomeOf(user);
        if (!base.empty())
            return slash == std::string::npos ? base : JoinPath(base, name.substr(slash));
    }
    return JoinPath(directory, name);
}

std::string SaveTargetPath(const std::string& directory, const std::string& name,
                           const std::string& home) {
    const std::string path = TypedPath(directory, name, home);
    return EndsWith(name, ".txt") ? path : path + ".txt";
}

Result<bool, FileError> SaveOutputFile(const std::string& path, const std::string& text) {
    return SaveFileSafely(path, text, EndsWith(text, "\r\n") ? "" : "\r\n");
}

Result<bool, FileError> SaveFileSafely(const std::string& path, const std::string& text,
                                       const std::string& ending) {
    if (path.empty()) return ErrnoError(ENOENT);
    const std::string target = ResolveLink(path);

    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists) {
        if (S_ISDIR(st.st_mode)) return ErrnoError(EISDIR);
        // A pipe or a device could block the save or swallow the text.
        if (!S_ISREG(st.st_mode)) return FileError{"not a regular file"};
        // Neither way of saving may replace a file the user may not write to.
        if (::access(target.c_str(), W_OK) != 0) return ErrnoError(errno);
        // A rename would give the other names of the file the old text.
        if (st.st_nlink > 1) return SaveInPlace(target, text, ending);
    }

    const std::string directory = DirectoryOf(target);
    std::string tempName = JoinPath(directory, "." + BaseNameOf(target) + ".XXXXXX");
    std::vector<char> templ(tempName.begin(), tempName.end());
    templ.push_back('\0');
    const int fd = ::mkostemp(templ.data(), O_CLOEXEC);
    if (fd < 0) {
        // A folder the user may not write to, or a name too long for the temporary one: the
        // file itself can still be written. A full disk is reported rather than risking the
        // old text.
        const int code = errno;
        if (code == ENOSPC || code == EDQUOT || code == ENOENT || code == ENOTDIR) {
            return ErrnoError(code);
        }
        return SaveInPlace(target, text, ending);
    }
    tempName = templ.data();

    auto fail = [&](int code) -> Result<bool, FileError> {
        ::close(fd);
        ::unlink(tempName.c_str());
        return ErrnoError(code);
    };

    if (exists) TakeOwnerAndGroup(fd, st);
    if (::fchmod(fd, exists ? (st.st_mode & 07777) : NewFileMode()) != 0) return fail(errno);
    if (!WriteAll(fd, text.data(), text.size())) return fail(errno);
    if (!WriteAll(fd, ending.data(), ending.size())) return fail(errno);
    if (::fsync(fd) != 0) return fail(errno);
    if (::close(fd) != 0) {
        const int code = errno;
        ::unlink(tempName.c_str());
        return ErrnoError(code);
    }
    if (::rename(tempName.c_str(), target.c_str()) != 0) {
        const int code = errno;
        ::unlink(tempName.c_str());
        return ErrnoError(code);
    }
    SyncDirectory(directory);
    return true;
}

Result<std::string, FileError> ReadOutputFile(const std::string& path) {
    auto read = ReadWholeFile(path);
    if (!read) return read.error();
    std::string bytes = std::move(read).value();

    // Some editors start UTF-8 files with a byte-order mark; it is not part of the text.
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    if (!IsValidUtf8(bytes)) bytes = Windows1252ToUtf8(bytes);

    std::string text;
    text.reserve(bytes.size() + bytes.size() / 16 + 2);
    std::size_t lineStart = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        text.append(bytes, lineStart, i - lineStart);
        text += "\r\n";
        i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
        lineStart = i;
    }
    // A last line without a line end is read like the others; nothing after a final line end
    // is not a line.
    if (lineStart < bytes.size()) {
        text.append(bytes, lineStart, std::string::npos);
        text += "\r\n";
    }
    return text;
}

}  // namespace corvane
