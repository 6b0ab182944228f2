#pragma once

#include <QEventLoop>
#include <QMetaObject>
#include <QWidget>
#include <atomic>
#include <exception>
#include <optional>
#include <thread>
#include <utility>

#include "gui/platform/BusyPointer.h"

// Runs `work` on a thread of its own under the busy pointer, while the window's event loop goes
// on: the window repaints, moves and keeps its timers, and the result arrives on the window's
// thread, with whatever `work` threw thrown again there. The user's clicks and keys wait until
// the work ends, as they did while it ran on the window's thread, so no second command starts
// underneath it. The work must not touch widgets.
template <class F>
auto WhileBusy(QWidget* window, F&& work) -> decltype(work()) {
    using Out = decltype(work());
    const BusyPointer busy(window);
    std::optional<Out> out;
    std::exception_ptr failure;
    std::atomic<bool> done{false};
    QEventLoop loop;
    std::thread thread([&] {
        try {
            out.emplace(work());
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    // A quit posted before the loop runs ends it at once. The program may end the loop early
    // (it is quitting): the work is then awaited all the same.
    if (!done) loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread.join();
    if (failure) std::rethrow_exception(failure);
    return std::move(*out);
}
