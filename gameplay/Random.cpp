#include "gameplay/Random.h"

#include <array>
#include <cstddef>

namespace
{
// The last 34 values of the sequence r(i) = r(i - 3) + r(i - 31) mod 2^32,
// in a ring.
constexpr std::size_t kLag = 31;
constexpr std::size_t kShortLag = 3;
constexpr std::size_t kRing = kLag + kShortLag;
// Values made and thrown away after seeding, before the first is used.
constexpr std::size_t kWarmUp = 310;

struct State
{
    std::array<std::uint32_t, kRing> ring{};
    std::size_t next = 0; // where r(i) goes
};

std::uint32_t Step(State& s)
{
    const std::uint32_t value =
        s.ring[(s.next + kRing - kLag) % kRing] + s.ring[(s.next + kRing - kShortLag) % kRing];
    s.ring[s.next] = value;
    s.next = (s.next + 1) % kRing;
    return value;
}

State Seeded(std::uint32_t seed)
{
    // The first 31 values come from the Lehmer generator 16807 * x mod
    // (2^31 - 1), with the seed read as a signed number and 0 taken as 1;
    // the next three repeat the first three.
    State s;
    std::int32_t word = seed == 0 ? 1 : static_cast<std::int32_t>(seed);
    s.ring[0] = static_cast<std::uint32_t>(word);
    for (std::size_t i = 1; i < kLag; ++i)
    {
        // Schrage's method: no intermediate leaves 32 bits.
        const std::int32_t hi = word / 127773;
        const std::int32_t lo = word % 127773;
        word = 16807 * lo - 2836 * hi;
        if (word < 0)
        {
            word += 2147483647;
        }
        s.ring[i] = static_cast<std::uint32_t>(word);
    }
    for (std::size_t i = kLag; i < kRing; ++i)
    {
        s.ring[i] = s.ring[i - kLag];
    }
    for (std::size_t i = 0; i < kWarmUp; ++i)
    {
        Step(s);
    }
    return s;
}

// Unseeded, the game draws as C's rand does before srand: as if seeded with 1.
State g_generator = Seeded(1);
} // namespace

void Random::Seed(std::uint32_t seed)
{
    g_generator = Seeded(seed);
}

std::int32_t Random::Next()
{
    return static_cast<std::int32_t>(Step(g_generator) >> 1);
}
