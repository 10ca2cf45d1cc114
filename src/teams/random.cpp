#include "teams/random.h"

namespace rostrix {

namespace {

std::uint32_t state = 1;

inline constexpr int kRandomMax = 32767;

}  // namespace

void seedRandom(std::uint32_t seed) { state = seed; }

int nextRandom() {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 16) & 0x7fff);
}

int randomInRange(int lo, int hi) {
    const int n = hi - lo + 1;
    const int q = kRandomMax / n;
    const int limit = n * q;
    int value;
    do {
        value = nextRandom();
    } while (value >= limit);
    return lo + value / q;
}

}  // namespace rostrix
