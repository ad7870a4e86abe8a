// ModelLoadBenchmark: loading the game's seven model files as the levels do (the shared files, then each
// scene's file in turn into the level slot), textures uploaded, models published. Reads the generated
// Data folder of the working directory, or of the build folder beside this program. Run under a display,
// e.g. Xvfb with Mesa's software renderer.
#include "3D/OGL_Support.h"
#include "3D/TQ3D.h"
#include "Support/TestWindow.h"
#include "System/GameShell.h"
#include "Tarnet/Tarnet.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <filesystem>

static std::filesystem::path FindDataFolder()
{
    if (std::filesystem::is_directory("Data/Models"))
        return "Data";
    char* base = SDL_GetBasePath();
    std::filesystem::path data = std::filesystem::path(base ? base : ".") / ".." / "Data";
    SDL_free(base);
    return data;
}

static void LoadAllModelFiles()
{
    LoadModelGroup(MODEL_GROUP_GLOBAL, ":models:Global.tq3d");
    LoadModelGroup(MODEL_GROUP_PLAYERPARTS, ":models:playerparts.tq3d");
    LoadModelGroup(MODEL_GROUP_WEAPONS, ":Models:Weapons.tq3d");
    LoadModelGroup(MODEL_GROUP_LEVELINTRO, ":models:levelintro.tq3d");
    LoadModelGroup(MODEL_GROUP_LEVELSPECIFIC, ":models:forest.tq3d");
    LoadModelGroup(MODEL_GROUP_LEVELSPECIFIC, ":models:desert.tq3d");
    LoadModelGroup(MODEL_GROUP_LEVELSPECIFIC, ":models:swamp.tq3d");
    TQ3D_DisposeAllContainers();
}

static void BM_LoadSevenModelFiles(benchmark::State& state)
{
    Tarnet::Startup();
    std::filesystem::path data = FindDataFolder();
    if (!std::filesystem::is_directory(data / "Models")) {
        state.SkipWithError("no generated Data folder: build the project first");
        return;
    }
    if (!OpenTestWindow(640, 480)) {
        state.SkipWithError("no display");
        return;
    }
    gDataFolderSpec = Tarnet::HostPathToFSSpec(data / "Skeletons");
    ViewSetupRecord setup;
    OGL_NewViewSetup(&setup);
    OGL_SetupGameView(&setup);
    TQ3D_InitContainers();

    for (auto _ : state) {
        LoadAllModelFiles();
        glFinish(); // the uploads are part of the load
    }

    OGL_DisposeGameView();
    CloseTestWindow();
}
BENCHMARK(BM_LoadSevenModelFiles)->Unit(benchmark::kMillisecond)->MinTime(2.0);

BENCHMARK_MAIN();
