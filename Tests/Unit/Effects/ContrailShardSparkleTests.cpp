#include "Unit/Effects/EffectsTestSupport.h"

#include "Skeleton/Skeleton.h"

// ---------------------------------------------------------------------------------------------------------
// Contrails
// ---------------------------------------------------------------------------------------------------------

static void AddPoints(int16_t contrail, int count, float alpha = 0.6f)
{
    Vector3D dir = {1, 0, 0};
    for (int i = 0; i < count; i++) {
        Point3D p = {float(i) * 20, 100, 0};
        AddPointToContrail(contrail, &p, &dir, alpha);
    }
}

TEST_F(EffectsTest, ContrailTableFillsAndTellsTheOwner)
{
    int16_t owners[CONTRAIL_LIMIT + 1];
    for (int i = 0; i < CONTRAIL_LIMIT; i++)
        EXPECT_EQ(CreateContrail(1, &owners[i]), i);
    EXPECT_EQ(CreateContrail(1, &owners[CONTRAIL_LIMIT]), -1);
    EXPECT_EQ(owners[CONTRAIL_LIMIT], -1) << "the owner learns that it got nothing";
}

TEST_F(EffectsTest, FiftyFirstPointOverwritesTheOldest)
{
    int16_t owner;
    int16_t c = CreateContrail(1, &owner);
    AddPoints(c, CONTRAIL_POINT_RING);
    EXPECT_EQ(gContrailTable[c].writeIndex, 0);
    Point3D newest = {-5, -5, -5};
    Vector3D dir = {0, 0, 1};
    EXPECT_EQ(AddPointToContrail(c, &newest, &dir, 0.6f), 1);
    EXPECT_FLOAT_EQ(gContrailTable[c].points[0].x, -5);
    EXPECT_FLOAT_EQ(gContrailTable[c].points[1].x, 20) << "the second-oldest point survives";

    Point3D moved = {7, 7, 7};
    ModifyContrailPreviousAddition(c, &moved);
    EXPECT_FLOAT_EQ(gContrailTable[c].points[0].x, 7) << "the newest point follows the wing";
}

TEST_F(EffectsTest, RibbonEndsAndSecondPointAreTransparentAndOnePointDrawsNothing)
{
    int16_t owner;
    int16_t c = CreateContrail(2, &owner);
    AddPoints(c, 1);
    view.frameCount = 0;
    RunFrame();
    EXPECT_EQ(gContrailTable[c].mesh[0]->numTriangles, 0) << "one point is no ribbon";

    AddPoints(c, 4);
    RunFrame(); // odd frame: 5 points
    VertexArrayGeometry* mesh = gContrailTable[c].mesh[1];
    ASSERT_EQ(mesh->numPoints, 10);
    EXPECT_EQ(mesh->numTriangles, 8);
    auto alphaOf = [&](int l) { return mesh->colors[(2 * l) * 4 + 3]; };
    EXPECT_EQ(alphaOf(0), 0) << "newest";
    EXPECT_EQ(alphaOf(1), 0) << "second: the ramp starts at 0";
    EXPECT_GT(alphaOf(2), 0);
    EXPECT_GT(alphaOf(3), alphaOf(2));
    EXPECT_EQ(alphaOf(4), 0) << "oldest";
    // The strip lies across the direction of travel (x), so its two sides differ in z by the full width.
    EXPECT_FLOAT_EQ(mesh->points[2].z - mesh->points[3].z, 4);
}

TEST_F(EffectsTest, ContrailDiesWhenFadedAndWritesMinusOneToAnOwnerItStillHas)
{
    int16_t kept, detached;
    int16_t a = CreateContrail(1, &kept);
    int16_t b = CreateContrail(1, &detached);
    AddPoints(a, 3, 0.005f); // gone within one frame's fade
    AddPoints(b, 3, 0.005f);
    DetachContrailOwner(b);
    RunFrame();
    EXPECT_FALSE(gContrailTable[a].isActive);
    EXPECT_EQ(kept, -1);
    EXPECT_FALSE(gContrailTable[b].isActive);
    EXPECT_EQ(detached, b) << "a detached owner is never written again";
}

TEST_F(EffectsTest, DeletedObjectLetsGoOfItsContrailsAndSparkles)
{
    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = 100;
    def.scale = 1;
    ObjNode* node = MakeNewObject(&def);
    int16_t c = CreateContrail(1, &node->ContrailIndices[0]);
    AddPoints(c, 3, 0.005f);
    AttachSparkleToObject(node);
    AttachSparkleToObject(node);
    EXPECT_EQ(gSparkleCount, 2);

    DisposeObject(node);
    EXPECT_EQ(gSparkleCount, 0);
    EXPECT_EQ(gContrailTable[c].owner, nullptr) << "the freed node's memory is never written";
    RunFrame(); // fades and dies without touching the node
    EXPECT_FALSE(gContrailTable[c].isActive);
}

TEST_F(EffectsTest, BadContrailNumbersAreFatal)
{
    EXPECT_EQ(FatalAlertMessageOf([] {
                  Point3D p = {0, 0, 0};
                  Vector3D d = {1, 0, 0};
                  AddPointToContrail(3, &p, &d, 1);
              }),
              "AddPointToContrail:  bad contrailNum");
    EXPECT_EQ(FatalAlertMessageOf([] {
                  Point3D p = {0, 0, 0};
                  ModifyContrailPreviousAddition(-1, &p);
              }),
              "ModifyContrailPreviousAddition:  bad contrailNum");
}

// ---------------------------------------------------------------------------------------------------------
// Shards
// ---------------------------------------------------------------------------------------------------------

// A display-group node whose base group holds a matrix (a lift of 500) and one mesh of `triangles`
// triangles, so the count of shards and their world placement can both be checked.
static ObjNode* MakeBreakable(int triangles)
{
    VertexArrayGeometry geometry = {};
    geometry.varPool = -1;
    geometry.numPoints = triangles * 3;
    geometry.numTriangles = triangles;
    geometry.points = (Point3D*)AllocPtrClear(sizeof(Point3D) * geometry.numPoints);
    geometry.triangles = (uint32_t*)AllocPtr(sizeof(uint32_t) * 3 * triangles);
    for (int i = 0; i < geometry.numPoints; i++) {
        geometry.points[i] = {float(i % 3) * 3, float(i / 3), 0};
        geometry.triangles[i] = uint32_t(i);
    }
    MetaObject* mesh = MO_CreateNewObjectOfType(MO_TYPE_GEOMETRY, MO_GEOMETRY_SUBTYPE_VERTEXARRAY, &geometry);
    Matrix4x4 lift;
    MatrixTranslate(&lift, 0, 500, 0);
    MetaObject* matrix = MO_CreateNewObjectOfType(MO_TYPE_MATRIX, 0, &lift);
    MetaObject* group = MO_CreateNewObjectOfType(MO_TYPE_GROUP, 0, nullptr);
    MO_AppendToGroup(group, matrix);
    MO_AppendToGroup(group, mesh);
    MO_DisposeObjectReference(matrix);
    MO_DisposeObjectReference(mesh);

    ObjectDefinition def = {};
    def.genre = DISPLAY_GROUP_GENRE;
    def.slot = 100;
    def.scale = 1;
    ObjNode* node = MakeNewObject(&def);
    node->BaseGroup = group;
    return node;
}

TEST_F(EffectsTest, ShatterTakesEveryDensityThTriangleAndStopsSilentlyAtTheLimit)
{
    ScopedAlertCapture alerts;
    ObjNode* node = MakeBreakable(9);
    ShatterObject(node, 100, 0, 3, 1);
    EXPECT_EQ(gNumShards, 3) << "triangles 0, 3 and 6";
    // The corners' sum times 0.3333: the group's matrix lifted the triangle to 500.
    EXPECT_NEAR(gShardTable[0].position.y, 1500 * 0.3333f, 0.001f);
    EXPECT_NEAR(gShardTable[0].position.x, 9 * 0.3333f, 0.001f);

    ObjNode* big = MakeBreakable(1000);
    for (int i = 0; i < 3; i++)
        ShatterObject(big, 100, 0, 1, 1);
    EXPECT_EQ(gNumShards, SHARD_LIMIT);
    EXPECT_TRUE(alerts.Alerts().empty());
}

TEST_F(EffectsTest, RadialShardsFlyAwayFromTheCentreAndUnbouncedOnesDieOnTheGround)
{
    ObjNode* node = MakeBreakable(4);
    node->ModelBounds = {0, 0, 0, 0, 0, 0, false};
    ShatterObject(node, 100, SHATTER_RADIAL | SHATTER_UPWARD, 1, 0.1f);
    ASSERT_EQ(gNumShards, 4);
    const ShardRecord& shard = gShardTable[0];
    Vector3D out;
    Normalize3XYZ(shard.position.x, shard.position.y, shard.position.z, &out);
    EXPECT_NEAR(shard.velocity.x, out.x * 100, 0.01f);
    EXPECT_NEAR(shard.velocity.y, out.y * 100 + 150, 0.01f);

    // Put them all just above the ground of an empty map (-10000) and falling.
    for (ShardRecord& s : gShardTable)
        if (s.inUse)
            s.position.y = -9999.9f, s.velocity.y = -100;
    RunFrame();
    EXPECT_EQ(gNumShards, 0);
}

// ---------------------------------------------------------------------------------------------------------
// Sparkles
// ---------------------------------------------------------------------------------------------------------

TEST_F(EffectsTest, DoubleDeleteAlertsOnceAndLeavesTheCountAlone)
{
    ScopedAlertCapture alerts;
    int16_t a = AllocSparkle(nullptr);
    AllocSparkle(nullptr);
    DeleteSparkle(a);
    DeleteSparkle(a);
    DeleteSparkle(-1);
    EXPECT_EQ(gSparkleCount, 1);
    ASSERT_EQ(alerts.Alerts().size(), 1u);
    EXPECT_EQ(alerts.Alerts()[0].message, "DeleteSparkle: double delete sparkle");
    EXPECT_FALSE(alerts.Alerts()[0].isFatal);
}

TEST_F(EffectsTest, SparkleTableFillsSilently)
{
    for (int i = 0; i < SPARKLE_LIMIT; i++)
        ASSERT_EQ(AllocSparkle(nullptr), i);
    EXPECT_EQ(AllocSparkle(nullptr), -1);
    EXPECT_EQ(gSparkleCount, SPARKLE_LIMIT);
}

// ---------------------------------------------------------------------------------------------------------
// Confetti
// ---------------------------------------------------------------------------------------------------------

TEST_F(EffectsTest, ConfettiWithoutTerrainUsesGroundZeroAndEmptyGroupsGoAtOnce)
{
    ConfettiGroupSpec def = {};
    def.baseSize = 5;
    def.fadeSpeed = 1;
    def.spriteIndex = PARTICLE_SObjType_Leaf;
    int16_t group = CreateConfettiGroup(&def);
    Point3D low = {0, 5, 0}, high = {0, 500, 0};
    Vector3D still = {0, 0, 0};
    ConfettiSpec flake = {};
    flake.group = group;
    flake.velocity = &still;
    flake.scale = 1;
    flake.alpha = 1;
    flake.holdTime = 10;
    flake.position = &low;
    AddConfettiToGroup(&flake);
    flake.position = &high;
    AddConfettiToGroup(&flake);

    RunFrame();
    ConfettiGroupRecord* record = gConfettiGroupTable[group];
    EXPECT_FALSE(record->inUse[0]) << "below ground 0 + 10 even though the map reports -10000";
    EXPECT_TRUE(record->inUse[1]);
    EXPECT_FLOAT_EQ(record->alpha[1], 1) << "held at full opacity";

    record->inUse[1] = false;
    RunFrame();
    EXPECT_EQ(gConfettiGroupTable[group], nullptr);
    EXPECT_EQ(gConfettiGroupCount, 0);
    EXPECT_EQ(FatalAlertMessageOf([&] {
                  flake.group = CONFETTI_GROUP_LIMIT;
                  AddConfettiToGroup(&flake);
              }),
              "AddConfettiToGroup: illegal group #");
}
