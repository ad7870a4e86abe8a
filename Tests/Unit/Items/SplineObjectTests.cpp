// Objects on splines: the point and aim arithmetic at the spline's end, placement wrapping, the list's
// limit and its holes, range culling by unlinking, moves that delete their own object, and the
// time-demo camera path.

#include "ItemTestSupport.h"

#include "Gameplay/TimeDemo.h"
#include "Objects/ObjectsLocal.h"
#include "System/FrameRate.h"
#include "System/Random.h"

namespace {

constexpr float kPointSpacing = 10.0f; // map units between the test spline's points

// A straight spline along x of `points` points from map x 100 at map z 300.
PlayfieldSpline StraightSpline(int points)
{
    PlayfieldSpline spline;
    spline.numNubs = 2;
    for (int i = 0; i < points; i++)
        spline.points.push_back({100.0f + kPointSpacing * float(i), 300.0f});
    return spline;
}

ObjNode* gSelfDeleting = nullptr;

void DeleteSelf(ObjNode* obj)
{
    DisposeObject(obj);
}

int gDemoEnds = 0;
void CountDemoEnd()
{
    gDemoEnds++;
}

} // namespace

class SplineObjects : public ItemTest
{
protected:
    void SetUp() override
    {
        ItemTest::SetUp();
        gFrameSeconds = 0.1f;
        gFrameRate = 10.0f;
    }

    void LoadSpline(int points, std::vector<PlayfieldSplineItem> items = {})
    {
        PlayfieldDescription p = FlatPlayfield(8, 8);
        PlayfieldSpline spline = StraightSpline(points);
        spline.items = items;
        p.splines.push_back(spline);
        LoadItems(p);
    }

    // A listed, unlinked node on spline 0 at placement p.
    static ObjNode* NodeOnSpline(float p, ObjNodeProc move = nullptr)
    {
        ObjectDefinition def = {};
        def.genre = CUSTOM_DRAW_GENRE;
        def.slot = 100;
        def.scale = 1;
        ObjNode* obj = MakeNewObject(&def);
        obj->StatusFlags |= NODEBIT_SPLINE_DRIVEN;
        obj->SplineIndex = 0;
        obj->SplinePos = p;
        obj->SplineMoveProc = move;
        UnlinkObject(obj, true);
        AddToSplineObjectList(obj, false);
        return obj;
    }
};

TEST_F(SplineObjects, PlacementNearTheEndUsesTheLastPointAndAimsPastTheWrap)
{
    LoadSpline(10);
    PrimeSplines();
    float x, z;
    SplinePoint(0, 0.95f, &x, &z);
    EXPECT_FLOAT_EQ(x, gSplines[0].points[9].x) << "the last point has no neighbour beyond it";
    SplinePoint(0, 0.55f, &x, &z);
    EXPECT_FLOAT_EQ(x, 0.5f * (gSplines[0].points[5].x + gSplines[0].points[6].x));
    SplinePoint(0, 1.0f, &x, &z);
    EXPECT_FLOAT_EQ(x, gSplines[0].points[9].x) << "a placement of 1 stays inside the points";

    ObjNode* obj = NodeOnSpline(0.95f);
    obj->Position = {gSplines[0].points[9].x, 0, gSplines[0].points[9].z + 50};
    AimAlongSpline(obj);
    float expected =
        HeadingFromTo(0, obj->Position.x, obj->Position.z, gSplines[0].points[2].x, gSplines[0].points[2].z);
    EXPECT_FLOAT_EQ(obj->Rotation.y, expected) << "aim point 9 + 3 wraps to point 2";
}

TEST_F(SplineObjects, PlacementWrapsOnceAndAStepLongerThanTheSplineStartsOver)
{
    LoadSpline(10);
    PrimeSplines();
    ObjNode* obj = NodeOnSpline(0.5f);
    EXPECT_FALSE(IncreaseSplinePlacement(obj, 1.0f)); // 0.1 s x 1 point/s over 10 points
    EXPECT_NEAR(obj->SplinePos, 0.51f, 1e-5f);

    obj->SplinePos = 0.99f;
    EXPECT_TRUE(IncreaseSplinePlacement(obj, 2.0f)); // to 1.01
    EXPECT_NEAR(obj->SplinePos, 0.011f, 1e-5f);

    obj->SplinePos = 0.99f;
    EXPECT_TRUE(IncreaseSplinePlacement(obj, 111.0f)); // to 2.1
    EXPECT_EQ(obj->SplinePos, 0.0f);
}

TEST_F(SplineObjects, PositionFollowsThePlacementWithAVelocityFromTheOldPosition)
{
    LoadSpline(10);
    PrimeSplines();
    ObjNode* obj = NodeOnSpline(1.5f);
    obj->OldPosition = {gSplines[0].points[9].x - 10, 0, gSplines[0].points[9].z};
    SetPositionFromSpline(obj);
    EXPECT_NEAR(obj->SplinePos, 0.999f, 1e-6f) << "placement is clamped";
    EXPECT_NEAR(obj->Velocity.x, 10 * gFrameRate, 0.5f);
    EXPECT_EQ(obj->Velocity.y, 0.0f);
}

TEST_F(SplineObjects, TheHundredAndFirstObjectIsFatalAndHolesAreNotReused)
{
    LoadSpline(10);
    PrimeSplines();
    std::vector<ObjNode*> nodes;
    for (int i = 0; i < MAX_SPLINE_OBJECTS; i++)
        nodes.push_back(NodeOnSpline(0.1f));
    DisposeObject(nodes[3]);
    EXPECT_EQ(gSplineObjects[3], nullptr);
    EXPECT_EQ(gNumSplineObjects, MAX_SPLINE_OBJECTS);
    EXPECT_EQ(FatalAlertMessageOf([] { NodeOnSpline(0.1f); }),
              "AddToSplineObjectList: too many spline objects");
}

TEST_F(SplineObjects, ObjectsOutsideEveryWindowAreUnlinkedAndComeBackInRange)
{
    LoadSpline(10);
    PrimeSplines();
    ObjNode* obj = NodeOnSpline(0.0f);
    obj->Position = {gSplines[0].points[0].x, 0, gSplines[0].points[0].z};
    ViewFrom(obj->Position.x, obj->Position.z);
    EXPECT_TRUE(IsSplineObjectInRange(obj));
    EXPECT_FALSE(obj->StatusFlags & NODEBIT_UNLINKED);

    obj->Position.x = -100; // off the map
    EXPECT_FALSE(IsSplineObjectInRange(obj));
    EXPECT_TRUE(obj->StatusFlags & NODEBIT_UNLINKED);
}

TEST_F(SplineObjects, DetachedObjectIsLinkedAndMovedByItsOwnRoutine)
{
    LoadSpline(10);
    PrimeSplines();
    ObjNode* obj = NodeOnSpline(0.3f, DeleteSelf);
    obj->Position = {5, 6, 7};
    DetachFromSpline(obj, DeleteSelf);
    EXPECT_FALSE(obj->StatusFlags & (NODEBIT_SPLINE_DRIVEN | NODEBIT_UNLINKED));
    EXPECT_EQ(obj->SplineObjectIndex, -1);
    EXPECT_EQ(obj->SplineMoveProc, nullptr);
    EXPECT_EQ(obj->MoveProc, DeleteSelf);
    EXPECT_EQ(obj->InitPosition.z, 7.0f);
    EXPECT_EQ(gSplineObjects[0], nullptr);
}

TEST_F(SplineObjects, MoveThatDeletesItsOwnObjectLeavesAHoleAndEmptyingFreesTheUnlinked)
{
    LoadSpline(10);
    PrimeSplines();
    int before = gLiveNodeCount;
    gSelfDeleting = NodeOnSpline(0.3f, DeleteSelf);
    NodeOnSpline(0.6f);
    MoveSplineObjects();
    EXPECT_EQ(gSplineObjects[0], nullptr);
    EXPECT_NE(gSplineObjects[1], nullptr);
    EmptySplineObjectList();
    PurgeDeletedNodes();
    EXPECT_EQ(gLiveNodeCount, before) << "unlinked spline objects are freed too";
    EXPECT_EQ(gNumSplineObjects, 0);
}

TEST_F(SplineObjects, PrimingScalesThePointsAndMarksOnlyItemsThatWereMade)
{
    constexpr int kMadeType = 1; // an item whose routine reports it made
    LoadSpline(10, {{0.1f, kMadeType, {0, 0, 0, 0}, 0}, {0.0f, TIME_DEMO_SPLINE_ITEM, {0, 0, 0, 0}, 0}});
    gSplineItemAddRoutines[kMadeType] = [](int, SplineItemType*) { return true; };
    PrimeSplines();
    EXPECT_FLOAT_EQ(gSplines[0].points[1].x, 110.0f * gMapToWorld);
    EXPECT_TRUE(gSplines[0].items[0].flags & ITEM_FLAG_ADDED);
    EXPECT_FALSE(gSplines[0].items[1].flags & ITEM_FLAG_ADDED) << "no demo path outside the time demo";
    EXPECT_EQ(gNumSplineObjects, 0);

    gSplines[0].items[0].type = NUM_SPLINE_ITEM_TYPES;
    EXPECT_EQ(FatalAlertMessageOf([] { PrimeSplines(); }), "PrimeSplines: type > MAX_SPLINE_ITEM_NUM");
}

// The path drives camera 0 and ends the demo at its end; the same seed gives the same weapon events.
TEST_F(SplineObjects, TimeDemoPathMovesCameraZeroAndEndsTheLevelTheSameWayEveryRun)
{
    int eventsOfRun[2], framesOfRun[2];
    for (int run = 0; run < 2; run++) {
        gTimeDemoMode = true;
        SeedRandom(0);
        gFrameSeconds = 1.0f / 40;
        gFrameRate = 40;
        gDemoEnds = 0;
        SetTimeDemoEndRoutine(CountDemoEnd);
        LoadSpline(1000, {{0.0f, TIME_DEMO_SPLINE_ITEM, {0, 0, 0, 0}, 0}});
        PrimeSplines();
        ASSERT_EQ(gNumSplineObjects, 1);
        ObjNode* path = gSplineObjects[0];
        EXPECT_TRUE(path->StatusFlags & NODEBIT_UNLINKED);

        int frames = 0;
        float lastX = path->Position.x;
        while (gDemoEnds == 0 && frames < 1000) {
            MoveSplineObjects();
            frames++;
            if (gDemoEnds)
                break;
            ASSERT_GT(path->Position.x, lastX) << "the path runs along +x";
            EXPECT_FLOAT_EQ(view.cameras[0].target.x, path->Position.x);
            EXPECT_FLOAT_EQ(view.cameras[0].eye.x, lastX) << "the camera looks from the last point";
            EXPECT_FLOAT_EQ(view.cameras[0].target.y, TIME_DEMO_CAMERA_HEIGHT);
            lastX = path->Position.x;
        }
        // 450 points a second at 40 frames a second over 1000 points.
        EXPECT_EQ(frames, int(0.999f * 1000 / (450.0f / 40)) + 1);
        eventsOfRun[run] = gTimeDemoEvents;
        framesOfRun[run] = frames;
        EmptySplineObjectList();
        FreeTerrainData();
    }
    SetTimeDemoEndRoutine(nullptr);
    EXPECT_EQ(framesOfRun[0], framesOfRun[1]);
    EXPECT_EQ(eventsOfRun[0], eventsOfRun[1]);
    EXPECT_GT(eventsOfRun[0], 0) << "about 15 frames in 256 fire a weapon";
}
