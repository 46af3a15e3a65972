// The process-wide pseudo-random generator: ISAAC (32-bit words, 256-word
// state), seeded with an integer and drawn one full round per number.
#pragma once

#include <array>
#include <cstdint>

namespace vlm {

struct IsaacState {
    std::array<std::uint32_t, 256> results{};
    std::array<std::uint32_t, 256> memory{};
    std::uint32_t aa = 0, bb = 0, cc = 0;
    std::uint32_t count = 0;
};

void IsaacSeed(IsaacState& state, std::uint32_t seed);
std::uint32_t IsaacDraw(IsaacState& state); // one round, results[0]

IsaacState& TheRandomState();

// ---- Program-facing ---------------------------------------------------------

void SeedRandom(std::uint32_t seed);
// An integer 0..n; n <= 0 gives 0 without drawing.
std::int32_t RandomInt(std::int32_t n);

} // namespace vlm
