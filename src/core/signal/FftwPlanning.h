#pragma once

#include <mutex>

namespace zembrel {

// FFTW's planner is not thread-safe: every plan in the program is made and destroyed under this
// one lock. Executing a plan with the new-array interface needs no lock.
std::mutex& FftwPlannerLock();

} // namespace zembrel
