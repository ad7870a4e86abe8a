// The game shell: program entry, start-up, the main routine and its outer loop, quitting.
#pragma once

#include <cstdint>

#include "System/ProgramState.h" // gGameWindow, gDataFolderSpec, gTimeDemoMode live below the shell

extern uint8_t gActiveMSAALevel; // anti-aliasing level the window was actually created with
extern bool gQuitting;           // the clean-quit sequence has begun
extern int gLogicalScreenWidth;  // 640: the 2D overlay's coordinate space
extern int gLogicalScreenHeight; // 480

// The program entry: reads the command line (a bad one prints the usage and returns 2), then runs
// the game inside its exception boundary: returns 0 after a quit request, 1 after any other error.
int RunProgram(int argc, char** argv);

void RunGameShell(); // the main routine; never returns, leaves only by an exception

// A series of sprite images every screen uses, loaded into its group at start-up; the data tool
// checks and shows the same series.
struct SharedSpriteSeries
{
    int group;
    int count;
    const char* name; // folder and file prefix under the sprites folder
};
constexpr int NUM_SHARED_SPRITE_SERIES = 4;
extern const SharedSpriteSeries kSharedSpriteSeries[NUM_SHARED_SPRITE_SERIES];

// Parts of the main routine that the level harness of tests and tools repeats.
void InitGameSubsystems(); // empty model, sprite and object tables; terrain constants; sound; twitches
void LoadSharedArt();      // the fonts and sprite groups every screen and level uses

// Runs the clean-quit sequence once, then asks the layer to quit (throws Tarnet::QuitRequest).
[[noreturn]] void QuitCleanly();
