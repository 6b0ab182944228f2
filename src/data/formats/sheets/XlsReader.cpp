#include "data/formats/sheets/XlsReader.h"

#include <fcntl.h>
#include <freexl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "data/formats/sheets/SheetChoiceIndex.h"
#include "data/formats/sheets/SheetTable.h"

namespace corvane {

namespace {

// FreeXL runs in a child process. A damaged workbook can make it free a pointer twice or read
// past its buffers, and that must cost the import, never the program and the user's data; it
// also lays out the whole grid a sheet claims when it opens the file, which then burdens the
// child alone. The child sends what it reads through a pipe, record by record; the parent
// places the cells, so the data set is built where it is used.
enum Tag : char {
    kNumber = 'N',  // row, column, value
    kText = 'T',    // row, column, text
    kDate = 'D',    // row, column, ISO text
    kSheet = 'S',   // name, rows, columns: one sheet of the list
    kRead = 'R',    // name, number, count: the sheet read
    kError = 'E',   // an ImportError
    kEnd = 'Z',     // everything was sent
};

// The child's end of the pipe, buffered. A parent that stopped listening ends the child.
class Sender {
  public:
    explicit Sender(int fd) : m_fd(fd) {}
    ~Sender() { flush(); }
    Sender(const Sender&) = delete;
    Sender& operator=(const Sender&) = delete;

    void tag(Tag t) { raw(&t, 1); }
    void integer(std::int64_t v) { raw(&v, sizeof v); }
    void real(double v) { raw(&v, sizeof v); }
    void text(std::string_view t) {
        integer(static_cast<std::int64_t>(t.size()));
        raw(t.data(), t.size());
    }
    void error(const ImportError& e) {
        tag(kError);
        integer(static_cast<std::int64_t>(e.kind));
        integer(e.row);
        integer(e.column);
        text(e.reason);
    }
    void flush() {
        std::size_t at = 0;
        while (at < m_buffer.size()) {
            const ssize_t n = ::write(m_fd, m_buffer.data() + at, m_buffer.size() - at);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) ::_exit(1);
            at += static_cast<std::size_t>(n);
        }
        m_buffer.clear();
    }

  private:
    void raw(const void* p, std::size_t n) {
        m_buffer.append(static_cast<const char*>(p), n);
        if (m_buffer.size() >= 64 * 1024) flush();
    }
    int m_fd;
    std::string m_buffer;
};

// The parent's end of the pipe, buffered; false once the child has stopped sending.
class Receiver {
  public:
    explicit Receiver(int fd) : m_fd(fd) {}

    bool tag(Tag& t) {
        char c = 0;
        if (!raw(&c, 1)) return false;
        t = static_cast<Tag>(c);
        return true;
    }
    bool integer(std::int64_t& v) { return raw(&v, sizeof v); }
    bool real(double& v) { return raw(&v, sizeof v); }
    bool text(std::string& t) {
        std::int64_t n = 0;
        // A sheet's text is short; a longer claim is a child gone wrong.
        if (!integer(n) || n < 0 || n > (std::int64_t{1} << 30)) return false;
        t.resize(static_cast<std::size_t>(n));
        return raw(t.data(), t.size());
    }
    bool error(ImportError& e) {
        std::int64_t kind = 0;
        if (!integer(kind) || kind < 0 ||
            kind > static_cast<std::int64_t>(ImportError::Kind::OutOfMemory))
            return false;
        e.kind = static_cast<ImportError::Kind>(kind);
        return integer(e.row) && integer(e.column) && text(e.reason);
    }

  private:
    bool raw(void* p, std::size_t n) {
        auto* out = static_cast<char*>(p);
        while (n > 0) {
            if (m_at == m_size) {
                const ssize_t got = ::read(m_fd, m_buffer, sizeof m_buffer);
                if (got < 0 && errno == EINTR) continue;
                if (got <= 0) return false;
                m_at = 0;
                m_size = static_cast<std::size_t>(got);
            }
            const std::size_t take = std::min(n, m_size - m_at);
            std::memcpy(out, m_buffer + m_at, take);
            m_at += take;
            out += take;
            n -= take;
        }
        return true;
    }
    int m_fd;
    char m_buffer[64 * 1024];
    std::size_t m_at = 0;
    std::size_t m_size = 0;
};

ImportError StoppedReader() {
    return ImportError::Unreadable(
        "the workbook is damaged: the reader of Excel 97-2003 files stopped on it");
}

// Runs `child(Sender&)` in a child process and hands each record to `take(Tag, Receiver&)`,
// which returns an error to stop at, or nothing to go on. The records end in kEnd; a child that
// ends otherwise, by a signal or early, has met a file it could not survive.
template <class Child, class Take>
std::optional<ImportError> InChild(Child&& child, Take&& take) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return ImportError::Unreadable(errno);
    const pid_t pid = ::fork();
    if (pid < 0) {
        const int err = errno;
        ::close(fds[0]);
        ::close(fds[1]);
        return err == ENOMEM || err == EAGAIN ? ImportError::Of(ImportError::Kind::OutOfMemory)
                                              : ImportError::Unreadable(err);
    }
    if (pid == 0) {
        ::close(fds[0]);
        ::signal(SIGPIPE, SIG_IGN);
        {
            Sender send(fds[1]);
            child(send);
            send.tag(kEnd);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::optional<ImportError> result;
    bool ended = false;
    {
        auto receiver = std::make_unique<Receiver>(fds[0]);
        Tag t{};
        while (!result && receiver->tag(t)) {
            if (t == kEnd) {
                ended = true;
                break;
            }
            if (t == kError) {
                ImportError e = ImportError::Of(ImportError::Kind::Unreadable);
                result = receiver->error(e) ? e : StoppedReader();
                break;
            }
            try {
                result = take(t, *receiver);
            } catch (...) {
                ::kill(pid, SIGKILL);
                ::close(fds[0]);
                ::waitpid(pid, nullptr, 0);
                throw;
            }
        }
    }
    if (result) ::kill(pid, SIGKILL);  // nothing it sends now matters
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (result) return result;
    if (!ended || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return StoppedReader();
    return std::nullopt;
}

ImportError Failure(int code) {
    switch (code) {
        case FREEXL_INSUFFICIENT_MEMORY:
            return ImportError::Of(ImportError::Kind::OutOfMemory);
        case FREEXL_FILE_NOT_FOUND:
            return ImportError::Unreadable("the file cannot be opened");
        case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
            return ImportError::Unreadable(
                "the compound file holds no Excel workbook (an encrypted one is stored so)");
        case FREEXL_CRAFTED_FILE:
            return ImportError::Unreadable("the workbook is severely damaged");
        default:
            return ImportError::Unreadable("the workbook is damaged or not an Excel workbook (" +
                                           std::to_string(code) + ")");
    }
}

// An open workbook, closed on every way out.
class Handle {
  public:
    explicit Handle(const std::string& path) {
        m_code = freexl_open(path.c_str(), &m_handle);
        // FreeXL opens a password-protected workbook without error but hands back no handle.
        unsigned int protection = 0;
        if (m_code == FREEXL_OK && (!m_handle || (freexl_get_info(m_handle, FREEXL_BIFF_PASSWORD,
                                                                  &protection) == FREEXL_OK &&
                                                  protection == FREEXL_BIFF_OBFUSCATED)))
            m_encrypted = true;
    }
    ~Handle() {
        if (m_handle) freexl_close(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    int code() const { return m_code; }
    bool encrypted() const { return m_encrypted; }
    const void* get() const { return m_handle; }

  private:
    const void* m_handle = nullptr;
    int m_code = FREEXL_OK;
    bool m_encrypted = false;
};

Result<std::vector<std::string>, ImportError> SheetNames(const void* xls) {
    unsigned int count = 0;
    if (int c = freexl_get_info(xls, FREEXL_BIFF_SHEET_COUNT, &count); c != FREEXL_OK)
        return Failure(c);
    std::vector<std::string> names;
    for (unsigned int i = 0; i < count && i < 65536; ++i) {
        const char* name = nullptr;
        if (int c = freexl_get_worksheet_name(xls, static_cast<unsigned short>(i), &name);
            c != FREEXL_OK)
            return Failure(c);
        names.emplace_back(name ? name : "");
    }
    return names;
}

// The active sheet's rows and columns, as its dimension record claims them. FreeXL takes the
// claim as it is, and every cell of the grid is asked for one by one, so a damaged record that
// claims more than an .xls sheet can hold is refused rather than walked for minutes.
Result<std::pair<unsigned int, unsigned short>, ImportError> Dimensions(const void* xls) {
    constexpr unsigned int kMaxRows = 65536, kMaxColumns = 256;
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (int c = freexl_worksheet_dimensions(xls, &rows, &columns); c != FREEXL_OK)
        return Failure(c);
    if (rows == 0 || columns == 0) return std::pair<unsigned int, unsigned short>{0, 0};
    if (rows > kMaxRows || columns > kMaxColumns)
        return ImportError::Unreadable("the workbook is damaged: a sheet claims " +
                                       std::to_string(rows) + " rows and " +
                                       std::to_string(columns) + " columns");
    return std::pair{rows, columns};
}

}  // namespace

Result<std::vector<SheetInfo>, ImportError> XlsReader::sheets() {
    std::vector<SheetInfo> out;
    const auto failed = InChild(
        [&](Sender& send) {
            Handle xls(m_path);
            if (xls.code() != FREEXL_OK) return send.error(Failure(xls.code()));
            if (xls.encrypted()) return send.error(ImportError::PasswordProtected());
            auto names = SheetNames(xls.get());
            if (!names) return send.error(names.error());
            for (std::size_t i = 0; i < names.value().size(); ++i) {
                if (int c =
                        freexl_select_active_worksheet(xls.get(), static_cast<unsigned short>(i));
                    c != FREEXL_OK)
                    return send.error(Failure(c));
                const auto size = Dimensions(xls.get());
                if (!size) return send.error(size.error());
                send.tag(kSheet);
                send.text(names.value()[i]);
                send.integer(size.value().first);
                send.integer(size.value().second);
            }
        },
        [&](Tag t, Receiver& receive) -> std::optional<ImportError> {
            SheetInfo sheet;
            if (t != kSheet || !receive.text(sheet.name) || !receive.integer(sheet.rows) ||
                !receive.integer(sheet.columns))
                return StoppedReader();
            out.push_back(std::move(sheet));
            return std::nullopt;
        });
    if (failed) return *failed;
    return out;
}

Result<WorkbookRead, ImportError> XlsReader::read(const SheetChoice& choice) {
    SheetTable table;
    std::string name;
    std::int64_t number = 0, count = 0;
    bool named = false;
    const auto failed = InChild(
        [&](Sender& send) {
            Handle xls(m_path);
            if (xls.code() != FREEXL_OK) return send.error(Failure(xls.code()));
            if (xls.encrypted()) return send.error(ImportError::PasswordProtected());
            auto names = SheetNames(xls.get());
            if (!names) return send.error(names.error());
            const auto index = SheetChoiceIndex(names.value(), choice);
            if (!index) return send.error(index.error());
            if (int c = freexl_select_active_worksheet(xls.get(),
                                                       static_cast<unsigned short>(index.value()));
                c != FREEXL_OK)
                return send.error(Failure(c));
            const auto size = Dimensions(xls.get());
            if (!size) return send.error(size.error());
            const auto [rows, columns] = size.value();
            for (unsigned int r = 0; r < rows; ++r) {
                for (unsigned short col = 0; col < columns; ++col) {
                    FreeXL_CellValue cell;
                    if (int c = freexl_get_cell_value(xls.get(), r, col, &cell); c != FREEXL_OK)
                        return send.error(Failure(c));
                    Tag t{};
                    switch (cell.type) {
                        case FREEXL_CELL_INT:
                        case FREEXL_CELL_DOUBLE:
                            t = kNumber;
                            break;
                        case FREEXL_CELL_TEXT:
                        case FREEXL_CELL_SST_TEXT:
                            t = kText;
                            break;
                        case FREEXL_CELL_DATE:
                        case FREEXL_CELL_DATETIME:
                        case FREEXL_CELL_TIME:
                            t = kDate;
                            break;
                        default:
                            continue;
                    }
                    send.tag(t);
                    send.integer(std::int64_t{r} + 1);
                    send.integer(std::int64_t{col} + 1);
                    if (t == kNumber)
                        send.real(cell.type == FREEXL_CELL_INT ? cell.value.int_value
                                                               : cell.value.double_value);
                    else
                        send.text(cell.value.text_value ? cell.value.text_value : "");
                }
            }
            send.tag(kRead);
            send.text(names.value()[index.value()]);
            send.integer(static_cast<std::int64_t>(index.value()) + 1);
            send.integer(std::ssize(names.value()));
        },
        [&](Tag t, Receiver& receive) -> std::optional<ImportError> {
            std::int64_t row = 0, column = 0;
            if (t == kRead) {
                named = receive.text(name) && receive.integer(number) && receive.integer(count);
                return named ? std::nullopt : std::optional(StoppedReader());
            }
            if (!receive.integer(row) || !receive.integer(column)) return StoppedReader();
            if (t == kNumber) {
                double value = 0;
                if (!receive.real(value)) return StoppedReader();
                return table.number(row, column, value);
            }
            std::string text;
            if ((t != kText && t != kDate) || !receive.text(text)) return StoppedReader();
            return t == kText ? table.text(row, column, text) : table.date(row, column, text);
        });
    if (failed) return *failed;
    if (!named) return StoppedReader();
    auto data = table.finish();
    if (!data) return data.error();
    return WorkbookRead{std::move(data.value()), std::move(name), number, count};
}

}  // namespace corvane
