#include "Support/GameBenchmarks.h"

#include "Support/GameWindowTest.h"

#include <benchmark/benchmark.h>

#include <cstdio>

int RunGameBenchmarks(int argc, char** argv, int width, int height)
{
    if (!OpenGameWindow(width, height)) {
        std::fprintf(stderr, "no window: run from the build folder under a display\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseGameWindow();
    return 0;
}
