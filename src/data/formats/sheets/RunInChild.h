#pragma once

#include <functional>
#include <optional>

#include "data/ImportError.h"
#include "data/formats/sheets/ChildReceiver.h"
#include "data/formats/sheets/ChildSender.h"

namespace corvane {

// Runs `child` in a child process, which sends its records through a pipe, and hands each
// record but the last to `take` with its tag; `take` returns an error to stop at, or nothing to
// go on. A library that may crash or run wild on a damaged file runs so: a crash costs the
// import, never the program and the user's data, and what the library allocates goes with the
// child. The error the child sends is the result; a child that ends otherwise than with
// ChildSender::kEnd, by a signal or early, gives `stopped`.
std::optional<ImportError> RunInChild(
    const std::function<void(ChildSender&)>& child,
    const std::function<std::optional<ImportError>(char, ChildReceiver&)>& take,
    const ImportError& stopped);

}  // namespace corvane
