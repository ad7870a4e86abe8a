// The game's own pseudo-random generator: deterministic for a given seed, seeded once at start-up
// from the calendar clock. Every object node takes one value when it is created.
#pragma once

#include <cstdint>

void SeedRandom(uint32_t seed);               // restarts the sequence
uint32_t RandomU32();                         // next raw value
float RandomUnit();                           // in [0, 1], both ends reachable (k / 4095)
float RandomSigned();                         // in (-1, 1]: never exactly -1; 0 slightly more often
uint16_t RandomInt(uint16_t lo, uint16_t hi); // integer in [lo, hi]
