#pragma once
#include <cstdint>

// The draw's random numbers: a linear congruential generator reseeded from the
// millisecond clock before every pick. seed_offset grows at every reseed, so two
// reseeds within one millisecond still get different seeds.

void generator_seed(std::uint32_t value);
// Advances the generator; 0 to 32767.
int generator_next();
// low <= result <= high, for 0 <= low <= high. low == high draws nothing.
int random_between(int low, int high);

void reseed_from_clock();
// The reseed itself, for a tick count read by the caller.
void reseed_from_tick(std::uint32_t t);
std::uint32_t seed_offset();
