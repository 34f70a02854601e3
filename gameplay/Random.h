#pragma once

#include <cstdint>

// The game's own random numbers, so that one seed gives one game on every
// system: the C library's rand differs between Windows and Linux. It is the
// additive feedback generator glibc's rand uses (seeded the same way), so a
// seed gives the sequence it always gave here, and its outputs are 31 random
// bits: any power of two up to 2^31 divides them evenly.
class Random
{
public:
    static void Seed(std::uint32_t seed);
    // 0 to 2^31 - 1.
    static std::int32_t Next();
};
