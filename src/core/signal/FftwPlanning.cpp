#include "core/signal/FftwPlanning.h"

namespace zembrel {

std::mutex& FftwPlannerLock() {
    static std::mutex lock;
    return lock;
}

} // namespace zembrel
