#include "System/Level.h"

const LevelDefinition kLevelTable[NUM_LEVELS] = {
    {"level1", kScene_Forest, kPlayMode_Adventure, 2},
    {"level2", kScene_Desert, kPlayMode_Adventure, 3},
    {"level3", kScene_Swamp, kPlayMode_Adventure, 4},
    {"race1", kScene_Swamp, kPlayMode_Race, 4},
    {"race2", kScene_Desert, kPlayMode_Race, 3},
    {"battle1", kScene_Forest, kPlayMode_Battle, 2},
    {"battle2", kScene_Desert, kPlayMode_Battle, 3},
    {"flag1", kScene_Swamp, kPlayMode_CaptureTheFlag, 4},
    {"flag2", kScene_Forest, kPlayMode_CaptureTheFlag, 2},
};

const SceneLook kSceneLooks[NUM_SCENES] = {
    {"forest", {0.43f, 0.33f, 0.7f}, 0.35f, 0.4f, 0.7f, {0.4f, -0.5f, 0.5f}},
    {"desert", {0.968f, 0.537f, 0.278f}, 0.4f, 0.45f, 0.6f, {0.4f, -0.3f, 0.2f}},
    {"swamp", {0.568f, 0.243f, 0.125f}, 0.4f, 0.45f, 0.6f, {0.4f, -0.3f, 0.2f}},
};
