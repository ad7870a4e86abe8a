// The cost per frame of the player's weapons on level1: twenty shots in flight (stun shots, flares,
// missiles and bombs, each a segment test against objects, terrain, fences and water), and the aim ray
// that finds what the player points at. A shot that hits or expires is fired again from the player.
// Run from the build folder (it needs Data) under a display: xvfb-run -a Benchmarks/ShotsBenchmark

#include "Gameplay/Player.h"
#include "Gameplay/Weapons.h"
#include "Support/GameBenchmarks.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/Level.h"
#include "System/LevelHarness.h"

#include <benchmark/benchmark.h>

#include <array>

static constexpr int kShotsInFlight = 20;

static void StartLevelOne()
{
    SetNeedsScripted(true);
    gPlayMode = kPlayMode_Adventure;
    InitPlayerRecords(false);
    gFixedFrameSeconds = 1.0f / 60.0f;
    HarnessStartLevel(0, kPlayMode_Adventure, 1, 2);
    HarnessPlayFrames(30, nullptr, nullptr);
}

static void EndLevelOne()
{
    HarnessEndLevel();
    SetNeedsScripted(false);
    gFixedFrameSeconds = 0;
}

// Shot i of the mix: eight stun shots, then four each of flares, missiles and bombs.
static ObjNode* FireShotOfKind(int i)
{
    ObjNode* player = gPlayers[0].objNode;
    Vector3D forward = {0, 0, -1}, aim;
    TransformVector(&forward, &player->Transform, &aim);
    Point3D muzzle = player->Position;
    if (i < 8)
        return FireStunShot(0, &muzzle, &aim);
    if (i < 12)
        return FireFlare(0, &muzzle, &aim);
    if (i < 16)
        return FireMissile(0, &muzzle, &aim);
    return DropBomb(0, &muzzle, &aim);
}

static void BM_TwentyShotsFrame(benchmark::State& state)
{
    StartLevelOne();
    std::array<ObjNode*, kShotsInFlight> shots;
    std::array<uint32_t, kShotsInFlight> stamps;
    for (int i = 0; i < kShotsInFlight; i++) {
        shots[i] = FireShotOfKind(i);
        stamps[i] = shots[i]->Stamp;
    }
    for (auto _ : state) {
        for (int i = 0; i < kShotsInFlight; i++) {
            ObjNode* shot = shots[i];
            if (shot->Stamp != stamps[i] || shot->CType == INVALID_NODE_FLAG) {
                shots[i] = shot = FireShotOfKind(i);
                stamps[i] = shot->Stamp;
            }
            StoreOldBoxes(shot);
            shot->MoveProc(shot);
        }
        benchmark::DoNotOptimize(shots);
    }
    EndLevelOne();
}
BENCHMARK(BM_TwentyShotsFrame)->Unit(benchmark::kMicrosecond);

static void BM_AimRay(benchmark::State& state)
{
    StartLevelOne();
    for (auto _ : state) {
        UpdateWeaponAim(0);
        benchmark::DoNotOptimize(gPlayers[0].aimTarget);
    }
    EndLevelOne();
}
BENCHMARK(BM_AimRay)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    return RunGameBenchmarks(argc, argv, 640, 480);
}
