#include "common/ParallelWork.h"

namespace corvane {

unsigned WorkerThreads(unsigned requested, std::size_t pieces) {
    const unsigned wanted = requested > 0 ? requested : std::thread::hardware_concurrency();
    return static_cast<unsigned>(
        std::clamp<std::size_t>(std::min<std::size_t>(wanted, pieces), 1, 1024));
}

}  // namespace corvane
