#include "data/formats/sheets/HelperProgram.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <thread>

#include "data/formats/sheets/ChildSender.h"

extern char** environ;

namespace corvane {

namespace {

using Clock = ChildReceiver::Clock;

// The helper's end, awaited so no zombie stays. One no longer needed (`stop`) is killed at
// once; one that closed its output but goes on past the deadline is killed then, and `late`
// says so.
int Reap(pid_t pid, bool stop, Clock::time_point deadline, bool& late) {
    int status = 0;
    for (auto pause = std::chrono::microseconds(100);;) {
        if (stop) ::kill(pid, SIGKILL);
        const pid_t got = ::waitpid(pid, &status, stop ? 0 : WNOHANG);
        if (got == pid || (got < 0 && errno != EINTR)) return status;
        if (got != 0) continue;  // interrupted
        if (Clock::now() >= deadline) {
            late = stop = true;
            continue;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(20000));
    }
}

// Closes its file descriptor on every way out.
class Fd {
  public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    void reset() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }

  private:
    int m_fd;
};

struct FileActions {
    posix_spawn_file_actions_t actions;
    FileActions() { posix_spawn_file_actions_init(&actions); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions); }
};

struct SpawnAttributes {
    posix_spawnattr_t attributes;
    SpawnAttributes() { posix_spawnattr_init(&attributes); }
    ~SpawnAttributes() { posix_spawnattr_destroy(&attributes); }
};

// Starts the helper with `out` as its standard output, nothing on its standard input and its
// standard error, the signal mask and dispositions of a fresh process; its pid or an errno.
pid_t Spawn(const HelperCall& call, int out, int& err) {
    FileActions files;
    posix_spawn_file_actions_adddup2(&files.actions, out, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&files.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files.actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    SpawnAttributes attributes;
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes.attributes, &none);
    posix_spawnattr_setsigdefault(&attributes.attributes, &all);
    posix_spawnattr_setflags(&attributes.attributes,
                             POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    std::vector<char*> argv{const_cast<char*>(call.program.c_str())};
    for (const std::string& a : call.args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    err = ::posix_spawn(&pid, call.program.c_str(), &files.actions, &attributes.attributes,
                        argv.data(), environ);
    return err == 0 ? pid : -1;
}

// The records up to the helper's last: its error, or the first error `take` returns.
std::optional<ImportError> Receive(
    ChildReceiver& receive, const HelperCall& call,
    const std::function<std::optional<ImportError>(char, ChildReceiver&)>& take, bool& ended) {
    char t = 0;
    while (receive.tag(t)) {
        if (t == ChildSender::kEnd) {
            ended = true;
            return std::nullopt;
        }
        if (t == ChildSender::kError) {
            ImportError e = call.stopped;
            return receive.error(e) ? e : call.stopped;
        }
        if (auto e = take(t, receive)) return e;
    }
    return std::nullopt;
}

}  // namespace

std::optional<ImportError> RunHelper(
    const HelperCall& call,
    const std::function<std::optional<ImportError>(char, ChildReceiver&)>& take) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return ImportError::Unreadable(errno);
    Fd in(fds[0]), out(fds[1]);
    int err = 0;
    const pid_t pid = Spawn(call, out.get(), err);
    if (pid < 0) {
        ImportError e = call.notStarted;
        e.reason += std::strerror(err);
        return e;
    }
    out.reset();
    const Clock::time_point deadline = Clock::now() + call.wait;
    ChildReceiver receive(in.get(), deadline);
    std::optional<ImportError> result;
    bool ended = false;
    try {
        result = Receive(receive, call, take, ended);
    } catch (...) {
        bool late = false;
        Reap(pid, true, deadline, late);
        throw;
    }
    in.reset();
    // What it sends after an error no longer matters; one that went quiet past the time is killed.
    bool late = false;
    const int status = Reap(pid, result.has_value() || receive.timedOut(), deadline, late);
    if (receive.timedOut() || late || (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU))
        return call.timedOut;
    if (result) return result;
    if (!ended || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return call.stopped;
    return std::nullopt;
}

}  // namespace corvane
