// Plays levels without the menus, for tests and tools that need a real level running: start any
// level in any mode with one or two panes, play frames with scripted input, end it.
#pragma once

#include <cstdint>

// What the main routine prepares once per run: subsystem tables and the shared art. The window
// and its draw context must exist, and the working directory must hold the Data folder.
void HarnessPrepareGame();
void HarnessFinishGame(); // frees the shared art and everything the levels left

// Starts level `levelIndex` in `playMode` with `numPanes` panes laid out as `splitScreenMode`
// (1 stacked, 2 side by side; ignored with one pane), the players as at the start of a new game.
void HarnessStartLevel(int levelIndex, int16_t playMode, int numPanes, int splitScreenMode);

// Plays up to `frames` frames. beforeFrame (may be null) runs first in each frame, so a test can
// push input events for the frame's poll; afterFrame (may be null) runs once the frame is drawn.
// Returns the frames played: fewer when the level ended.
int HarnessPlayFrames(int frames, void (*beforeFrame)(int frame), void (*afterFrame)(int frame));

// Hides every player and stops moving it, as after an explosion: for pictures and counts of the
// level itself that a flying player would change (dust, spray, crashes, death fades).
void HarnessParkPlayers();

// Player 0 of an adventure level flies at once instead of first coming out of the start wormhole,
// for tests that place it themselves.
void HarnessSkipArrival();

void HarnessEndLevel(); // the closing fade, then the level's clean-up
