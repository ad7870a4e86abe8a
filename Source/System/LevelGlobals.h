// Which level is being played or comes next, in which mode, and how far it is decided: what the
// gameplay modules read of the level cycle.
#pragma once

#include <cstdint>

constexpr int NUM_ADVENTURE_LEVELS = 3; // levels 0-2 are the adventure: forest, desert, swamp
constexpr int NUM_LEVELS = 9;           // then two race, two battle and two capture-the-flag arenas

extern int gLevelIndex; // 0 .. NUM_LEVELS - 1

enum
{
    kPlayMode_Adventure = 0, // one player, levels 0-2 in sequence
    kPlayMode_Race = 1,      // two players, split screen, one level each
    kPlayMode_Battle = 2,
    kPlayMode_CaptureTheFlag = 3,
};

extern int16_t gPlayMode;

// Level state, all cleared at level start.
extern bool gLevelLost;       // out of lives, abandoned from the pause menu, or the demo path ended
extern bool gLevelEnding;     // the level is decided; it ends when gLevelEndTimer runs out
extern float gLevelEndTimer;  // seconds
extern float gRaceStartTimer; // race countdown, seconds
extern float gLevelTime;      // seconds played (not paused)

// The level's default status flags for world objects: NODEBIT_DISTANCE_FADE when it fades distant ones.
extern uint32_t gDistanceFadeBits;

// Decides the level: it ends `seconds` from now. A second call while ending changes nothing.
void BeginLevelEnd(float seconds);
