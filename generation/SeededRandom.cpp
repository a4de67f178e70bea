#include "SeededRandom.h"

namespace sumlark {
namespace {

std::uint64_t splitMix64(std::uint64_t& x)
{
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

constexpr std::uint64_t rotateLeft(std::uint64_t x, int k)
{
    return (x << k) | (x >> (64 - k));
}

} // namespace

SeededRandom::SeededRandom(std::uint64_t seed)
{
    for (auto& word : state_)
        word = splitMix64(seed);
}

std::uint64_t SeededRandom::nextBits()
{
    const std::uint64_t result = rotateLeft(state_[1] * 5, 7) * 9;
    const std::uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = rotateLeft(state_[3], 45);
    return result;
}

double SeededRandom::next()
{
    return static_cast<double>(nextBits() >> 11) * 0x1.0p-53;
}

void SeededRandom::fill(double* out, int count)
{
    for (int i = 0; i < count; ++i)
        out[i] = static_cast<double>(nextBits() >> 11) * 0x1.0p-53;
}

std::uint64_t deriveSeed(std::uint64_t seed, std::uint64_t index)
{
    std::uint64_t x = seed;
    std::uint64_t value = 0;
    for (std::uint64_t i = 0; i <= index; ++i)
        value = splitMix64(x);
    return value;
}

} // namespace sumlark
