// Pause.h: the game's pause flag. While it is set only nodes with NODEBIT_RUNS_WHEN_PAUSED move, and the
// frame counter that picks double-buffered meshes stands still.
#pragma once

extern bool gPaused; // set by the pause menu for as long as it is open
