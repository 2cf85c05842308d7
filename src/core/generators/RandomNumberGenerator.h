#pragma once

#include <cstdint>

namespace zembrel {

// The pseudo-random phases of the noise generators: one 15-bit linear congruential generator
// shared by the whole process (state <- state * 22695477 + 1 modulo 2^32; a draw is bits 16 to
// 30 of the new state, 0 ... 32767). The state starts at 1; the first object constructed in the
// process seeds it from the clock. The state may be used from the noise worker and from the GUI
// thread; every access is serialised, so no data race is possible.
class RandomNumberGenerator {
public:
    // Seeds the shared state from SeedFromTime() unless the process has been seeded already.
    RandomNumberGenerator();

    // One draw mapped onto the whole numbers lo ... hi - 1: trunc(ToUnitInterval(d) * (hi - lo)
    // + lo). RandomInt(0, 360) gives a phase in whole degrees.
    int RandomInt(int lo, int hi);

    // One step of the shared generator: 0 ... 32767.
    int Draw();

    // draw / 32768, in [0, 1).
    static double ToUnitInterval(int draw);

    // The seed made from the current calendar time in seconds since 1970.
    static std::uint32_t SeedFromTime();
    // The same for a given time t: its four bytes, least significant first, folded as
    // seed <- seed * 257 + byte (modulo 2^32). 16909060 gives 68097034.
    static std::uint32_t SeedFromTime(std::uint32_t t);

    // Sets the shared state and marks the process as seeded, so that the next object does not
    // seed again.
    static void Seed(std::uint32_t state);
    static std::uint32_t State();
    static bool Seeded();
};

} // namespace zembrel
