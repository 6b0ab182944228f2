#include "data/modGeneral.h"

#include <mutex>
#include <utility>

namespace corvane::modGeneral {

namespace {

// The lock makes taking a snapshot safe from any thread; the snapshot itself needs none.
std::mutex g_lock;
std::shared_ptr<const DataSet> g_current = std::make_shared<const DataSet>();

void Swap(std::shared_ptr<const DataSet> next) {
    const std::lock_guard<std::mutex> hold(g_lock);
    // The old set, now in `next`, is released once the lock is let go.
    g_current.swap(next);
}

}  // namespace

std::shared_ptr<const DataSet> Current() {
    const std::lock_guard<std::mutex> hold(g_lock);
    return g_current;
}

void Replace(DataSet data) { Swap(std::make_shared<const DataSet>(std::move(data))); }

void ReadAsEmpty() { Swap(std::make_shared<const DataSet>(Current()->readAsEmpty())); }

void Clear() { Replace(DataSet()); }

}  // namespace corvane::modGeneral
