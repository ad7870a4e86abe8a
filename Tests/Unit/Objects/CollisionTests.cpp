// Box collision: which sides a move struck, how the handler pushes and bounces the mover, triggers,
// the record limit, and the smaller world queries.

#include "Objects/Collision.h"
#include "Support/AlertCapture.h"
#include "Unit/Objects/ObjectTestSupport.h"

#include <cmath>
#include <random>

namespace {

constexpr uint32_t kWall = 0x20; // a gameplay CType bit the tests collide with

// A node with one box of the given half sizes around position.
ObjNode* MakeBoxNode(int slot, Point3D position, float halfX, float halfY, float halfZ, uint32_t solidSides,
                     uint32_t cType = kWall)
{
    ObjNode* node = MakeNode(slot);
    node->Position = position;
    node->CType = cType;
    node->SolidSides = solidSides;
    SetSingleCollisionBox(node, halfY, -halfY, -halfX, halfX, halfZ, -halfZ);
    return node;
}

// The mover starts at from (boxes stored there) and this frame's move takes it to `to`.
ObjNode* MakeMover(Point3D from, Point3D to, Vector3D velocity, float half = 10)
{
    ObjNode* mover = MakeBoxNode(10, from, half, half, half, 0, 0);
    StoreOldBoxes(mover);
    mover->Velocity = velocity;
    BeginNodeUpdate(mover);
    gWorkPos = to;
    return mover;
}

bool gTriggerResult = true;
int gTriggerCalls = 0;
bool CountingTrigger(ObjNode*, ObjNode*)
{
    gTriggerCalls++;
    return gTriggerResult;
}

} // namespace

class Collision : public ObjectTest
{
protected:
    void SetUp() override
    {
        ObjectTest::SetUp();
        gTriggerResult = true;
        gTriggerCalls = 0;
        gSidesHit = 0;
    }
};

TEST_F(Collision, CrossingASolidSideIsStruckButAnOldOverlapOnlyTouchesWhenAsked)
{
    // The wall spans x 100..120; the mover's right side crosses its left face this frame.
    ObjNode* wall = MakeBoxNode(100, {110, 0, 0}, 10, 50, 50, ALL_SOLID_SIDES);
    ObjNode* mover = MakeMover({80, 0, 0}, {95, 0, 0}, {100, 0, 0});
    RefreshBoxFromWorkPos(mover);
    CollisionDetect(mover, kWall, 0);
    ASSERT_EQ(gNumCollisions, 1);
    EXPECT_EQ(gCollisionRecords[0].sides, SIDE_BITS_RIGHT);
    EXPECT_EQ(gCollisionRecords[0].node, wall);

    // Already overlapping before the move: nothing, a touch with 0x40, estimated sides with 0x80.
    StoreOldBoxes(mover);
    CollisionDetect(mover, kWall, 0);
    EXPECT_EQ(gNumCollisions, 0);
    wall->SolidSides = ALL_SOLID_SIDES | SIDE_BITS_REPORT_TOUCH;
    CollisionDetect(mover, kWall, 0);
    ASSERT_EQ(gNumCollisions, 1);
    EXPECT_EQ(gCollisionRecords[0].sides, 0);
    wall->SolidSides = ALL_SOLID_SIDES | SIDE_BITS_ESTIMATE;
    CollisionDetect(mover, kWall, 0);
    ASSERT_EQ(gNumCollisions, 1);
    EXPECT_EQ(gCollisionRecords[0].sides, SIDE_BITS_RIGHT | SIDE_BITS_BACK); // wall at larger x, same z

    // A box without solid sides reports every overlap as a touch.
    wall->SolidSides = 0;
    CollisionDetect(mover, kWall, 0);
    ASSERT_EQ(gNumCollisions, 1);
    EXPECT_EQ(gCollisionRecords[0].sides, 0);
}

TEST_F(Collision, TouchingFacesOverlapAndTheWalkSkipsWhatItMust)
{
    ObjNode* wall = MakeBoxNode(100, {120, 0, 0}, 10, 50, 50, 0);
    ObjNode* mover = MakeMover({0, 0, 0}, {100, 0, 0}, {0, 0, 0});
    RefreshBoxFromWorkPos(mover);
    CollisionDetect(mover, kWall, 0);
    EXPECT_EQ(gNumCollisions, 1) << "the mover's right face touches the wall's left face";

    wall->StatusFlags |= NODEBIT_NO_COLLISION;
    CollisionDetect(mover, kWall, 0);
    EXPECT_EQ(gNumCollisions, 0);
    wall->StatusFlags = 0;
    mover->ChainNext = wall;
    CollisionDetect(mover, kWall, 0);
    EXPECT_EQ(gNumCollisions, 0) << "a mover never collides with the next part of its own chain";
    mover->ChainNext = nullptr;
    CollisionDetect(mover, 0x40, 0);
    EXPECT_EQ(gNumCollisions, 0) << "no shared CType bit";

    MakeBoxNode(3000, {120, 0, 0}, 10, 50, 50, 0); // not a world slot
    DisposeObject(wall);
    CollisionDetect(mover, kWall, 0);
    EXPECT_EQ(gNumCollisions, 0);
}

TEST_F(Collision, LandingOnATopSetsTheLandingSpeedAndTheGroundBit)
{
    MakeBoxNode(100, {0, 0, 0}, 100, 50, 100, ALL_SOLID_SIDES); // top at 50
    ObjNode* mover = MakeMover({0, 70, 0}, {0, 55, 0}, {0, -300, 0});
    uint8_t sides = ResolveCollisions(mover, kWall, 0.5f);
    EXPECT_EQ(sides, SIDE_BITS_BOTTOM);
    EXPECT_EQ(gSidesHit, SIDE_BITS_BOTTOM);
    EXPECT_FLOAT_EQ(gWorkVel.y, -150.0f);
    EXPECT_NEAR(gWorkPos.y, 50 + 10 + 0.01f, 1e-4);
    EXPECT_TRUE(mover->StatusFlags & NODEBIT_ON_GROUND);
}

TEST_F(Collision, BumpingACeilingStopsTheClimbAndPushesDownByTheOverlapPlusOne)
{
    MakeBoxNode(100, {0, 200, 0}, 100, 50, 100, ALL_SOLID_SIDES); // bottom at 150
    ObjNode* mover = MakeMover({0, 130, 0}, {0, 145, 0}, {0, 300, 0});
    EXPECT_EQ(ResolveCollisions(mover, kWall, 0.5f), SIDE_BITS_TOP);
    EXPECT_FLOAT_EQ(gWorkVel.y, 0.0f);
    EXPECT_NEAR(gWorkPos.y, 145 - (155 - 150 + 1.0f), 1e-4);
    EXPECT_FALSE(mover->StatusFlags & NODEBIT_ON_GROUND);
}

TEST_F(Collision, TwoBoxesStruckOnXReverseTheVelocityTwiceAndTheLargerOverlapPushes)
{
    // Two walls whose left faces the mover's right side crosses by 3 and by 7 units.
    MakeBoxNode(100, {117, 0, -30}, 10, 50, 20, ALL_SOLID_SIDES);         // left face at 107
    MakeBoxNode(101, {113, 0, 30}, 10, 50, 20, ALL_SOLID_SIDES);          // left face at 103
    ObjNode* mover = MakeMover({80, 0, 0}, {100, 0, 0}, {200, 0, 0}, 10); // right face 90 -> 110
    EXPECT_EQ(ResolveCollisions(mover, kWall, 0.8f), SIDE_BITS_RIGHT);
    // Reversed once per struck record, and the records are handled again in each of the three passes.
    EXPECT_NEAR(gWorkVel.x, 200 * std::pow(0.8f, 6), 1e-2);
    EXPECT_GT(gWorkVel.x, 0) << "the second reversal undoes the first";
    EXPECT_NEAR(gWorkPos.x, 100 - (110 - 103 + 0.01f), 1e-3);
    EXPECT_EQ(mover->LastTrigger, nullptr);
}

TEST_F(Collision, TriggersEndTheHandlingAndOnesReturningFalseLetTheMoverPass)
{
    ObjNode* gate = MakeBoxNode(100, {110, 0, 0}, 10, 50, 50, ALL_SOLID_SIDES, kWall | CT_TRIGGER);
    gate->TriggerProc = CountingTrigger;
    ObjNode* mover = MakeMover({80, 0, 0}, {95, 0, 0}, {100, 0, 0});
    gTriggerResult = false;
    EXPECT_EQ(ResolveCollisions(mover, kWall | CT_TRIGGER, 1), 0);
    EXPECT_EQ(gTriggerCalls, 1);
    EXPECT_FLOAT_EQ(gWorkPos.x, 95) << "a trigger that does not block leaves the move alone";
    EXPECT_FLOAT_EQ(gWorkVel.x, 100);
    EXPECT_EQ(mover->LastTrigger, gate);

    // A blocking trigger is solid too, but the handling still stops after that pass.
    MakeBoxNode(101, {110, 0, 0}, 10, 50, 50, ALL_SOLID_SIDES); // a wall in the same place
    mover = MakeMover({80, 0, 0}, {95, 0, 0}, {100, 0, 0});
    gTriggerResult = true;
    gTriggerCalls = 0;
    EXPECT_EQ(ResolveCollisions(mover, kWall | CT_TRIGGER, 1), SIDE_BITS_RIGHT);
    EXPECT_EQ(gTriggerCalls, 1) << "no second pass after a trigger";
    EXPECT_NEAR(gWorkPos.x, 95 - (105 - 100 + 0.01f), 1e-4);
    EXPECT_FLOAT_EQ(gWorkVel.x, 100) << "gate and wall each reversed it once";
}

TEST_F(Collision, AMoverWithoutBoxesGetsNoGroundCorrection)
{
    ObjNode* mover = MakeNode(10);
    mover->Position = {0, -20000, 0}; // below the no-map height of -10000
    BeginNodeUpdate(mover);
    EXPECT_EQ(ResolveCollisions(mover, kWall | CT_TERRAIN, 0.5f), 0);
    EXPECT_FLOAT_EQ(gWorkPos.y, -20000);
}

TEST_F(Collision, BoxBottomExactlyAtGroundIsLiftedByNothingAndStandsOnIt)
{
    // Without a map the ground lies at -10000.
    ObjNode* mover = MakeMover({0, -9990, 0}, {0, -9990, 0}, {0, -10, 0});
    EXPECT_EQ(ResolveCollisions(mover, CT_TERRAIN, 0.5f), SIDE_BITS_BOTTOM);
    EXPECT_FLOAT_EQ(gWorkPos.y, -9990);
    EXPECT_TRUE(mover->StatusFlags & NODEBIT_ON_GROUND);
    EXPECT_FLOAT_EQ(gWorkVel.y, 0) << "a slow landing does not bounce";

    mover = MakeMover({0, -9950, 0}, {0, -9995, 0}, {0, -400, 0});
    ResolveCollisions(mover, CT_TERRAIN, 0.5f);
    EXPECT_FLOAT_EQ(gWorkPos.y, -9990);
    EXPECT_FLOAT_EQ(gWorkVel.y, 200) << "a fast one bounces back at half speed";
}

TEST_F(Collision, MoreThanSixtyRecordsIsFatal)
{
    for (int i = 0; i < 61; i++)
        MakeBoxNode(100, {0, 0, 0}, 50, 50, 50, 0);
    ObjNode* mover = MakeMover({0, 0, 0}, {0, 0, 0}, {0, 0, 0});
    RefreshBoxFromWorkPos(mover);
    EXPECT_EQ(FatalAlertMessageOf([&] { CollisionDetect(mover, kWall, 0); }),
              "CollisionDetect: gNumCollisions > MAX_COLLISIONS");
}

TEST_F(Collision, FreeStandingBoxQueriesFindTheFirstOverlap)
{
    MakeBoxNode(100, {0, 0, 0}, 10, 10, 10, 0);
    ObjNode* second = MakeBoxNode(101, {100, 0, 0}, 10, 10, 10, 0);
    AppendCollisionBox(second, 10, -10, 40, 60, 10, -10); // box 1 at x 140..160
    EXPECT_TRUE(BoxTouchesAnything(5, -5, 145, 150, 5, -5, kWall));
    EXPECT_EQ(gNumCollisions, 1);
    EXPECT_EQ(gCollisionRecords[0].node, second);
    EXPECT_EQ(gCollisionRecords[0].theirBox, 1);
    EXPECT_FALSE(BoxTouchesAnything(5, -5, 200, 210, 5, -5, kWall));
    EXPECT_EQ(gNumCollisions, 0);
    EXPECT_TRUE(BoxTouchesNode(5, -5, 160, 170, 5, -5, second)); // touching face
    EXPECT_FALSE(BoxTouchesNode(5, -5, 161, 170, 5, -5, second));
}

TEST_F(Collision, HighestSurfaceTakesSolidTopsAboveTheGround)
{
    MakeBoxNode(100, {0, 100, 0}, 50, 50, 50, ALL_SOLID_SIDES);  // top 150
    MakeBoxNode(101, {0, 300, 0}, 50, 50, 50, SIDE_BITS_BOTTOM); // top 350, but not solid on top
    EXPECT_NEAR(HighestSurfaceAtXZ(10, 10, kWall), 150.1f, 1e-4);
    EXPECT_FLOAT_EQ(HighestSurfaceAtXZ(100, 10, kWall), -10000000.0f);
    EXPECT_FLOAT_EQ(HighestSurfaceAtXZ(100, 10, kWall | CT_TERRAIN), -10000.0f); // no map loaded
}

TEST_F(Collision, PointInTriangle2DAgreesWithBarycentricCoordinates)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> c(-100, 100);
    int checked = 0;
    for (int i = 0; i < 20000; i++) {
        float x0 = c(random), z0 = c(random), x1 = c(random), z1 = c(random), x2 = c(random), z2 = c(random);
        float px = c(random), pz = c(random);
        double det = double(z1 - z2) * (x0 - x2) + double(x2 - x1) * (z0 - z2);
        if (std::fabs(det) < 1)
            continue;
        double a = (double(z1 - z2) * (px - x2) + double(x2 - x1) * (pz - z2)) / det;
        double b = (double(z2 - z0) * (px - x2) + double(x0 - x2) * (pz - z2)) / det;
        double g = 1 - a - b;
        if (std::min({std::fabs(a), std::fabs(b), std::fabs(g)}) < 1e-3)
            continue; // on an edge either answer is fine
        checked++;
        ASSERT_EQ(IsPointInTriangle2D(px, pz, x0, z0, x1, z1, x2, z2), a > 0 && b > 0 && g > 0) << i;
    }
    EXPECT_GT(checked, 15000);
}
