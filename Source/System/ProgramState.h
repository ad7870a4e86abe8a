// What the running program is, for every layer: the window, the data folder, the time-demo flag,
// the pane count and the fade level, which start-up and the shell set and the renderer, input and
// loaders read; and the way out,
// which the shell registers here so that low layers can quit without calling up into it.
#pragma once

#include <SDL.h>

#include "Tarnet/MacTypes.h"

extern SDL_Window* gGameWindow;        // the one window; null before creation and after teardown
extern Tarnet::FSSpec gDataFolderSpec; // the "Skeletons" folder; its parent is the data folder
extern bool gTimeDemoMode;             // a time-demo run: every frame counts as 1/40 s
extern int gNumPanes;    // player panes: 1, or 2 for split screen; set by the game mode before the view
extern float gFadeLevel; // the fade: 1 = picture fully visible, 0 = black

// The shell's clean-quit sequence; it must end by throwing Tarnet::QuitRequest.
typedef void (*QuitRoutine)();
void SetQuitRoutine(QuitRoutine routine); // nullptr: quitting only asks the host layer to quit

// Quits the program from any layer: runs the registered quit routine, or, when none is registered
// (tests, tools), asks the host layer to quit. Never returns.
[[noreturn]] void RequestQuit();
