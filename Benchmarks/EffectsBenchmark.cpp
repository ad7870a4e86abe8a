// EffectsBenchmark: the frame cost of the effects at their limits on the first level, as the level
// loop plays it: every particle group full (80 x 150 particles in front of the camera) and 8 contrails
// of 50 points, against the same level without them, in one pane and in two. Also the particle
// manager's move and mesh build alone. Run from the build folder (it needs Data) under a display:
//   xvfb-run -a -s "-screen 0 1280x1024x24" Benchmarks/EffectsBenchmark

#include "3D/OGL_Support.h"
#include "Gameplay/Effects.h"
#include "Objects/ObjNode.h"
#include "Support/TestWindow.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/Level.h"
#include "System/LevelHarness.h"
#include "System/Prefs.h"
#include "System/Random.h"
#include "Tarnet/Tarnet.h"

#include <benchmark/benchmark.h>

static constexpr int kContrails = 8;

static int16_t gBenchContrails[kContrails];

static bool PrepareOnce()
{
    static bool prepared = false, ok = false;
    if (prepared)
        return ok;
    prepared = true;
    Tarnet::Startup();
    ResetPrefsToDefaults();
    if (!IsDisplayAvailable() || !OpenTestWindow(1280, 720))
        return false;
    SetUpInput();
    HarnessPrepareGame();
    ok = true;
    return ok;
}

// Every group full of long-lived particles around the point 600 ahead of camera 0.
static void FillEveryParticleGroup()
{
    const CameraPlacement& camera = gGameViewInfoPtr->cameras[0];
    Vector3D ahead;
    Normalize3XYZ(camera.target.x - camera.eye.x, camera.target.y - camera.eye.y,
                  camera.target.z - camera.eye.z, &ahead);
    Point3D centre = {camera.eye.x + ahead.x * 600, camera.eye.y + ahead.y * 600,
                      camera.eye.z + ahead.z * 600};

    for (int g = 0; g < PARTICLE_GROUP_LIMIT; g++) {
        ParticleGroupSpec def = {};
        def.flags = PGROUP_IGNORE_GROUND | (g % 4 == 0 ? PGROUP_FACE_EACH : 0);
        def.baseSize = 8;
        def.spriteIndex = uint8_t(g % 20);
        def.blendSource = EFFECT_BLEND_SRC_ALPHA;
        def.blendDest = g % 2 ? EFFECT_BLEND_ONE : EFFECT_BLEND_ONE_MINUS_SRC_ALPHA;
        int16_t group = CreateParticleGroup(&def);
        for (int i = 0; i < PARTICLES_PER_GROUP; i++) {
            Point3D p = {centre.x + RandomSigned() * 300, centre.y + RandomSigned() * 200,
                         centre.z + RandomSigned() * 300};
            Vector3D v = {RandomSigned() * 5, RandomSigned() * 5, RandomSigned() * 5};
            ParticleSpec spec = {group, &p, &v, 1, RandomUnit() * PI2, RandomSigned(), 0.3f};
            AddParticleToGroup(&spec);
        }
    }
    for (int16_t& contrail : gBenchContrails)
        CreateContrail(6, &contrail);
}

// The player's part: each contrail gains a point every frame, so all 50 stay alive.
static void ExtendContrails(int frame)
{
    const CameraPlacement& camera = gGameViewInfoPtr->cameras[0];
    Vector3D along = {1, 0, 0};
    for (int c = 0; c < kContrails; c++) {
        if (gBenchContrails[c] == -1)
            continue;
        Point3D p = {camera.target.x + float(frame % 50) * 12 - 300, camera.target.y + c * 30,
                     camera.target.z};
        AddPointToContrail(gBenchContrails[c], &p, &along, 1);
    }
}

static int gFrameNumber = 0;
static void BeforeFrame(int)
{
    ExtendContrails(gFrameNumber++);
}

// Arguments: effects on (1) or off (0), and the number of panes.
static void BM_LevelFrame(benchmark::State& state)
{
    if (!PrepareOnce()) {
        state.SkipWithError("no display: run under Xvfb from the build folder");
        return;
    }
    bool effects = state.range(0) != 0;
    int panes = int(state.range(1));
    HarnessStartLevel(0, kPlayMode_Adventure, panes, 2); // the same level either way
    HarnessPlayFrames(30, nullptr, nullptr);             // past the fade-in
    if (effects)
        FillEveryParticleGroup();

    int64_t drawCalls = 0;
    for (auto _ : state) {
        HarnessPlayFrames(1, effects ? BeforeFrame : nullptr, nullptr);
        glFinish();
        drawCalls += gFrameStats.drawCalls;
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["drawCalls/frame"] = double(drawCalls) / double(state.iterations());
    state.counters["particles"] = CountLiveParticles();
    HarnessEndLevel();
}
BENCHMARK(BM_LevelFrame)
    ->ArgsProduct({{0, 1}, {1, 2}})
    ->ArgNames({"effects", "panes"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);

// The particle manager's move pass and mesh build for 12000 particles, without drawing.
static void BM_UpdateFullParticleGroups(benchmark::State& state)
{
    if (!PrepareOnce()) {
        state.SkipWithError("no display: run under Xvfb from the build folder");
        return;
    }
    HarnessStartLevel(0, kPlayMode_Adventure, 1, 2);
    FillEveryParticleGroup();
    ObjNode* manager = gObjectListHead;
    while (manager && manager->MoveProc != UpdateParticleGroups)
        manager = manager->NextInList;
    gFrameSeconds = 1.0f / 60;
    for (auto _ : state) {
        UpdateParticleGroups(manager);
        gGameViewInfoPtr->frameCount++;
    }
    state.counters["particles"] = CountLiveParticles();
    HarnessEndLevel();
}
BENCHMARK(BM_UpdateFullParticleGroups)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
