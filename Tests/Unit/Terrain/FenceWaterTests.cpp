// Fences and water built from small playfields: geometry on the ground, the limits, pushing movers back
// from fences, the water queries and the collision step on water, ripples, and picking fences, water
// and terrain against an exhaustive triangle search.

#include "TerrainTestSupport.h"

#include "3D/Picking.h"
#include "Objects/Collision.h"
#include "Objects/ObjNode.h"
#include "Objects/Shadows.h"
#include "System/FrameRate.h"
#include "Terrain/Fences.h"
#include "Terrain/Water.h"
#include "Unit/Picking/PickingTestSupport.h"

#include <random>

namespace {

// A material standing in for a loaded sprite: no texture, the given size.
MetaObject* FakeSpriteMaterial(int width, int height)
{
    MaterialRecord record = {};
    record.diffuseColor[0] = record.diffuseColor[1] = record.diffuseColor[2] = record.diffuseColor[3] = 1;
    record.width = width;
    record.height = height;
    return MO_CreateNewObjectOfType(MO_TYPE_MATERIAL, 0, &record);
}

// A map of 2 x 2 supertiles whose ground rises gently toward +x (heights in world units).
PlayfieldDescription SlopedPlayfield()
{
    PlayfieldDescription p = FlatPlayfield(2, 2);
    p.heightDivisor = 210.0f;
    for (int row = 0; row <= p.mapDepth; row++)
        for (int col = 0; col <= p.mapWidth; col++)
            p.heights[size_t(row * (p.mapWidth + 1) + col)] = float(col) * 10.0f;
    return p;
}

// Map units of a world coordinate.
int32_t Map(float world)
{
    return int32_t(world / (210.0f / 32.0f));
}

} // namespace

class FencesAndWater : public TerrainTest
{
protected:
    void SetUp() override
    {
        TerrainTest::SetUp();
        InitObjectPool();
        MakeSpriteGroup(SPRITE_GROUP_LEVELSPECIFIC, 2, 512, 256); // barrier, fence: twice as wide as high
        MakeSpriteGroup(SPRITE_GROUP_GLOBAL, 9, 64, 64);
        gFrameSeconds = 0.1f;
    }
    void TearDown() override
    {
        gPickBothSides = false;
        DisposeAllObjects();
        FreeTerrainData();
        FreeSpriteGroup(SPRITE_GROUP_LEVELSPECIFIC);
        FreeSpriteGroup(SPRITE_GROUP_GLOBAL);
        TerrainTest::TearDown();
    }

    void MakeSpriteGroup(int group, int count, int width, int height)
    {
        gSpriteGroupList[group] = (SpriteGroupEntry*)AllocPtrClear(int32_t(sizeof(SpriteGroupEntry)) * count);
        for (int i = 0; i < count; i++)
            gSpriteGroupList[group][i] = {width, height, FakeSpriteMaterial(width, height)};
        gNumSpritesInGroupList[group] = count;
    }
    void FreeSpriteGroup(int group)
    {
        for (int i = 0; i < gNumSpritesInGroupList[group]; i++)
            MO_DisposeObjectReference(gSpriteGroupList[group][i].materialObject);
        SafeDisposePtr(gSpriteGroupList[group]);
        gSpriteGroupList[group] = nullptr;
        gNumSpritesInGroupList[group] = 0;
    }

    // A mover of the given radius going from `from` to `to` on the ground plane.
    ObjNode* MakeFenceMover(Point2D from, Point2D to, Vector2D velocity, float radius, uint32_t cType = 0)
    {
        ObjectDefinition def = {};
        def.genre = CUSTOM_DRAW_GENRE;
        def.slot = 10;
        def.position = {from.x, 200, from.y};
        def.scale = 1;
        ObjNode* node = MakeNewObject(&def);
        node->BoundingRadius = radius;
        node->CType = cType;
        node->Velocity = {velocity.x, 0, velocity.y};
        BeginNodeUpdate(node);
        gWorkPos = {to.x, 200, to.y};
        return node;
    }
};

TEST_F(FencesAndWater, FencesStandOnTheGroundWithBoardsAtTheSpritesAspect)
{
    PlayfieldDescription p = SlopedPlayfield();
    p.fences.push_back({0, {{Map(420), Map(420)}, {Map(840), Map(420)}, {Map(840), Map(1260)}}});
    Load(p);
    PrimeFences();

    const FenceRecordType& fence = gFences[0];
    EXPECT_FLOAT_EQ(fence.nubs[1].x, Map(840) * gMapToWorld);
    EXPECT_NEAR(fence.nubs[1].y, TerrainHeightAt(fence.nubs[1].x, fence.nubs[1].z) - 30, 1e-3);
    EXPECT_NEAR(fence.sectionVectors[1].y, 1, 1e-5);  // second section runs along +z
    EXPECT_NEAR(fence.sectionNormals[1].x, -1, 1e-5); // (-dir.z, dir.x)

    const VertexArrayGeometry* mesh = GetFenceGeometry(0);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->numPoints, 6);
    EXPECT_EQ(mesh->numTriangles, 4);
    EXPECT_NEAR(mesh->points[3].y - mesh->points[2].y, 1500 + 1500.0f / 8, 1e-2); // bottom sunk, top 1500 up
    // u grows by aspect 2 x length / height along the bottom edge.
    float length = Distance3D(&mesh->points[0], &mesh->points[2]);
    EXPECT_NEAR(mesh->uvs[0][4], 2 * length / 1500, 1e-4);
    EXPECT_FLOAT_EQ(mesh->uvs[0][1], 1.125f);
    EXPECT_FLOAT_EQ(mesh->uvs[0][3], 0.0f);
    EXPECT_LE(fence.bounds.minY, mesh->points[0].y);
    EXPECT_GE(fence.bounds.maxY, mesh->points[5].y);

    // The draw object exists in slot 4.
    bool found = false;
    for (ObjNode* node = gObjectListHead; node; node = node->NextInList)
        found |= node->Slot == FENCE_DRAW_SLOT && node->DrawProc == DrawFences;
    EXPECT_TRUE(found);
}

TEST_F(FencesAndWater, FenceLimitsBrokenAtRuntimeAreFatalNamingTheFile)
{
    PlayfieldDescription p = SlopedPlayfield();
    p.fences.push_back({0, {{10, 10}, {50, 50}}});
    Load(p);
    // A scene without its own fence texture (the swamp) cannot show a visible fence.
    gNumSpritesInGroupList[SPRITE_GROUP_LEVELSPECIFIC] = 1;
    EXPECT_EQ(
        FatalAlertMessageOf([] { PrimeFences(); }),
        "PrimeFences: illegal fence sprite (test.ter: fence 0 wants sprite 1 of group 6, which holds 1)");
    gNumSpritesInGroupList[SPRITE_GROUP_LEVELSPECIFIC] = 2;
    int32_t count = gNumFences;
    gNumFences = MAX_FENCES + 1;
    EXPECT_EQ(FatalAlertMessageOf([] { PrimeFences(); }),
              "PrimeFences: gNumFences > MAX_FENCES (test.ter has 91)");
    gNumFences = count;
    gFences[0].numNubs = 1;
    EXPECT_EQ(FatalAlertMessageOf([] { PrimeFences(); }), "PrimeFences: numNubs == 1 (test.ter: fence 0)");
    gFences[0].numNubs = 2;
    gFences[0].type = 7;
    EXPECT_EQ(FatalAlertMessageOf([] { PrimeFences(); }),
              "PrimeFences: illegal fence type (test.ter: fence 0 has type 7)");
    gFences[0].type = 0;
}

TEST_F(FencesAndWater, CrossingAFenceEndsJustOnTheMoversSideWithTheSpeedBounced)
{
    PlayfieldDescription p = SlopedPlayfield();
    p.fences.push_back({0, {{Map(1000), Map(400)}, {Map(1000), Map(2400)}}}); // a line along z at x ~ 1000
    Load(p);
    PrimeFences();
    float fenceX = gFences[0].nubs[0].x;

    ObjNode* mover = MakeFenceMover({900, 1400}, {1100, 1400}, {500, 0}, 20);
    EXPECT_TRUE(CollideWithFences(mover));
    EXPECT_NEAR(gWorkPos.x, fenceX - 20 - 8, 1.0f); // radius and clearance on the side it came from
    EXPECT_NEAR(gWorkPos.z, 1400, 1.0f);
    EXPECT_NEAR(gWorkVel.x, -500 * 0.6f, 1e-2);

    // Moving alongside, farther than the radius from the fence and its posts: untouched.
    mover = MakeFenceMover({fenceX - 100, 900}, {fenceX - 100, 1300}, {0, 400}, 20);
    EXPECT_FALSE(CollideWithFences(mover));
    EXPECT_FLOAT_EQ(gWorkPos.z, 1300);

    // Standing still never collides.
    mover = MakeFenceMover({fenceX, 1400}, {fenceX, 1400}, {0, 0}, 20);
    EXPECT_FALSE(CollideWithFences(mover));

    // The collision handler reports a fence hit on every side.
    mover = MakeFenceMover({900, 1400}, {1100, 1400}, {500, 0}, 20);
    SetSingleCollisionBox(mover, 10, -10, -10, 10, 10, -10);
    mover->OldPosition = {900, 200, 1400};
    EXPECT_EQ(ResolveCollisions(mover, CT_FENCE, 0.5f), ALL_SOLID_SIDES);
    EXPECT_LT(gWorkPos.x, fenceX);
}

TEST_F(FencesAndWater, TheEnemyBarrierStopsOnlyEnemies)
{
    PlayfieldDescription p = SlopedPlayfield();
    p.fences.push_back({1, {{Map(1000), Map(400)}, {Map(1000), Map(2400)}}});
    Load(p);
    PrimeFences();
    ObjNode* player = MakeFenceMover({900, 1400}, {1100, 1400}, {500, 0}, 20, 0x1);
    EXPECT_FALSE(CollideWithFences(player));
    EXPECT_FLOAT_EQ(gWorkPos.x, 1100);
    ObjNode* enemy = MakeFenceMover({900, 1400}, {1100, 1400}, {500, 0}, 20, CT_ENEMY_BARRIER);
    EXPECT_TRUE(CollideWithFences(enemy));
    EXPECT_LT(gWorkPos.x, 1000);
    // And it is not pickable: it is invisible outside debug display mode 2.
    PickSegment segment = {{900, 50, 1400}, {1100, 50, 1400}};
    EXPECT_FALSE(SegmentHitsFences(&segment, nullptr, nullptr, nullptr));
}

TEST_F(FencesAndWater, AMoverThrownBackAndForthByOneFenceEndsWhereItStarted)
{
    // A tight zigzag: every push lands across another section.
    PlayfieldDescription p = SlopedPlayfield();
    std::vector<std::pair<int32_t, int32_t>> nubs;
    for (int i = 0; i < 12; i++)
        nubs.push_back({Map(1000 + (i % 2) * 30.0f), Map(1000 + i * 12.0f)});
    p.fences.push_back({0, nubs});
    Load(p);
    PrimeFences();
    ObjNode* mover = MakeFenceMover({900, 1060}, {1150, 1070}, {800, 40}, 40);
    EXPECT_TRUE(CollideWithFences(mover));
    EXPECT_FLOAT_EQ(gWorkPos.x, mover->OldPosition.x);
    EXPECT_FLOAT_EQ(gWorkPos.z, mover->OldPosition.z);
}

TEST_F(FencesAndWater, ClosedOutlinesDropTheRepeatedNubAndHeightsComeFromTableOrGround)
{
    PlayfieldDescription p = SlopedPlayfield();
    // Fixed height (400), outline closed by repeating the first nub.
    p.water.push_back({0, 1, 1, {{0, 0}, {200, 0}, {200, 200}, {0, 200}, {0, 0}}, {0, 0}});
    // Ground height at the hot spot.
    p.water.push_back({1, 0, 0, {{300, 300}, {400, 300}, {400, 400}}, {320, 320}});
    Load(p);
    PrimeTerrainWater();
    ASSERT_EQ(GetWaterPatchCount(), 2);
    BoundingBox bounds;
    const VertexArrayGeometry* square = GetWaterPatchGeometry(0, &bounds);
    EXPECT_EQ(square->numPoints, 5); // four nubs and the centre
    EXPECT_EQ(square->numTriangles, 4);
    EXPECT_FLOAT_EQ(square->points[4].x, 100 * gMapToWorld);
    EXPECT_FLOAT_EQ(square->points[0].y, 400.0f);
    const VertexArrayGeometry* triangle = GetWaterPatchGeometry(1, nullptr);
    EXPECT_NEAR(triangle->points[0].y, TerrainHeightAt(320 * gMapToWorld, 320 * gMapToWorld), 1e-3);
    EXPECT_EQ(square->materials[0], square->materials[1]);
    EXPECT_TRUE(MO_GetMaterialData(square->materials[0])->flags & MO_MATERIAL_FLAG_MULTITEXTURE);
}

TEST_F(FencesAndWater, WaterQueriesCountTheBoundsOnlyWhenInclusiveAndNeverOutsideTheOutline)
{
    PlayfieldDescription p = SlopedPlayfield();
    p.water.push_back({0, 1, 1, {{0, 0}, {200, 0}, {200, 200}, {0, 200}}, {0, 0}});
    p.water.push_back({0, 1, 1, {{300, 300}, {500, 300}, {300, 500}}, {0, 0}}); // a right triangle
    Load(p);
    PrimeTerrainWater();
    float edge = 200 * gMapToWorld, y = -1;
    EXPECT_TRUE(WaterHeightAt(edge, 50, &y));
    EXPECT_FLOAT_EQ(y, 400.0f);
    EXPECT_FALSE(IsPointOverWater(edge, 50));
    EXPECT_TRUE(IsPointOverWater(edge - 1, 50));
    EXPECT_FALSE(WaterHeightAt(edge + 1, 50, &y));
    EXPECT_FLOAT_EQ(y, 0.0f);
    // Inside the triangle's bounds but beyond its long edge: dry ground.
    float corner = 480 * gMapToWorld;
    EXPECT_FALSE(WaterHeightAt(corner, corner, &y));
    EXPECT_TRUE(WaterHeightAt(320 * gMapToWorld, 320 * gMapToWorld, &y));

    // The collision step lifts a sinking mover onto the surface and marks it in the water.
    ObjNode* duck = MakeFenceMover({50, 50}, {60, 50}, {10, 0}, 10);
    SetSingleCollisionBox(duck, 10, -10, -10, 10, 10, -10);
    gWorkPos.y = 395;
    gWorkVel.y = -50;
    EXPECT_EQ(ResolveCollisions(duck, CT_WATER, 0.5f), SIDE_BITS_BOTTOM);
    EXPECT_FLOAT_EQ(gWorkPos.y, 410);
    EXPECT_FLOAT_EQ(gWorkVel.y, 0);
    EXPECT_TRUE(duck->StatusFlags & NODEBIT_IN_WATER);
    gWorkPos.y = 600;
    EXPECT_EQ(ResolveCollisions(duck, CT_WATER, 0.5f), 0);
    EXPECT_FALSE(duck->StatusFlags & NODEBIT_IN_WATER);
    EXPECT_FLOAT_EQ(HighestSurfaceAtXZ(50, 50, CT_WATER | CT_TERRAIN), 400.0f);
}

TEST_F(FencesAndWater, WaterLimitsBrokenAtRuntimeAreFatalNamingTheFile)
{
    PlayfieldDescription p = SlopedPlayfield();
    p.water.push_back({0, 1, 1, {{0, 0}, {200, 0}, {200, 200}}, {0, 0}});
    Load(p);
    gWaterPatches[0].type = NUM_WATER_TYPES;
    EXPECT_EQ(FatalAlertMessageOf([] { PrimeTerrainWater(); }),
              "PrimeTerrainWater: illegal water type (test.ter: patch 0 has type 11)");
    gWaterPatches[0].type = 0;
    gWaterPatches[0].numNubs = 81;
    EXPECT_EQ(FatalAlertMessageOf([] { PrimeTerrainWater(); }),
              "PrimeTerrainWater: numNubs > MAX_NUBS_IN_WATER (test.ter: patch 0 has 81)");
    gWaterPatches[0].numNubs = 2;
    EXPECT_EQ(FatalAlertMessageOf([] { PrimeTerrainWater(); }), "MakeWaterGeometry: numNubs < 3 (test.ter)");
    gWaterPatches[0].numNubs = 3;
    int32_t count = gNumWaterPatches;
    gNumWaterPatches = MAX_WATER + 1;
    EXPECT_EQ(FatalAlertMessageOf([] { PrimeTerrainWater(); }),
              "PrimeTerrainWater: gNumWaterPatches > MAX_WATER (test.ter has 61)");
    gNumWaterPatches = count;
}

TEST_F(FencesAndWater, RipplesSpreadFadeAndAFullPoolDropsNewOnesSilently)
{
    PlayfieldDescription p = SlopedPlayfield();
    p.water.push_back({0, 1, 1, {{0, 0}, {200, 0}, {200, 200}, {0, 200}}, {0, 0}});
    Load(p);
    PrimeTerrainWater();
    SpawnWaterRipples(2000, 2000, 10, 40, 0.5f, 3); // dry ground
    EXPECT_EQ(GetActiveRippleCount(), 0);
    SpawnWaterRipples(100, 100, 10, 40, 0.5f, 3);
    EXPECT_EQ(GetActiveRippleCount(), 3);
    ObjNode* rippleObject = nullptr;
    for (ObjNode* node = gObjectListHead; node; node = node->NextInList)
        if (node->Slot == RIPPLE_SLOT_WATER)
            rippleObject = node;
    ASSERT_NE(rippleObject, nullptr);

    Point3D point = {100, 400, 100};
    for (int i = 0; i < MAX_RIPPLES + 20; i++)
        SpawnRipple(&point, 25, 150, 0.5f);
    EXPECT_EQ(GetActiveRippleCount(), MAX_RIPPLES);

    // Alpha starts below 1 and fades at 0.5 a second: all are gone within two seconds, and so is their
    // object.
    for (int frame = 0; frame < 25 && GetActiveRippleCount() > 0; frame++)
        MoveObjects();
    EXPECT_EQ(GetActiveRippleCount(), 0);
    for (ObjNode* node = gObjectListHead; node; node = node->NextInList)
        EXPECT_NE(node->Slot, RIPPLE_SLOT_WATER);
    SpawnRipple(&point, 25, 150, 0.5f); // a new object is made for the next ripple
    EXPECT_EQ(GetActiveRippleCount(), 1);
}

TEST_F(FencesAndWater, FenceWaterAndTerrainPicksAgreeWithAnExhaustiveSearch)
{
    PlayfieldDescription p = SlopedPlayfield();
    std::mt19937 random(5);
    std::uniform_real_distribution<float> anywhere(200, 3200);
    for (int f = 0; f < 4; f++) {
        std::vector<std::pair<int32_t, int32_t>> nubs;
        for (int n = 0; n < 5; n++)
            nubs.push_back({Map(anywhere(random)), Map(anywhere(random))});
        p.fences.push_back({0, nubs});
    }
    p.water.push_back({0, 1, 1, {{50, 50}, {250, 60}, {260, 250}, {40, 240}}, {0, 0}});
    p.water.push_back({1, 0, 0, {{300, 300}, {450, 320}, {380, 460}}, {350, 350}});
    Load(p);
    for (int row = 0; row < gSuperTilesDeep; row++)
        for (int col = 0; col < gSuperTilesWide; col++)
            BuildSuperTileMesh(col * TILES_PER_SUPERTILE, row * TILES_PER_SUPERTILE);
    PrimeTerrainWater();
    PrimeFences();

    std::vector<ReferenceTriangle> fences, water, terrain;
    for (int i = 0; i < gNumFences; i++)
        AppendMeshTriangles(GetFenceGeometry(i), &fences);
    for (int i = 0; i < GetWaterPatchCount(); i++)
        AppendMeshTriangles(GetWaterPatchGeometry(i, nullptr), &water);
    for (const SuperTileSlot& slot : gSuperTileSlots)
        if (slot.inUse)
            AppendMeshTriangles(slot.mesh, &terrain);

    std::uniform_real_distribution<float> height(-200, 1800);
    int decisive = 0, hits = 0;
    for (int s = 0; s < 1500; s++) {
        PickSegment segment = {{anywhere(random), height(random), anywhere(random)},
                               {anywhere(random), height(random), anywhere(random)}};
        Vector3D d = {segment.end.x - segment.start.x, segment.end.y - segment.start.y,
                      segment.end.z - segment.start.z};
        double length = VectorLength(&d);
        Normalize3(&d, &d);
        struct Kind
        {
            const std::vector<ReferenceTriangle>* triangles;
            bool (*pick)(const PickSegment*, Point3D*, Vector3D*, float*);
            bool twoSided;
        } kinds[3] = {{&fences, SegmentHitsFences, true},
                      {&water, SegmentHitsWater, true},
                      {&terrain, SegmentHitsTerrain, false}};
        for (const Kind& kind : kinds) {
            ReferenceHit expected = ReferencePick(*kind.triangles, segment.start, d, length, !kind.twoSided);
            Point3D point;
            Vector3D normal;
            float distance;
            bool hit = kind.pick(&segment, &point, &normal, &distance);
            EXPECT_FALSE(gPickBothSides);
            if (!expected.decisive)
                continue;
            decisive++;
            ASSERT_EQ(hit, expected.hit) << "segment " << s;
            if (!hit) {
                EXPECT_EQ(distance, PICK_SEGMENT_NO_HIT);
                continue;
            }
            hits++;
            EXPECT_NEAR(distance, expected.distance, 0.05);
            Vector3D want = expected.normal;
            if (kind.twoSided && want.x * d.x + want.y * d.y + want.z * d.z > 0)
                want = {-want.x, -want.y, -want.z}; // fences and water face the segment's start
            EXPECT_NEAR(normal.x, want.x, 1e-3);
            EXPECT_NEAR(normal.y, want.y, 1e-3);
            EXPECT_NEAR(normal.z, want.z, 1e-3);
            if (kind.twoSided) {
                EXPECT_LE(normal.x * d.x + normal.y * d.y + normal.z * d.z, 0.0f);
            }
        }
    }
    EXPECT_GT(decisive, 4000);
    EXPECT_GT(hits, 400);
}

TEST_F(FencesAndWater, TerrainRaysSkipSupertilesWhoseSphereTheyMiss)
{
    Load(SlopedPlayfield());
    BuildSuperTileMesh(0, 0);
    // Straight down through the middle of the supertile: hit on the ground.
    PickRay down = {{840, 2000, 840}, {0, -1, 0}, 0};
    Point3D point;
    ASSERT_TRUE(RayHitsTerrain(&down, &point, nullptr));
    EXPECT_NEAR(point.y, TerrainHeightAt(840, 840), 0.05);
    EXPECT_NEAR(down.distance, 2000 - point.y, 0.05);
    // Straight down at a corner, outside the 840-unit sphere around the centre: no hit, distance untouched.
    PickRay corner = {{20, 2000, 20}, {0, -1, 0}, 123};
    EXPECT_FALSE(RayHitsTerrain(&corner, nullptr, nullptr));
    EXPECT_EQ(corner.distance, 123);
    // The segment test has no such sphere and finds the corner.
    PickSegment segment = {{20, 2000, 20}, {20, -100, 20}};
    EXPECT_TRUE(SegmentHitsTerrain(&segment, nullptr, nullptr, nullptr));
}

TEST_F(FencesAndWater, DistantFenceNubsFadeOutWithTheCameraDistance)
{
    PlayfieldDescription p = SlopedPlayfield();
    p.fences.push_back({0, {{Map(420), Map(420)}, {Map(1420), Map(420)}, {Map(2420), Map(420)}}});
    Load(p);
    PrimeFences();
    const FenceRecordType& fence = gFences[0];
    PlaceCamera(0, fence.nubs[0].x, fence.nubs[0].z);
    gFadeStartDistance = 800;
    gFadeEndDistance = 1800;
    FadeFencesByDistance();
    gFadeStartDistance = gFadeEndDistance = 0;

    const float* colors = GetFenceGeometry(0)->colors;
    float d1 = fence.nubs[1].x - fence.nubs[0].x;
    EXPECT_FLOAT_EQ(colors[3], 1.0f);
    EXPECT_FLOAT_EQ(colors[7], 1.0f);
    EXPECT_NEAR(colors[8 + 3], 1.0f - (d1 - 800) / 1000, 1e-4);
    EXPECT_NEAR(colors[8 + 7], 1.0f - (d1 - 800) / 1000, 1e-4);
    EXPECT_FLOAT_EQ(colors[16 + 3], 0.0f);
}

TEST_F(FencesAndWater, AShadowOverWaterLiesOnTheSurfaceAtFullSize)
{
    PlayfieldDescription p = SlopedPlayfield();
    p.water.push_back({0, 1, 1, {{0, 0}, {200, 0}, {200, 200}, {0, 200}}, {0, 0}}); // surface at 400
    Load(p);
    PrimeTerrainWater();

    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = 100;
    def.scale = 1;
    def.position = {100 * gMapToWorld, 900, 100 * gMapToWorld};
    ObjNode* overWater = MakeNewObject(&def);
    def.position = {300 * gMapToWorld, 900, 300 * gMapToWorld};
    ObjNode* overLand = MakeNewObject(&def);
    ObjNode* wet = MakeShadowNode(overWater, 0, 2, 3, true);
    ObjNode* dry = MakeShadowNode(overLand, 0, 2, 3, true);
    MoveShadowNode(overWater);
    MoveShadowNode(overLand);

    EXPECT_NEAR(wet->Position.y, 402.1f, 1e-3f);
    EXPECT_FLOAT_EQ(wet->Scale.x, 2);
    EXPECT_FLOAT_EQ(wet->Scale.z, 3);
    // Over dry land it keeps to the ground, shrunk by the owner's height above it.
    EXPECT_NEAR(dry->Position.y, TerrainHeightAt(overLand->Position.x, overLand->Position.z) + 2.1f, 1e-2f);
    EXPECT_LT(dry->Scale.x, 2);
}
