#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <limits>
#include <mutex>
#include <optional>
#include <stop_token>
#include <system_error>
#include <thread>
#include <vector>

namespace corvane {

// Set from any thread to stop a run: no piece starts after it, and the run reports that it was
// cancelled.
class CancelToken {
  public:
    void cancel() { m_cancelled.store(true, std::memory_order_relaxed); }
    bool cancelled() const { return m_cancelled.load(std::memory_order_relaxed); }

  private:
    std::atomic<bool> m_cancelled{false};
};

// The threads a run of `pieces` pieces uses when `requested` are asked for (0: one per core):
// never more than the pieces, always at least one.
unsigned WorkerThreads(unsigned requested, std::size_t pieces);

struct ParallelOutcome {
    // The earliest piece whose work failed. Every piece before it has run to its end, so the
    // failure is the same one a single thread going front to back meets first.
    std::optional<std::size_t> failedPiece;
    bool cancelled = false;
    std::size_t completed = 0;  // pieces that ran to their end without failing
};

// Called on the calling thread with the number of completed pieces: after each piece on one
// thread, and every 50 ms while pieces complete on several.
using PieceProgress = std::function<void(std::size_t)>;

namespace detail {

// Hands out pieces 0, 1, 2, ... in order and remembers the earliest that failed. Once a piece
// has failed, no later piece is handed out: the ones before it were all handed out already.
class PieceQueue {
  public:
    PieceQueue(std::size_t count, const CancelToken* cancel) : m_count(count), m_cancel(cancel) {}

    std::optional<std::size_t> next(const std::stop_token& stop) {
        if (stop.stop_requested() || (m_cancel && m_cancel->cancelled())) return std::nullopt;
        const std::size_t piece = m_next.fetch_add(1);
        if (piece >= m_count || piece > m_firstFailed.load()) return std::nullopt;
        return piece;
    }

    void failed(std::size_t piece, std::exception_ptr exception) {
        const std::lock_guard<std::mutex> lock(m_failureMutex);
        if (piece < m_firstFailed.load()) {
            m_firstFailed.store(piece);
            m_exception = std::move(exception);
        }
    }

    void completed() { m_completed.fetch_add(1); }

    // Runs pieces until none is left for this thread. `progress`, when given, is told the
    // completed count after each piece: only the calling thread running alone passes it.
    template <class State, class Work>
    void drain(State& state, Work& work, const std::stop_token& stop,
               const PieceProgress* progress = nullptr) {
        while (const std::optional<std::size_t> piece = next(stop)) {
            bool ok = false;
            try {
                ok = work(state, *piece);
            } catch (...) {
                failed(*piece, std::current_exception());
                return;
            }
            // Every later piece lies past this failure: none is handed out any more.
            if (!ok) return failed(*piece, nullptr);
            completed();
            if (progress && *progress) (*progress)(completedCount());
        }
    }

    // The outcome once every thread has stopped; rethrows what the earliest failed piece threw.
    ParallelOutcome outcome() {
        ParallelOutcome out;
        out.completed = m_completed.load();
        if (const std::size_t first = m_firstFailed.load(); first != kNone) {
            if (m_exception) std::rethrow_exception(m_exception);
            out.failedPiece = first;
        }
        out.cancelled = m_cancel && m_cancel->cancelled();
        return out;
    }

    std::size_t completedCount() const { return m_completed.load(); }

  private:
    static constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

    const std::size_t m_count;
    const CancelToken* const m_cancel;
    std::atomic<std::size_t> m_next{0};
    std::atomic<std::size_t> m_completed{0};
    std::atomic<std::size_t> m_firstFailed{kNone};
    std::mutex m_failureMutex;
    std::exception_ptr m_exception;
};

}  // namespace detail

// Runs `work(state, piece)` for the pieces 0..count-1, one thread per element of `states`, each
// thread with its own state; `work` returns false when its piece failed. An exception thrown by
// a piece counts as that piece's failure and is rethrown here when it is the earliest. However
// the call ends (a throwing progress callback among the ways), every thread has stopped and
// joined before it returns. With one state the pieces run on the calling thread.
template <class State, class Work>
ParallelOutcome RunPieces(std::size_t count, std::vector<State>& states, Work work,
                          const CancelToken* cancel = nullptr, const PieceProgress& progress = {}) {
    detail::PieceQueue queue(count, cancel);
    if (states.empty()) return queue.outcome();
    if (states.size() == 1) {
        queue.drain(states.front(), work, std::stop_token{}, &progress);
        return queue.outcome();
    }

    std::mutex doneMutex;
    std::condition_variable doneSignal;
    std::size_t finished = 0;
    std::vector<std::jthread> workers;  // asked to stop and joined on every way out
    workers.reserve(states.size());
    for (State& state : states) {
        try {
            workers.emplace_back([&, statePtr = &state](std::stop_token stop) {
                queue.drain(*statePtr, work, stop);
                const std::lock_guard<std::mutex> lock(doneMutex);
                ++finished;
                doneSignal.notify_all();
            });
        } catch (const std::system_error&) {
            break;  // fewer threads then; the pieces are shared all the same
        }
    }
    if (workers.empty()) {
        queue.drain(states.front(), work, std::stop_token{}, &progress);
        return queue.outcome();
    }
    std::size_t shown = 0;
    std::unique_lock<std::mutex> lock(doneMutex);
    for (;;) {
        const bool all = doneSignal.wait_for(lock, std::chrono::milliseconds(50),
                                             [&] { return finished == workers.size(); });
        const std::size_t done = queue.completedCount();
        if (progress && done > shown && !all) {
            shown = done;
            lock.unlock();
            progress(done);
            lock.lock();
        }
        if (all) break;
    }
    lock.unlock();
    workers.clear();
    return queue.outcome();
}

}  // namespace corvane
