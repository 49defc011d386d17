// The demo generator's random numbers: a seeded SplitMix64 stream with its own integer and
// fraction rules, so that one seed gives the same installation on every machine and compiler.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

namespace tillora::demo {

class DemoRandom {
  public:
    explicit DemoRandom(std::uint64_t seed) : state_(seed) {}

    // The next 64 random bits.
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // A whole number in [0, n); 0 when n is 0.
    std::uint64_t below(std::uint64_t n) {
        return static_cast<std::uint64_t>((static_cast<unsigned __int128>(next()) * n) >> 64);
    }
    // A whole number in [lo, hi] (lo when hi < lo).
    int between(int lo, int hi) {
        if (hi <= lo) return lo;
        return lo + static_cast<int>(below(static_cast<std::uint64_t>(hi - lo) + 1));
    }
    // A fraction in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    // True with probability p.
    bool chance(double p) { return unit() < p; }
    // An index into `weights`, each index drawn in proportion to its weight (0 when all are 0).
    std::size_t weighted(std::span<const int> weights) {
        long total = 0;
        for (int w : weights) total += w;
        if (total <= 0) return 0;
        long roll = static_cast<long>(below(static_cast<std::uint64_t>(total)));
        for (std::size_t i = 0; i < weights.size(); ++i) {
            if (roll < weights[i]) return i;
            roll -= weights[i];
        }
        return weights.size() - 1;
    }
    std::size_t weighted(std::initializer_list<int> weights) {
        return weighted(std::span<const int>(weights.begin(), weights.size()));
    }

  private:
    std::uint64_t state_;
};

}  // namespace tillora::demo
