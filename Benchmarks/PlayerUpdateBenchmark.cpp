// The cost of one frame of the player and its camera on level1: reading the flight needs, the
// player's move routine (steering, flight step, ground, water, fence and body-segment contacts)
// and the chase camera. The player is put back at its start each time so it stays over the level.
// Run from the build folder (it needs Data) under a display: xvfb-run -a Benchmarks/PlayerUpdateBenchmark

#include "Gameplay/Camera.h"
#include "Gameplay/Player.h"
#include "Support/GameBenchmarks.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/Level.h"
#include "System/LevelHarness.h"

#include <benchmark/benchmark.h>

static void BM_PlayerAndCameraFrame(benchmark::State& state)
{
    SetNeedsScripted(true);
    gPlayMode = kPlayMode_Adventure;
    InitPlayerRecords(false);
    gFixedFrameSeconds = 1.0f / 60.0f;
    HarnessStartLevel(0, kPlayMode_Adventure, 1, 2);
    HarnessPlayFrames(5, nullptr, nullptr);
    SetScriptedNeedValue(0, kNeedRight, 0.7f);
    SetScriptedNeedValue(0, kNeedDown, 0.2f);
    PollInput();

    ObjNode* node = gPlayers[0].objNode;
    const Point3D start = node->Position;
    const Vector3D startVelocity = node->Velocity;
    for (auto _ : state) {
        node->Position = start;
        node->Velocity = startVelocity;
        UpdatePlayerInputs(0);
        StoreOldBoxes(node);
        MovePlayer(node);
        MoveCameras();
        benchmark::DoNotOptimize(gPlayers[0].cameraFrom);
    }

    HarnessEndLevel();
    SetNeedsScripted(false);
    gFixedFrameSeconds = 0;
}
BENCHMARK(BM_PlayerAndCameraFrame)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    return RunGameBenchmarks(argc, argv, 640, 480);
}
