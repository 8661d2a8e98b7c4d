// The reading fuzz's random numbers: SplitMix64, so that a seed gives the same run on every
// system and standard library.
#pragma once

#include <cstdint>

namespace fuzz {

class Random {
public:
    Random() = default;
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 to n - 1 (n at least 1).
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
    // first to last, both included.
    int Between(int first, int last) { return first + Below(last - first + 1); }
    // 0 (included) to 1 (excluded).
    double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    bool Chance(double probability) { return Unit() < probability; }

private:
    std::uint64_t state_ = 0;
};

} // namespace fuzz
