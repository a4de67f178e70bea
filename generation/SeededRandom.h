#pragma once

// The engine's own generator, defined by its algorithm so that a seed gives
// the same sequence with every compiler and standard library:
// SplitMix64 expands the seed into the state of xoshiro256**, and a real in
// [0, 1) is the top 53 bits of a draw times 2^-53.

#include "RunServices.h"

#include <array>
#include <cstdint>

namespace sumlark {

class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(std::uint64_t seed);

    std::uint64_t nextBits();
    double next() override;
    void fill(double* out, int count) override;

private:
    std::array<std::uint64_t, 4> state_{};
};

// A further seed derived from a seed, for runs that make several sheets from
// one seed: the index-th SplitMix64 output of the seed.
std::uint64_t deriveSeed(std::uint64_t seed, std::uint64_t index);

} // namespace sumlark
