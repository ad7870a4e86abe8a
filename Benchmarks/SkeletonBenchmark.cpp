// SkeletonBenchmark: the per-frame cost of animating and skinning the player and a pack of 20 raptors (in
// microseconds per creature per frame), and the load time of all seven skeleton types. Needs no display:
// the models' textures are decoded and dropped. Run it in a folder holding the generated Data (the build
// folder).
#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "3D/TQ3D.h"
#include "Objects/ObjNode.h"
#include "Skeleton/Skeleton.h"
#include "System/FrameRate.h"
#include "System/GameShell.h"
#include "Tarnet/Tarnet.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

static GameViewInfo gStandInView;

static void Prepare()
{
    static bool ready = false;
    if (ready)
        return;
    Tarnet::Startup();
    MO_InitMetaObjectList();
    TQ3D_InitContainers();
    InitSkeletonManager();
    InitObjectPool();
    gSkeletonTexturesUploaded = false;
    gGameViewInfoPtr = &gStandInView;
    OGL_InitVertexArrayMemory();
    gDataFolderSpec = Tarnet::HostPathToFSSpec(std::filesystem::current_path() / "Data" / "Skeletons");
    ready = true;
}

static void FreeEverything()
{
    DisposeAllObjects();
    FreeAllSkeletonFiles(-1);
    TQ3D_DisposeAllContainers();
}

static ObjNode* MakeCreature(int type, int anim, float x)
{
    ObjectDefinition def = {};
    def.artIndex = uint8_t(type);
    def.startAnim = uint8_t(anim);
    def.position = {x, 0, 0};
    def.slot = 100;
    def.scale = 2.5f;
    return MakeNewSkeletonBaseData(&def);
}

// One frame of `count` creatures of `type` running animation `anim`; the time is per creature.
static void SkinCreatures(benchmark::State& state, int type, int anim, int count)
{
    Prepare();
    LoadASkeleton(type);
    std::vector<ObjNode*> nodes;
    for (int i = 0; i < count; i++)
        nodes.push_back(MakeCreature(type, anim, 300.0f * i));
    gFrameSeconds = 1.0f / 60;
    for (auto _ : state) {
        for (ObjNode* node : nodes) {
            AdvanceSkeletonAnimation(node);
            UpdateSkinnedGeometry(node);
        }
        gStandInView.frameCount++;
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * count);
    state.counters["us_per_creature"] = benchmark::Counter(
        double(count), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert,
        benchmark::Counter::OneK::kIs1000);
    FreeEverything();
}

static void BM_SkinPlayer(benchmark::State& state)
{
    SkinCreatures(state, SKELETON_TYPE_PLAYER, 0, 1);
}
BENCHMARK(BM_SkinPlayer)->Unit(benchmark::kMicrosecond);

static void BM_SkinTwentyRaptors(benchmark::State& state)
{
    SkinCreatures(state, SKELETON_TYPE_RAPTOR, 0, 20);
}
BENCHMARK(BM_SkinTwentyRaptors)->Unit(benchmark::kMicrosecond);

static void BM_LoadAllSevenTypes(benchmark::State& state)
{
    Prepare();
    for (auto _ : state) {
        for (int type = 0; type < MAX_SKELETON_TYPES; type++)
            LoadASkeleton(type);
        state.PauseTiming();
        FreeEverything();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadAllSevenTypes)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
