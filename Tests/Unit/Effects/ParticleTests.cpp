#include "Unit/Effects/EffectsTestSupport.h"

#include "System/Random.h"

#include <cmath>
#include <vector>

// ---------------------------------------------------------------------------------------------------------
// Table limits
// ---------------------------------------------------------------------------------------------------------

TEST_F(EffectsTest, FullGroupTableAndFullGroupDropSilently)
{
    ScopedAlertCapture alerts;
    ParticleGroupSpec def = PlainGroupSpec();
    for (int i = 0; i < PARTICLE_GROUP_LIMIT; i++)
        ASSERT_EQ(CreateParticleGroup(&def), i);
    EXPECT_EQ(CreateParticleGroup(&def), -1);
    EXPECT_EQ(gParticleGroupCount, PARTICLE_GROUP_LIMIT);

    for (int i = 0; i < PARTICLES_PER_GROUP; i++)
        ASSERT_FALSE(AddParticleAt(0, {0, 0, 0}));
    EXPECT_TRUE(AddParticleAt(0, {0, 0, 0})) << "the 151st particle reports that nothing was added";
    EXPECT_TRUE(alerts.Alerts().empty());
}

TEST_F(EffectsTest, EmitterSkipsWhileTableIsFullAndStartsAFreshGroupOnceItsGroupFilled)
{
    ParticleGroupSpec def = PlainGroupSpec();
    for (int i = 0; i < PARTICLE_GROUP_LIMIT; i++)
        CreateParticleGroup(&def);

    EffectEmitter emitter;
    InitEffectEmitter(&emitter);
    Point3D vent = {0, 0, 0};
    EmitGas(&vent, &emitter);
    EXPECT_EQ(emitter.group, -1) << "no group could be made, so nothing is remembered";
    EXPECT_EQ(CountLiveParticles(), 0);

    FreeAllParticleGroups();
    // Fill the emitter's group by hand; its next emission must go to a new group.
    gFrameSeconds = 0.05f;
    EmitGas(&vent, &emitter);
    int16_t first = emitter.group;
    ASSERT_NE(first, -1);
    while (!AddParticleAt(first, {0, 0, 0}))
        ;
    EmitGas(&vent, &emitter); // the add reports full: the emitter forgets the group
    EXPECT_EQ(emitter.group, -1);
    EmitGas(&vent, &emitter);
    EXPECT_NE(emitter.group, -1);
    EXPECT_NE(emitter.group, first);
}

TEST_F(EffectsTest, IllegalGroupNumbersAreFatalWithTheirMessages)
{
    EXPECT_EQ(FatalAlertMessageOf([] {
                  AddParticleAt(PARTICLE_GROUP_LIMIT, {0, 0, 0});
              }),
              "AddParticleToGroup:328: Illegal group #");
    EXPECT_EQ(FatalAlertMessageOf([] {
                  AddParticleAt(-1, {0, 0, 0});
              }),
              "AddParticleToGroup:328: Illegal group #");
    EXPECT_EQ(FatalAlertMessageOf([] { SetParticleGroupVisiblePanes(80, true, false); }),
              "SetParticleGroupVisiblePanes:369: Illegal group #");
    // An empty slot is no error: the add reports nothing added, the pane setting is ignored.
    EXPECT_TRUE(AddParticleAt(5, {0, 0, 0}));
    EXPECT_EQ(FatalAlertMessageOf([] { SetParticleGroupVisiblePanes(5, true, false); }), "");
}

TEST_F(EffectsTest, ParticleSpriteGroupOfTheWrongSizeIsFatal)
{
    DisposeSpriteGroup(SPRITE_GROUP_PARTICLES);
    MakeParticleSprites(42);
    EXPECT_EQ(
        FatalAlertMessageOf([] { InitParticleSystem(); }),
        "InitParticleSystem:76: gNumSpritesInGroupList[SPRITE_GROUP_PARTICLES] == PARTICLE_SObjType_COUNT");
}

// ---------------------------------------------------------------------------------------------------------
// Frame parity and the delayed free
// ---------------------------------------------------------------------------------------------------------

TEST_F(EffectsTest, AFrameNeverRewritesTheMeshCopyThePreviousFrameSubmitted)
{
    ParticleGroupSpec def = PlainGroupSpec();
    int16_t group = CreateParticleGroup(&def);
    AddParticleAt(group, {0, 0, 0}, {60, 0, 0});
    ParticleGroupRecord* record = gParticleGroupTable[group];
    VertexArrayGeometry* even = MO_GetGeometryData(record->meshes[0][0]);
    VertexArrayGeometry* odd = MO_GetGeometryData(record->meshes[1][0]);

    view.frameCount = 0;
    RunFrame(); // writes the even copy
    ASSERT_EQ(even->numPoints, 4);
    Point3D submitted[4];
    memcpy(submitted, even->points, sizeof(submitted));
    EXPECT_EQ(odd->numPoints, 0) << "the odd copy is untouched in an even frame";

    RunFrame(); // odd frame: the particle moved, the even copy must still hold what was submitted
    EXPECT_EQ(odd->numPoints, 4);
    EXPECT_EQ(memcmp(submitted, even->points, sizeof(submitted)), 0);
    EXPECT_NEAR(odd->points[0].x - submitted[0].x, 1.0f, 0.01f) << "moved 60 units per second for 1/60 s";
}

TEST_F(EffectsTest, EmptyGroupIsNeitherDrawnNorReusableForTwoFrames)
{
    ParticleGroupSpec def = PlainGroupSpec(PGROUP_IGNORE_GROUND, 77);
    int16_t group = CreateParticleGroup(&def);
    AddParticleAt(group, {0, 0, 0}, {0, 0, 0}, 0.001f); // fades out in the first frame

    RunFrame(); // the particle dies
    RunFrame(); // the pass finds the group empty: pending
    ASSERT_NE(gParticleGroupTable[group], nullptr);
    EXPECT_TRUE(gParticleGroupTable[group]->pendingFree);
    EXPECT_FALSE(IsParticleGroupCurrent(group, 77)) << "an emitter must not add to a group on its way out";
    EXPECT_NE(CreateParticleGroup(&def), group) << "the slot is not reused while its meshes may be in flight";
    EXPECT_TRUE(AddParticleAt(group, {0, 0, 0})) << "a particle added now would never be drawn";

    RunFrame();
    EXPECT_NE(gParticleGroupTable[group], nullptr) << "one frame after: still held";
    RunFrame();
    EXPECT_EQ(gParticleGroupTable[group], nullptr) << "two frames after: freed";
}

TEST_F(EffectsTest, EmitterWhoseSlotWasTakenByAnotherCreatorMakesItsOwnGroup)
{
    EffectEmitter emitter;
    InitEffectEmitter(&emitter);
    Point3D vent = {0, 0, 0};
    gFrameSeconds = 0.05f;
    EmitGas(&vent, &emitter);
    int16_t slot = emitter.group;
    uint32_t stamp = emitter.stamp;

    // Our group vanishes and someone else's lands in the same slot.
    FreeAllParticleGroups();
    ParticleGroupSpec other = PlainGroupSpec(PGROUP_IGNORE_GROUND, stamp + 1);
    ASSERT_EQ(CreateParticleGroup(&other), slot);

    EmitGas(&vent, &emitter);
    EXPECT_NE(emitter.group, slot);
    EXPECT_NE(emitter.stamp, stamp + 1);
    bool othersUntouched = true;
    for (bool used : gParticleGroupTable[slot]->inUse)
        othersUntouched = othersUntouched && !used;
    EXPECT_TRUE(othersUntouched);
}

TEST_F(EffectsTest, FreeAllParticleGroupsReturnsEveryPoolByte)
{
    ParticleGroupSpec def = PlainGroupSpec();
    for (int i = 0; i < 10; i++)
        CreateParticleGroup(&def);
    FreeAllParticleGroups();
    EXPECT_EQ(gParticleGroupCount, 0);
    DisposeAllObjects();
    FreeContrailMeshes();
    OGL_DisposeVertexArrayMemory();
    EXPECT_EQ(gVertexArrayBytesForgotten, 0);
    OGL_InitVertexArrayMemory();
}

// ---------------------------------------------------------------------------------------------------------
// Particle physics
// ---------------------------------------------------------------------------------------------------------

TEST_F(EffectsTest, BouncingParticleIsPutBackAboveGroundAndOthersDieThere)
{
    // With no map the ground is at -10000, so particles live above -9990.
    ParticleGroupSpec bounce = PlainGroupSpec(PGROUP_BOUNCE);
    ParticleGroupSpec plain = PlainGroupSpec(0);
    int16_t a = CreateParticleGroup(&bounce);
    int16_t b = CreateParticleGroup(&plain);
    AddParticleAt(a, {0, -9989, 0}, {0, -120, 0});
    AddParticleAt(b, {0, -9989, 0}, {0, -120, 0});
    RunFrame();

    ParticleGroupRecord* bounced = gParticleGroupTable[a];
    ASSERT_TRUE(bounced->inUse[0]);
    EXPECT_FLOAT_EQ(bounced->position[0].y, -9990);
    EXPECT_NEAR(bounced->velocity[0].y, 48.0f, 0.01f) << "vertical speed reversed and scaled by 0.4";
    EXPECT_FALSE(gParticleGroupTable[b]->inUse[0]);
}

TEST_F(EffectsTest, GrowingParticlesStillDieWhenTheirAlphaRunsOut)
{
    ParticleGroupSpec def = PlainGroupSpec();
    def.shrinkRate = -6;
    def.fadeSpeed = 6;
    int16_t group = CreateParticleGroup(&def);
    AddParticleAt(group, {0, 0, 0});
    RunFrame();
    ParticleGroupRecord* record = gParticleGroupTable[group];
    EXPECT_NEAR(record->scale[0], 1.1f, 0.001f);
    for (int i = 0; i < 10; i++)
        RunFrame();
    EXPECT_FALSE(record->inUse[0]);
}

TEST_F(EffectsTest, SharedFacingMovesWithEachParticleAndFaceEachTurnsEveryQuad)
{
    ParticleGroupSpec def = PlainGroupSpec();
    def.fadeSpeed = 0;
    int16_t shared = CreateParticleGroup(&def);
    def.flags |= PGROUP_FACE_EACH;
    int16_t each = CreateParticleGroup(&def);
    for (int16_t group : {shared, each}) {
        AddParticleAt(group, {0, 0, 0});
        AddParticleAt(group, {500, 0, 0});
    }
    view.frameCount = 0;
    RunFrame();

    // The eye is at (0, 0, 1000): the first quad faces it squarely, lying in z = 0.
    VertexArrayGeometry* s = MO_GetGeometryData(gParticleGroupTable[shared]->meshes[0][0]);
    VertexArrayGeometry* e = MO_GetGeometryData(gParticleGroupTable[each]->meshes[0][0]);
    for (int c = 4; c < 8; c++) {
        EXPECT_NEAR(s->points[c].z, 0, 0.01f) << "the shared orientation is the first particle's";
        EXPECT_NEAR((s->points[c].x - 500), (s->points[c - 4].x), 0.01f) << "translated to its own position";
    }
    float tilt = std::fabs(e->points[4].z - e->points[6].z);
    EXPECT_GT(tilt, 1) << "the second particle turned toward the eye on its own";
}

TEST_F(EffectsTest, OnePaneGroupHasOnlyPaneZeroMeshes)
{
    ParticleGroupSpec def = PlainGroupSpec();
    int16_t group = CreateParticleGroup(&def);
    ParticleGroupRecord* record = gParticleGroupTable[group];
    EXPECT_NE(record->meshes[0][0], nullptr);
    EXPECT_NE(record->meshes[1][0], nullptr);
    EXPECT_EQ(record->meshes[0][1], nullptr);
    EXPECT_EQ(record->meshes[1][1], nullptr);

    gNumPanes = 2;
    int16_t split = CreateParticleGroup(&def);
    EXPECT_NE(gParticleGroupTable[split]->meshes[1][1], nullptr);
    gNumPanes = 1;
}

// ---------------------------------------------------------------------------------------------------------
// Named effects
// ---------------------------------------------------------------------------------------------------------

TEST_F(EffectsTest, SparkBurstCountFollowsForceUpToTheLimit)
{
    Point3D at = {0, 0, 0};
    BurstSparks(&at, 200, 1, PARTICLE_SObjType_Sparks, 100, 1.0f);
    EXPECT_EQ(CountLiveParticles(), 60) << "force 200 gives 60 sparks";
    BurstSparks(&at, 1000, 1, PARTICLE_SObjType_Sparks, 100, 1.0f);
    EXPECT_EQ(CountLiveParticles(), 160) << "300 sparks are limited to 100";
    BurstSparks(&at, 1000, 1, PARTICLE_SObjType_Sparks, 0, 1.0f);
    EXPECT_EQ(CountLiveParticles(), 310) << "no limit: one group's 150";
}

TEST_F(EffectsTest, ReplayedEffectsAreIdentical)
{
    auto positions = [] {
        SeedRandom(1234);
        Point3D at = {10, 20, 30};
        SplashIntoWater(&at, 1.2f);
        std::vector<float> out;
        for (ParticleGroupRecord* group : gParticleGroupTable)
            if (group)
                for (int i = 0; i < PARTICLES_PER_GROUP; i++)
                    if (group->inUse[i])
                        out.insert(out.end(), {group->position[i].x, group->velocity[i].y, group->scale[i]});
        FreeAllParticleGroups();
        return out;
    };
    std::vector<float> first = positions();
    EXPECT_EQ(first.size(), 90u);
    EXPECT_EQ(first, positions());
}
