#include <pthread.h>
#include <unistd.h>

#include <csignal>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "cli/CliMain.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);

    // Ctrl-C is taken by one thread that waits for it, so no signal handler runs amid the work:
    // the first stops the command through the token (nothing printed, exit 130), a second ends
    // the process at once. Every thread started later inherits the blocked signal. The token
    // lives as long as the process, as the detached thread that sets it does.
    static corvane::CancelToken interrupt;
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    corvane::cli::CliEnvironment environment;
    environment.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
    if (pthread_sigmask(SIG_BLOCK, &signals, nullptr) == 0) {
        environment.cancel = &interrupt;
        std::thread([signals] {
            for (int caught = 0;;) {
                int signal = 0;
                if (sigwait(&signals, &signal) != 0) continue;
                if (++caught > 1) _exit(corvane::cli::kExitInterrupted);
                interrupt.cancel();
            }
        }).detach();
    }
    return corvane::cli::RunCli(args, std::cout, std::cerr, environment);
}
