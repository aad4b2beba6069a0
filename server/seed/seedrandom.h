#pragma once
// The seed data's own random numbers: splitmix64, so that a seed number gives the same rows with
// every compiler and standard library (the std distributions differ between implementations).

#include <cstdint>
#include <span>

namespace kav::server::seed {

class SeedRandom final {
public:
    explicit SeedRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 <= result < bound; bound must be positive. The modulo bias is far below anything seed data
    // could show.
    int Below(int bound) { return static_cast<int>(Next() % static_cast<std::uint64_t>(bound)); }
    int Between(int low, int high) { return low + Below(high - low + 1); }
    bool Percent(int chance) { return Below(100) < chance; }
    // An index chosen with the given relative weights (not all zero).
    int Weighted(std::span<const int> weights) {
        int total = 0;
        for (int w : weights)
            total += w;
        int pick = Below(total);
        for (int i = 0; i < static_cast<int>(weights.size()); ++i) {
            if (pick < weights[i]) return i;
            pick -= weights[i];
        }
        return static_cast<int>(weights.size()) - 1;
    }
    template <typename T> const T& Pick(std::span<const T> items) {
        return items[static_cast<std::size_t>(Below(static_cast<int>(items.size())))];
    }

private:
    std::uint64_t state_;
};

} // namespace kav::server::seed
