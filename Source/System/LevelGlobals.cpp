#include "System/LevelGlobals.h"

int gLevelIndex = 0;
