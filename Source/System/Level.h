// One level from start to end: the level table, game modes, the scene looks, level start with
// the loading bar, the play loop, pausing, the end conditions, the time demo and the clean-up.
#pragma once

#include "3D/Math3D.h"
#include "System/LevelGlobals.h"

#include <cstdint>

enum
{
    kScene_Forest = 0,
    kScene_Desert = 1,
    kScene_Swamp = 2,
    NUM_SCENES = 3,
};

struct LevelDefinition
{
    const char* fileName; // names ":terrain:%s.ter" and ":sprites:maps:%s"
    int scene;            // names ":models:%s.tq3d"
    int16_t playMode;     // the mode the level is played in
    int song;             // song number
};

struct SceneLook
{
    const char* name;
    float clearColor[3];    // also the fog colour
    float fogStartFraction; // of the far clip distance
    float ambient;
    float lightColor;
    Vector3D lightDirection; // before normalisation
};

extern const LevelDefinition kLevelTable[NUM_LEVELS];
extern const SceneLook kSceneLooks[NUM_SCENES];

extern int32_t gLevelFrames; // frames drawn

extern Vector3D gLevelLightDirection; // the scene's normalised light direction
extern float gLevelLightColor[4];
extern float gFadeRangeInverse; // 1 / (gFadeEndDistance - gFadeStartDistance)

void LoadLevelSpecificTextures(int scene); // the enemy barrier and the scene's fence or dust devil
void StartLevel();   // loads the level gLevelIndex for gPlayMode and gNumPanes and builds its scene
void RunLevelLoop(); // plays until the level is lost or its end timer runs out

// The play loop in its three steps, for the level harness of tests and tools: the fade-in and
// mouse capture; one frame (false once the level is over); the closing fade and the time-demo report.
void BeginLevelPlay();
bool PlayLevelFrame();
void FinishLevelPlay();
// Everything a level frame changes before it is drawn: input, objects, cameras, the terrain window.
// Kept in a file of its own so that profilers can measure the game's logic apart from its drawing.
void MoveLevelFrame();
void EndLevel(); // frees everything the level made, in the reverse order of its start

// Loading bar: fraction 0 starts the loading clock; later fractions draw the bar, but only once
// loading has taken 200 ms and never more often than every 16 ms.
void ShowLoadingProgress(float fraction);

void DrawLevel();            // the level's draw routine for OGL_DrawScene
void DoPauseMenu();          // pauses the level: from now on only the pause screen moves
bool ShouldLeavePauseMenu(); // the pause screen's choice to resume has been made
void LeavePauseMenu();       // resumes play
void ShowTimeDemoResults(int32_t frames, float seconds, float framesPerSecond);

// Fills a view setup with the scene look of the current level, mode and pane layout.
struct ViewSetupRecord;
void SetUpLevelView(ViewSetupRecord* setup);

bool IsLoadingBarShown(); // the loading bar has been drawn during the current load
