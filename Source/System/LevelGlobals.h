// Which level is being played or comes next.
#pragma once

constexpr int NUM_ADVENTURE_LEVELS = 3; // levels 0-2 are the adventure: forest, desert, swamp
constexpr int NUM_LEVELS = 9;           // then two race, two battle and two capture-the-flag arenas

extern int gLevelIndex; // 0 .. NUM_LEVELS - 1
