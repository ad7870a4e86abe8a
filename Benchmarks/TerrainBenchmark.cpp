// TerrainBenchmark: loading each generated level's playfield (both forks, every texture made), building
// one supertile mesh, and the per-frame window update (with its builds, releases and item scans) while a
// camera flies straight across the map at 3000 units per second at 60 frames per second. Run it in a
// folder holding the generated Data (the build folder), under a display (Xvfb will do).
#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "Objects/ObjNode.h"
#include "Support/TestWindow.h"
#include "System/Prefs.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/TerrainLocal.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

static const char* const kLevels[] = {"level1",  "level2",  "level3", "race1", "race2",
                                      "battle1", "battle2", "flag1",  "flag2"};

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
    ViewSetupRecord setup;
    OGL_NewViewSetup(&setup);
    setup.lightCount = 1;
    setup.lightDirection[0] = {0.4f, -0.5f, 0.5f};
    OGL_SetupGameView(&setup);
    MO_InitMetaObjectList();
    InitObjectManager();
    gViewReady = true;
}

static bool LoadLevel(const char* name)
{
    std::filesystem::path path = std::filesystem::path("Data") / "Terrain" / (std::string(name) + ".ter");
    if (!std::filesystem::exists(path))
        return false;
    Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(path);
    LoadPlayfield(&spec);
    gTerrainLoading = false;
    return true;
}

static void BM_LoadPlayfield(benchmark::State& state)
{
    MakeLevelView();
    const char* name = kLevels[state.range(0)];
    state.SetLabel(name);
    for (auto _ : state) {
        if (!LoadLevel(name)) {
            state.SkipWithError("no Data/Terrain in the working folder");
            break;
        }
        state.PauseTiming();
        FreeTerrainData();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadPlayfield)->DenseRange(0, 8)->Unit(benchmark::kMillisecond)->Iterations(2);

static void BM_BuildSuperTileMesh(benchmark::State& state)
{
    MakeLevelView();
    if (!LoadLevel("level1")) {
        state.SkipWithError("no Data/Terrain in the working folder");
        return;
    }
    for (auto _ : state) {
        int slot = BuildSuperTileMesh(64, 64);
        gSuperTileSlots[slot].inUse = false;
        gNumFreeSuperTiles++;
    }
    FreeTerrainData();
}
BENCHMARK(BM_BuildSuperTileMesh)->Unit(benchmark::kMicrosecond);

// One frame per iteration: the camera moves 50 units (3000 per second at 60 frames per second) along
// the map's middle row, wrapping at the far edge; the window follows and the release ends the frame.
static void BM_WindowUpdateFlyingAcross(benchmark::State& state)
{
    MakeLevelView();
    if (!LoadLevel("level1")) {
        state.SkipWithError("no Data/Terrain in the working folder");
        return;
    }
    InitSuperTileWindows();
    float x = 0, z = float(gMapDepthUnits) * 0.5f;
    for (auto _ : state) {
        x += 50.0f;
        if (x >= float(gMapWidthUnits))
            x = 0;
        gGameViewInfoPtr->cameras[0].eye = {x, 800, z};
        UpdateSuperTileWindows();
        ReleaseSuperTilesOutsideWindows();
    }
    DisposeAllObjects();
    FreeTerrainData();
}
BENCHMARK(BM_WindowUpdateFlyingAcross)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
