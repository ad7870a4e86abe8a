// Level start-up. The order matters: the view exists before anything uploads textures, the model
// groups before the playfield (its items refer to them), the terrain before the players stand on it.

#include "System/Level.h"

#include "3D/CustomSplines.h"
#include "3D/OGL_Support.h"
#include "3D/Sprites.h"
#include "3D/TQ3D.h"
#include "Gameplay/Camera.h"
#include "Gameplay/Effects.h"
#include "Gameplay/Eggs.h"
#include "Gameplay/Enemies.h"
#include "Gameplay/Hazards.h"
#include "Gameplay/Items.h"
#include "Gameplay/Player.h"
#include "Gameplay/TimeDemo.h"
#include "Interface/Infobar.h"
#include "Objects/ObjNode.h"
#include "Skeleton/Skeleton.h"
#include "System/FrameRate.h"
#include "System/GameShell.h"
#include "System/Log.h"
#include "System/Pause.h"
#include "System/Prefs.h"
#include "System/Random.h"
#include "System/ScriptedPlay.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/Fences.h"
#include "Terrain/SplineObjects.h"
#include "Terrain/Terrain.h"
#include "Terrain/Water.h"

#include <GL/gl.h>
#include <cmath>
#include <cstdio>

int16_t gPlayMode = kPlayMode_Adventure;
bool gLevelLost = false;
bool gLevelEnding = false;
float gLevelEndTimer = 0;
float gRaceStartTimer = 0;
float gLevelTime = 0;
int32_t gLevelFrames = 0;
Vector3D gLevelLightDirection = {0, -1, 0};
float gLevelLightColor[4] = {1, 1, 1, 1};
float gFadeRangeInverse = 0;
uint32_t gDistanceFadeBits = 0;

static constexpr int kTerrainScale = 210;
static constexpr int kAllMeshes = -1; // sphere-map every mesh of a model

static float PaneFieldOfView()
{
    if (gPlayMode == kPlayMode_Adventure)
        return 1.15f;
    return gPrefs.splitScreenMode == 1 ? 0.7f : 1.1f;
}

void SetUpLevelView(ViewSetupRecord* setup)
{
    const SceneLook& look = kSceneLooks[kLevelTable[gLevelIndex].scene];

    setup->clearScreen = false;
    setup->useFog = true;
    setup->nearClip = 20;
    setup->farClip = float(gSuperTileRange) * 8 * kTerrainScale * 0.95f;
    setup->fogStart = look.fogStartFraction * setup->farClip;
    setup->fogEnd = 0.95f * setup->farClip;
    setup->fov = PaneFieldOfView();
    for (int i = 0; i < 3; i++)
        setup->clearColor[i] = look.clearColor[i];
    setup->clearColor[3] = 1;

    float ambient = look.ambient;
    if (gPrefs.stereoMode == 2) // monochrome anaglyph loses contrast; lift the shadows a little
        ambient += 0.1f;
    setup->ambientColor[0] = setup->ambientColor[1] = setup->ambientColor[2] = ambient;
    setup->ambientColor[3] = 1;

    setup->lightCount = 1;
    Normalize3(&look.lightDirection, &setup->lightDirection[0]);
    for (int i = 0; i < 3; i++)
        setup->lightColor[0][i] = look.lightColor;
    setup->lightColor[0][3] = 1;

    gLevelLightDirection = setup->lightDirection[0];
    for (int i = 0; i < 4; i++)
        gLevelLightColor[i] = setup->lightColor[0][i];

    if (gPrefs.stereoMode != 0) {
        gStereoEyeSpacing = 35;
        gStereoFocusDistance = 200;
    }
}

static void SetDistanceFade()
{
    double farClip = gGameViewInfoPtr->farClip;
    gFadeStartDistance = float(farClip * 0.8);
    gFadeEndDistance = float(farClip * 0.9);
    gFadeRangeInverse = 1.0f / (gFadeEndDistance - gFadeStartDistance);
    gDistanceFadeBits = gFadeStartDistance != 0 ? NODEBIT_DISTANCE_FADE : 0;
}

static void SetSphereMapsOfScene(int scene)
{
    switch (scene) {
    case kScene_Forest:
        SetSphereMapInfo(MODEL_GROUP_LEVELSPECIFIC, 45, kAllMeshes, 1, 0);
        break;
    case kScene_Desert:
        SetSphereMapInfo(MODEL_GROUP_LEVELSPECIFIC, 4, kAllMeshes, 1, 0);
        SetSphereMapInfo(MODEL_GROUP_LEVELSPECIFIC, 33, kAllMeshes, 1, 4);
        break;
    default: // the swamp's own creatures: the worm and the ramphor
        LoadASkeleton(SKELETON_TYPE_WORM);
        LoadASkeleton(SKELETON_TYPE_RAMPHOR);
        break;
    }
}

void LoadLevelSpecificTextures(int scene)
{
    // Entry 0 is the enemy barrier on every level; entry 1 the scene's fence or dust devil.
    const char* levelTextures[2] = {":sprites:textures:blockenemy", nullptr};
    if (scene == kScene_Forest)
        levelTextures[1] = ":sprites:textures:pinefence";
    else if (scene == kScene_Desert)
        levelTextures[1] = ":sprites:textures:dustdevil";
    LoadSpriteGroupFromFiles(SPRITE_GROUP_LEVELSPECIFIC, levelTextures[1] ? 2 : 1, levelTextures);
}

static void LoadLevelArt()
{
    const LevelDefinition& level = kLevelTable[gLevelIndex];
    char path[256];

    ShowLoadingProgress(0);
    uint64_t startMicroseconds = Tarnet::MicrosecondsNow();

    LoadModelGroup(MODEL_GROUP_GLOBAL, ":models:Global.tq3d");
    LoadModelGroup(MODEL_GROUP_PLAYERPARTS, ":models:playerparts.tq3d");
    LoadModelGroup(MODEL_GROUP_WEAPONS, ":Models:Weapons.tq3d");
    SetSphereMapInfo(MODEL_GROUP_PLAYERPARTS, 0, kAllMeshes, 1, 0);

    std::snprintf(path, sizeof(path), ":models:%s.tq3d", kSceneLooks[level.scene].name);
    LoadModelGroup(MODEL_GROUP_LEVELSPECIFIC, path);
    for (int egg = 2; egg <= 6; egg++)
        SetSphereMapInfo(MODEL_GROUP_GLOBAL, egg, kAllMeshes, 1, 0);
    SetSphereMapInfo(MODEL_GROUP_GLOBAL, 21, kAllMeshes, 1, 4);

    LoadLevelSpecificTextures(level.scene);

    std::snprintf(path, sizeof(path), ":sprites:maps:%s", level.fileName);
    LoadSpriteGroupFromFile(SPRITE_GROUP_INFOBAR_MAP, path);

    ShowLoadingProgress(0);

    // The creatures of every level: the player, raptors, brachs and the wormholes.
    LoadASkeleton(SKELETON_TYPE_PLAYER);
    LoadASkeleton(SKELETON_TYPE_RAPTOR);
    LoadASkeleton(SKELETON_TYPE_BRACH);
    LoadASkeleton(SKELETON_TYPE_WORMHOLE);

    std::snprintf(path, sizeof(path), ":terrain:%s.ter", level.fileName);
    Tarnet::FSSpec playfield;
    Tarnet::FSMakeFSSpec(gDataFolderSpec.vRefNum, gDataFolderSpec.parID, path, &playfield);
    gPlayfieldProgressProc = ShowLoadingProgress;
    gItemListBuiltProc = FindAllEggItems;
    LoadPlayfield(&playfield);

    glClearColor(gGameViewInfoPtr->clearColor[0], gGameViewInfoPtr->clearColor[1],
                 gGameViewInfoPtr->clearColor[2], 1);

    SetSphereMapsOfScene(level.scene);

    int milliseconds = int((Tarnet::MicrosecondsNow() - startMicroseconds) / 1000);
    LogLine(kLogInfo, "%s: %d ms", "LoadLevelArt", milliseconds);
}

// The demo path has run its course: the level ends as a lost one, which ends the demo.
static void EndTimeDemoLevel()
{
    gLevelLost = true;
}

void StartLevel()
{
    // Every time-demo run and every scripted run sees the same events in a level, however the
    // menus before it were gone through.
    if (gTimeDemoMode || IsScriptedPlayRequested() || IsScriptedGameRequested())
        SeedRandom(0);

    gLevelFrames = 0;
    gLevelTime = 0;
    gLevelLost = false;
    gLevelEnding = false;
    gLevelEndTimer = 0;
    gPaused = false;
    ClearPlayerObjects();

    SetTerrainScale(kTerrainScale);

    ViewSetupRecord setup;
    OGL_NewViewSetup(&setup);
    SetUpLevelView(&setup);
    OGL_SetupGameView(&setup);
    SetDistanceFade();

    LoadLevelArt();

    InitInfobar();
    ClearCustomSplineTable();
    ResetContrails();
    ResetEffectSystems();
    ResetSparkles();
    InitEnemyManager();
    InstallItemRoutines(gLevelIndex, kLevelTable[gLevelIndex].fileName);
    SetTimeDemoEndRoutine(EndTimeDemoLevel);
    InitLevelItems(); // doors, zaps, dust devils and the sky

    if (gPlayMode == kPlayMode_Race)
        gRaceStartTimer = 3;

    PrimeTerrainWater();
    InitPlayers();
    PrimeSplines();
    PrimeFences();
    for (int player = 0; player < gNumPanes; player++)
        ResetCamera(player);
    UpdateSuperTileWindows();
    gTerrainLoading = false;
}
