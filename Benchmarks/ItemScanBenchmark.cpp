// ItemScanBenchmark: what the map items cost a frame while a camera crosses one of the largest maps
// (the adventure levels, 24 x 24 supertiles) at 3000 units per second and 60 frames per second: the
// window update with every item routine installed (items scanned as supertiles enter, their objects
// made, out-of-range ones deleted by the move pass), against the same flight with no item routines.
// The difference is the items' share of a frame. Run it in a folder holding the generated Data (the
// build folder), under a display (Xvfb will do).
#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "3D/TQ3D.h"
#include "Gameplay/Items.h"
#include "Objects/ObjNode.h"
#include "Support/TestWindow.h"
#include "System/Prefs.h"
#include "System/ProgramState.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/TerrainLocal.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <string>

struct CrossedLevel
{
    const char* name;
    int index;
    const char* sceneModels;
};
static const CrossedLevel kCrossedLevels[] = {
    {"level1", 0, ":models:forest.tq3d"},
    {"level2", 1, ":models:desert.tq3d"},
    {"level3", 2, ":models:swamp.tq3d"},
};

static bool gViewReady;

static void MakeLevelView()
{
    if (gViewReady)
        return;
    Tarnet::Startup();
    OpenTestWindow(640, 480);
    gPrefs.stereoMode = 0;
    gPrefs.reducedDetail = 0;
    gNumPanes = 1;
    InitTerrainManager();
    TQ3D_InitContainers();
    ViewSetupRecord setup;
    OGL_NewViewSetup(&setup);
    setup.lightCount = 1;
    setup.lightDirection[0] = {0.4f, -0.5f, 0.5f};
    OGL_SetupGameView(&setup);
    MO_InitMetaObjectList();
    InitObjectManager();
    gDataFolderSpec = Tarnet::HostPathToFSSpec(std::filesystem::path("Data") / "Skeletons");
    gViewReady = true;
}

static bool LoadLevel(const CrossedLevel& level, bool withItems)
{
    std::filesystem::path path =
        std::filesystem::path("Data") / "Terrain" / (std::string(level.name) + ".ter");
    if (!std::filesystem::exists(path))
        return false;
    LoadModelGroup(MODEL_GROUP_LEVELSPECIFIC, level.sceneModels);
    Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(path);
    LoadPlayfield(&spec);
    gTerrainLoading = false;
    InstallItemRoutines(level.index, level.name);
    if (!withItems)
        std::memset(gMapItemAddRoutines, 0, sizeof(gMapItemAddRoutines));
    return true;
}

// One frame per iteration: the camera moves 50 units along the map's middle row, wrapping at the far
// edge; the window follows, the move pass deletes what was left behind, the release ends the frame.
static void CrossTheMap(benchmark::State& state, bool withItems)
{
    MakeLevelView();
    const CrossedLevel& level = kCrossedLevels[state.range(0)];
    state.SetLabel(level.name);
    if (!LoadLevel(level, withItems)) {
        state.SkipWithError("no Data/Terrain in the working folder");
        return;
    }
    InitSuperTileWindows();
    float x = 0, z = float(gMapDepthUnits) * 0.5f;
    int64_t frames = 0, objectFrames = 0;
    for (auto _ : state) {
        x += 50.0f;
        if (x >= float(gMapWidthUnits))
            x = 0;
        gGameViewInfoPtr->cameras[0].eye = {x, 800, z};
        UpdateSuperTileWindows();
        MoveObjects();
        ReleaseSuperTilesOutsideWindows();
        frames++;
        objectFrames += gLiveNodeCount;
    }
    state.counters["objects"] = benchmark::Counter(double(objectFrames) / double(frames ? frames : 1));
    DisposeAllObjects();
    FreeTerrainData();
    TQ3D_DisposeAllContainers();
}

static void BM_CrossingWithItems(benchmark::State& state)
{
    CrossTheMap(state, true);
}
BENCHMARK(BM_CrossingWithItems)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

static void BM_CrossingWithoutItems(benchmark::State& state)
{
    CrossTheMap(state, false);
}
BENCHMARK(BM_CrossingWithoutItems)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
