// The process-wide random generator that automatic team names draw from:
// state = state * 1103515245 + 12345 (mod 2^32), each value being bits 16-30
// of the new state. main seeds it once from the clock.
#pragma once

#include <cstdint>

namespace rostrix {

void seedRandom(std::uint32_t seed);
// The next value, 0..32767.
int nextRandom();
// A value drawn uniformly from lo..hi (lo <= hi), redrawing the values at
// the top of the range that would favour some results.
int randomInRange(int lo, int hi);

}  // namespace rostrix
