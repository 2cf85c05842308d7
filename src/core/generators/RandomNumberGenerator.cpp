#include "core/generators/RandomNumberGenerator.h"

#include <ctime>
#include <mutex>

namespace zembrel {

namespace {

// The process-wide generator. One mutex guards both fields: seeding and drawing may come from
// the worker thread and from the GUI thread.
struct SharedState {
    std::mutex mutex;
    std::uint32_t state = 1;
    bool seeded = false;
};

SharedState& Shared() {
    static SharedState shared;
    return shared;
}

} // namespace

RandomNumberGenerator::RandomNumberGenerator() {
    SharedState& shared = Shared();
    std::lock_guard lock(shared.mutex);
    if (!shared.seeded) {
        shared.state = SeedFromTime();
        shared.seeded = true;
    }
}

int RandomNumberGenerator::Draw() {
    SharedState& shared = Shared();
    std::lock_guard lock(shared.mutex);
    shared.state = shared.state * 22695477u + 1u; // unsigned: wraps modulo 2^32
    return static_cast<int>((shared.state >> 16) & 0x7FFFu);
}

int RandomNumberGenerator::RandomInt(int lo, int hi) {
    return static_cast<int>(ToUnitInterval(Draw()) * (hi - lo) + lo);
}

double RandomNumberGenerator::ToUnitInterval(int draw) {
    return draw / 32768.0;
}

std::uint32_t RandomNumberGenerator::SeedFromTime() {
    return SeedFromTime(static_cast<std::uint32_t>(std::time(nullptr)));
}

std::uint32_t RandomNumberGenerator::SeedFromTime(std::uint32_t t) {
    std::uint32_t seed = 0;
    for (int byte = 0; byte < 4; ++byte) {
        seed = seed * 257u + ((t >> (8 * byte)) & 0xFFu);
    }
    return seed;
}

void RandomNumberGenerator::Seed(std::uint32_t state) {
    SharedState& shared = Shared();
    std::lock_guard lock(shared.mutex);
    shared.state = state;
    shared.seeded = true;
}

std::uint32_t RandomNumberGenerator::State() {
    SharedState& shared = Shared();
    std::lock_guard lock(shared.mutex);
    return shared.state;
}

bool RandomNumberGenerator::Seeded() {
    SharedState& shared = Shared();
    std::lock_guard lock(shared.mutex);
    return shared.seeded;
}

} // namespace zembrel
