// CollisionBenchmark: the solid world at its busiest. The generated level with the most map items is
// loaded (images decoded, no textures), every supertile built, its fences and water primed, and one
// solid display-group node stands at every map item, as if every item of the map had been added. Then:
// the collision handler for one mover flying over the map, and segment and ray picks against the whole
// scene (objects, terrain, fences, water). The goal: 200 segment picks per frame in under a
// millisecond. Counters report the blocks allocated during the timed loop (should be 0). Run it in a
// folder holding the generated Data (the build folder); no display is needed.
#include "3D/OGL_Support.h"
#include "3D/Picking.h"
#include "Objects/BaseGroup.h"
#include "Objects/Collision.h"
#include "Objects/ObjNode.h"
#include "System/Memory.h"
#include "System/Prefs.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/Fences.h"
#include "Terrain/TerrainLocal.h"
#include "Terrain/Water.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

static const char* const kLevels[] = {"level1",  "level2",  "level3", "race1", "race2",
                                      "battle1", "battle2", "flag1",  "flag2"};
constexpr uint32_t kItemType = 0x10000; // the weapons' target bit
constexpr uint32_t kEverything = kItemType | CT_TERRAIN | CT_FENCE | CT_WATER;

static bool gSceneReady = false;
static GameViewInfo gView;
static std::mt19937 gRandom(11);

static void FakeSpriteGroup(int group, int count)
{
    gSpriteGroupList[group] = (SpriteGroupEntry*)AllocPtrClear(int32_t(sizeof(SpriteGroupEntry)) * count);
    for (int i = 0; i < count; i++) {
        MaterialRecord record = {};
        record.diffuseColor[3] = 1;
        gSpriteGroupList[group][i] = {256, 256, MO_CreateNewObjectOfType(MO_TYPE_MATERIAL, 0, &record)};
    }
    gNumSpritesInGroupList[group] = count;
}

// A rock-sized mesh: an eight-sided column of 32 triangles, about 100 across and 150 high.
static MetaObject* MakeColumnMesh()
{
    VertexArrayGeometry g = {};
    g.varPool = -1;
    g.numPoints = 18;
    g.numTriangles = 32;
    g.points = (Point3D*)AllocPtr(g.numPoints * int32_t(sizeof(Point3D)));
    g.triangles = (uint32_t*)AllocPtr(g.numTriangles * 3 * int32_t(sizeof(uint32_t)));
    for (int i = 0; i < 8; i++) {
        float a = float(i) * 0.785398f;
        g.points[i] = {50 * std::cos(a), 0, 50 * std::sin(a)};
        g.points[8 + i] = {50 * std::cos(a), 150, 50 * std::sin(a)};
    }
    g.points[16] = {0, 0, 0};
    g.points[17] = {0, 150, 0};
    uint32_t* t = g.triangles;
    for (uint32_t i = 0; i < 8; i++) {
        uint32_t j = (i + 1) % 8;
        uint32_t side[12] = {i, j, 8 + j, i, 8 + j, 8 + i, 16, j, i, 17, 8 + i, 8 + j};
        std::copy(side, side + 12, t);
        t += 12;
    }
    return MO_CreateNewObjectOfType(MO_TYPE_GEOMETRY, MO_GEOMETRY_SUBTYPE_VERTEXARRAY, &g);
}

static bool MakeBusiestScene()
{
    if (gSceneReady)
        return true;
    Tarnet::Startup();
    gPrefs.reducedDetail = 0;
    gView = {};
    gView.isActive = true;
    gView.lightCount = 1;
    gView.lightDirection[0] = {0.4f, -0.5f, 0.5f};
    gGameViewInfoPtr = &gView;
    gNumPanes = 1;
    OGL_InitVertexArrayMemory();
    InitTerrainManager();
    MO_InitMetaObjectList();
    InitObjectManager();
    FakeSpriteGroup(SPRITE_GROUP_LEVELSPECIFIC, 2);
    FakeSpriteGroup(SPRITE_GROUP_GLOBAL, 9);

    // The level with the most items.
    int busiest = -1, mostItems = -1;
    for (int i = 0; i < 9; i++) {
        std::filesystem::path path =
            std::filesystem::path("Data") / "Terrain" / (std::string(kLevels[i]) + ".ter");
        if (!std::filesystem::exists(path))
            return false;
        Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(path);
        LoadPlayfieldData(&spec, kPlayfieldImages_DecodeOnly);
        if (gNumMapItems > mostItems)
            mostItems = gNumMapItems, busiest = i;
        FreeTerrainData();
    }
    std::filesystem::path path =
        std::filesystem::path("Data") / "Terrain" / (std::string(kLevels[busiest]) + ".ter");
    Tarnet::FSSpec spec = Tarnet::HostPathToFSSpec(path);
    LoadPlayfieldData(&spec, kPlayfieldImages_DecodeOnly);
    CreateSuperTileMemoryList();
    for (int row = 0; row < gSuperTilesDeep; row++)
        for (int col = 0; col < gSuperTilesWide; col++)
            if (gSuperTileGrid[row][col] >= 0)
                BuildSuperTileMesh(col * TILES_PER_SUPERTILE, row * TILES_PER_SUPERTILE);
    PrimeTerrainWater();
    PrimeFences();

    MetaObject* column = MakeColumnMesh();
    for (int i = 0; i < gNumMapItems; i++) {
        ObjectDefinition def = {};
        def.genre = DISPLAY_GROUP_GENRE;
        def.slot = 200;
        def.position = {float(gMapItems[i].x), TerrainHeightAt(float(gMapItems[i].x), float(gMapItems[i].z)),
                        float(gMapItems[i].z)};
        def.rotationY = float(i);
        def.scale = 1;
        ObjNode* node = MakeNewObject(&def);
        CreateBaseGroup(node);
        MO_AppendToGroup(node->BaseGroup, column);
        node->BoundingRadius = 160;
        node->CType = kItemType;
        node->SolidSides = ALL_SOLID_SIDES;
        SetSingleCollisionBox(node, 150, 0, -50, 50, 50, -50);
    }
    std::printf("%s: %d item nodes, %d fences, %d water patches\n", kLevels[busiest], gNumMapItems,
                gNumFences, gNumWaterPatches);
    gSceneReady = true;
    return true;
}

static Point3D RandomPointOverMap(float heightAbove)
{
    std::uniform_real_distribution<float> x(0, float(gMapWidthUnits)), z(0, float(gMapDepthUnits));
    float px = x(gRandom), pz = z(gRandom);
    return {px, TerrainHeightAt(px, pz) + heightAbove, pz};
}

static void BM_ResolveCollisionsPerMover(benchmark::State& state)
{
    if (!MakeBusiestScene()) {
        state.SkipWithError("no generated Data in the working directory");
        return;
    }
    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = 10;
    def.scale = 1;
    ObjNode* mover = MakeNewObject(&def);
    mover->BoundingRadius = 60;
    SetSingleCollisionBox(mover, 40, -40, -40, 40, 40, -40);
    int32_t blocks = gLiveBlockCount;
    for (auto _ : state) {
        mover->Position = RandomPointOverMap(30);
        StoreOldBoxes(mover);
        BeginNodeUpdate(mover);
        gWorkPos.x += 40;
        gWorkPos.y -= 50;
        gWorkVel = {2400, -3000, 0};
        benchmark::DoNotOptimize(ResolveCollisions(mover, kEverything, 0.5f));
    }
    state.counters["blocks allocated"] = double(gLiveBlockCount - blocks);
    state.SetItemsProcessed(state.iterations());
    DisposeObject(mover);
}

static void BM_SegmentPickAgainstTheWholeScene(benchmark::State& state)
{
    if (!MakeBusiestScene()) {
        state.SkipWithError("no generated Data in the working directory");
        return;
    }
    std::vector<PickSegment> segments(512);
    for (PickSegment& segment : segments) {
        segment.start = RandomPointOverMap(120);
        std::uniform_real_distribution<float> offset(-1500, 1500);
        segment.end = {segment.start.x + offset(gRandom), segment.start.y + offset(gRandom) * 0.2f - 100,
                       segment.start.z + offset(gRandom)};
    }
    // Warm the world-geometry caches so the loop measures the picks alone.
    for (const PickSegment& segment : segments) {
        ObjNode* node;
        Point3D point;
        Vector3D normal;
        uint32_t mask = kEverything;
        FindSegmentHit(&segment, &node, &point, &normal, &mask, false);
    }
    int32_t blocks = gLiveBlockCount;
    size_t i = 0;
    int hits = 0;
    for (auto _ : state) {
        ObjNode* node;
        Point3D point;
        Vector3D normal;
        uint32_t mask = kEverything;
        hits +=
            FindSegmentHit(&segments[i++ % segments.size()], &node, &point, &normal, &mask, state.range(0));
    }
    state.counters["blocks allocated"] = double(gLiveBlockCount - blocks);
    state.counters["hit share"] = double(hits) / double(state.iterations());
    state.SetItemsProcessed(state.iterations());
}

static void BM_RayPickAgainstTheWholeScene(benchmark::State& state)
{
    if (!MakeBusiestScene()) {
        state.SkipWithError("no generated Data in the working directory");
        return;
    }
    std::vector<PickRay> rays(512);
    for (PickRay& ray : rays) {
        ray.origin = RandomPointOverMap(200);
        std::uniform_real_distribution<float> c(-1, 1);
        Vector3D d = {c(gRandom), c(gRandom) * 0.3f - 0.2f, c(gRandom)};
        Normalize3(&d, &ray.direction);
    }
    for (const PickRay& warm : rays) { // fill the world-geometry caches first
        ObjNode* node;
        Point3D point;
        Vector3D normal;
        uint32_t mask = kItemType | CT_TERRAIN;
        PickRay ray = warm;
        FindRayHit(&ray, &node, &point, &normal, &mask);
    }
    int32_t blocks = gLiveBlockCount;
    size_t i = 0;
    for (auto _ : state) {
        ObjNode* node;
        Point3D point;
        Vector3D normal;
        uint32_t mask = kItemType | CT_TERRAIN;
        PickRay ray = rays[i++ % rays.size()];
        benchmark::DoNotOptimize(FindRayHit(&ray, &node, &point, &normal, &mask));
    }
    state.counters["blocks allocated"] = double(gLiveBlockCount - blocks);
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_ResolveCollisionsPerMover)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SegmentPickAgainstTheWholeScene)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RayPickAgainstTheWholeScene)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
