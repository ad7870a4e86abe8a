// LevelLoadBenchmark: the whole start of each level as the game runs it (LoadLevelArt with its models,
// sprites and playfield, then the rest of the level start), at the default window size. Both the
// wall-clock time and the CPU time of the whole process are reported: on a shared machine the CPU
// time is the steadier figure, the wall-clock time the one a player waits for.
// Run from the build folder (it needs Data) under a display:
//   xvfb-run -a -s "-screen 0 1280x1024x24" Benchmarks/LevelLoadBenchmark --benchmark_repetitions=5
#include "Support/TestWindow.h"
#include "System/Input.h"
#include "System/Level.h"
#include "System/LevelHarness.h"
#include "System/Prefs.h"
#include "System/Window.h"
#include "Tarnet/Tarnet.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

static bool gGameReady;

static void PrepareGame()
{
    if (gGameReady)
        return;
    Tarnet::Startup();
    ResetPrefsToDefaults();
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    int width, height;
    ComputeWindowSize(0, &width, &height);
    if (!OpenTestWindow(width, height))
        return;
    SetUpInput();
    HarnessPrepareGame();
    gGameReady = true;
}

static void BM_StartLevel(benchmark::State& state)
{
    PrepareGame();
    if (!gGameReady) {
        state.SkipWithError("no window");
        return;
    }
    int level = int(state.range(0));
    state.SetLabel(kLevelTable[level].fileName);
    int panes = kLevelTable[level].playMode == kPlayMode_Adventure ? 1 : 2;
    for (auto _ : state) {
        HarnessStartLevel(level, kLevelTable[level].playMode, panes, 2);
        state.PauseTiming();
        HarnessEndLevel();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartLevel)
    ->DenseRange(0, NUM_LEVELS - 1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

BENCHMARK_MAIN();
