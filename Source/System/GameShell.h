// The game shell: program entry, start-up, the main routine and its outer loop, quitting.
#pragma once

#include <SDL.h>
#include <cstdint>

#include "System/DataFiles.h" // gDataFolderSpec
#include "Tarnet/MacTypes.h"

extern SDL_Window* gGameWindow;  // the one window; null before creation and after teardown
extern uint8_t gActiveMSAALevel; // anti-aliasing level the window was actually created with
extern bool gTimeDemoMode;       // a time-demo run: every frame counts as 1/40 s
extern bool gQuitting;           // the clean-quit sequence has begun
extern int gLogicalScreenWidth;  // 640: the 2D overlay's coordinate space
extern int gLogicalScreenHeight; // 480

// The program entry's exception boundary: returns 0 after a quit request, 1 after any other error.
int RunProgram();

void RunGameShell(); // the main routine; never returns, leaves only by an exception

// Parts of the main routine that the level harness of tests and tools repeats.
void InitGameSubsystems(); // empty model, sprite and object tables; terrain constants; sound; twitches
void LoadSharedArt();      // the fonts and sprite groups every screen and level uses

// Runs the clean-quit sequence once, then asks the layer to quit (throws Tarnet::QuitRequest).
[[noreturn]] void QuitCleanly();
