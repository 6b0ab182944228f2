#pragma once

#include <new>
#include <stdexcept>
#include <utility>

#include "data/ImportError.h"

namespace corvane {

// Runs `f`. When memory runs out inside it (std::bad_alloc, or std::length_error from a
// container asked for more than it can hold), `failed` is handed ImportError OutOfMemory and
// its result is returned instead: every reader turns running out of memory into the same error.
template <class F, class Failed>
auto CatchingOutOfMemory(F&& f, Failed&& failed) -> decltype(f()) {
    try {
        return std::forward<F>(f)();
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    return std::forward<Failed>(failed)(ImportError::Of(ImportError::Kind::OutOfMemory));
}

// The same for an `f` whose result (a Result or an optional error) takes the error itself.
template <class F>
auto CatchingOutOfMemory(F&& f) -> decltype(f()) {
    using Out = decltype(f());
    return CatchingOutOfMemory(std::forward<F>(f), [](ImportError e) -> Out { return e; });
}

}  // namespace corvane
