// Pause.cpp: the game's pause flag.
#include "System/Pause.h"

bool gPaused = false;
