#include "data/formats/sheets/RunInChild.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace corvane {

namespace {

// The child is no longer needed: it is stopped, and its end is awaited so no zombie stays.
int Reap(pid_t pid, bool stop) {
    if (stop) ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

}  // namespace

std::optional<ImportError> RunInChild(
    const std::function<void(ChildSender&)>& child,
    const std::function<std::optional<ImportError>(char, ChildReceiver&)>& take,
    const ImportError& stopped) {
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
            ChildSender send(fds[1]);
            child(send);
            send.tag(ChildSender::kEnd);
        }
        // No exit handlers of the parent's program run in the child.
        ::_exit(0);
    }
    ::close(fds[1]);
    std::optional<ImportError> result;
    bool ended = false;
    try {
        auto receive = std::make_unique<ChildReceiver>(fds[0]);
        char t = 0;
        while (!result && receive->tag(t)) {
            if (t == ChildSender::kEnd) {
                ended = true;
                break;
            }
            if (t == ChildSender::kError) {
                ImportError e = stopped;
                result = receive->error(e) ? e : stopped;
                break;
            }
            result = take(t, *receive);
        }
    } catch (...) {
        ::close(fds[0]);
        Reap(pid, true);
        throw;
    }
    ::close(fds[0]);
    const int status = Reap(pid, result.has_value());  // what it sends now no longer matters
    if (result) return result;
    if (!ended || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return stopped;
    return std::nullopt;
}

}  // namespace corvane
