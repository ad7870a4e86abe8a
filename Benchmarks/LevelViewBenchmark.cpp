// Each level's first view on this machine's OpenGL, at the game's default window size: the time
// LoadLevelArt takes, then frames per second, triangles and draw calls while the level plays.
// Run from the build folder (it needs Data) under a display: xvfb-run -a Benchmarks/LevelViewBenchmark

#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "Support/TestWindow.h"
#include "System/Input.h"
#include "System/Level.h"
#include "System/LevelHarness.h"
#include "System/Prefs.h"
#include "System/Window.h"
#include "Tarnet/Tarnet.h"

#include <SDL.h>
#include <cstdio>

static constexpr int kMeasuredFrames = 120;

int main()
{
    Tarnet::Startup();
    ResetPrefsToDefaults();
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    int width, height;
    ComputeWindowSize(0, &width, &height);
    if (!OpenTestWindow(width, height)) {
        std::fprintf(stderr, "no window: %s\n", SDL_GetError());
        return 1;
    }
    SetUpInput();
    HarnessPrepareGame();

    std::printf("window %d x %d\n", width, height);
    std::printf("| level | panes | LoadLevelArt ms | fps | triangles/frame | draw calls/frame |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (int level = 0; level < NUM_LEVELS; level++) {
        int panes = kLevelTable[level].playMode == kPlayMode_Adventure ? 1 : 2;
        uint64_t start = Tarnet::MicrosecondsNow();
        HarnessStartLevel(level, kLevelTable[level].playMode, panes, 2);
        uint64_t loaded = Tarnet::MicrosecondsNow();

        HarnessPlayFrames(30, nullptr, nullptr); // past the fade-in
        uint64_t playStart = Tarnet::MicrosecondsNow();
        HarnessPlayFrames(kMeasuredFrames, nullptr, nullptr);
        double seconds = double(Tarnet::MicrosecondsNow() - playStart) / 1e6;
        int triangles = gTrianglesDrawn;
        int drawCalls = gFrameStats.drawCalls;
        HarnessEndLevel();

        std::printf("| %s | %d | %d | %.1f | %d | %d |\n", kLevelTable[level].fileName, panes,
                    int((loaded - start) / 1000), kMeasuredFrames / seconds, triangles, drawCalls);
    }

    HarnessFinishGame();
    CloseTestWindow();
    Tarnet::Shutdown();
    return 0;
}
