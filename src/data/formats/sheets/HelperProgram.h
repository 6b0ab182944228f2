#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/ImportError.h"
#include "data/formats/sheets/ChildReceiver.h"

namespace corvane {

// A reader that may crash, run wild or lay out what a damaged file claims runs as a helper
// program of its own, started with posix_spawn (never a fork of this program, whose threads and
// exit handlers would be copied too). It sends its records through its standard output.
struct HelperCall {
    std::string program;             // the helper's full path
    std::vector<std::string> args;   // after the program's name
    std::chrono::milliseconds wait;  // how long it may take, start to end, before it is killed
    ImportError stopped;             // the result when it crashes or ends without kEnd
    ImportError timedOut;            // the result when it is killed for taking too long
    ImportError notStarted;          // the result when it cannot be started (reason appended)
};

// Runs the helper and hands each record but the last to `take` with its tag; `take` returns an
// error to stop at, or nothing to go on. The error the helper sends is the result. A helper
// still running when the time is up, or killed by its processor-time limit (SIGXCPU), gives
// `timedOut`; one that ends otherwise than with ChildSender::kEnd, by a signal or early, gives
// `stopped`. The helper is awaited on every way out, so no process is left behind.
std::optional<ImportError> RunHelper(
    const HelperCall& call,
    const std::function<std::optional<ImportError>(char, ChildReceiver&)>& take);

}  // namespace corvane
