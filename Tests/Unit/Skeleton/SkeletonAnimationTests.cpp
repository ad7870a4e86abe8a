// Animation and skinning: keyframe interpolation and easing, the timed events, cross-fades, the joint
// tree and the two frame-parity copies of the skin.
#include "SkeletonTestSupport.h"

namespace {

KeyframeRecord Frame(int tick, int easing, float x, float scale = 1)
{
    KeyframeRecord k = {};
    k.tick = tick;
    k.easing = easing;
    k.position = {x, 0, 0};
    k.scale = {scale, scale, scale};
    return k;
}

// A one-joint skeleton whose animation 0 lasts `ticks` and carries `events`.
TestSkeleton WithEvents(std::vector<SkeletonEvent> events, int ticks = 60)
{
    TestSkeleton t;
    t.skeleton.animations[0].events = std::move(events);
    t.skeleton.animations[0].keyframes[1].back().tick = ticks;
    return t;
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
// Interpolation
// ---------------------------------------------------------------------------------------------------------

TEST(SkeletonInterpolation, EachEasingModeWeighsTheKeyframesByTheCurve)
{
    InitSkeletonManager();
    KeyframeRecord out;
    // Linear: the exact midpoint.
    KeyframeRecord a = Frame(0, KEYFRAME_EASE_NONE, 0), b = Frame(10, KEYFRAME_EASE_NONE, 100);
    InterpolateKeyframes(&a, &b, 5, &out);
    EXPECT_FLOAT_EQ(out.position.x, 50);
    InterpolateKeyframes(&a, &b, 2.5f, &out);
    EXPECT_FLOAT_EQ(out.position.x, 25);

    // Both ease: smoothstep, half-way at the middle and slow near the ends (0.25 -> 0.156).
    a.easing = b.easing = KEYFRAME_EASE_BOTH;
    InterpolateKeyframes(&a, &b, 5, &out);
    EXPECT_NEAR(out.position.x, 50, 0.1);
    InterpolateKeyframes(&a, &b, 7.5f, &out);
    EXPECT_NEAR(out.position.x, 84.4, 0.1);

    // Only easing into b: at the middle d = 2 * curve(0.25) = 0.311, so b weighs 0.689.
    a.easing = KEYFRAME_EASE_NONE;
    b.easing = KEYFRAME_EASE_IN;
    InterpolateKeyframes(&a, &b, 5, &out);
    EXPECT_NEAR(out.position.x, 68.9, 0.1);

    // Only easing out of a: c = 0.311.
    a.easing = KEYFRAME_EASE_OUT;
    b.easing = KEYFRAME_EASE_NONE;
    InterpolateKeyframes(&a, &b, 5, &out);
    EXPECT_NEAR(out.position.x, 31.1, 0.1);
}

TEST(SkeletonInterpolation, ScalesBlendUniformlyFromTheirZComponents)
{
    InitSkeletonManager();
    KeyframeRecord a = Frame(0, 0, 0, 1), b = Frame(10, 0, 0, 2), out;
    InterpolateKeyframes(&a, &b, 5, &out);
    EXPECT_FLOAT_EQ(out.scale.x, 1.5f);
    EXPECT_FLOAT_EQ(out.scale.y, 1.5f);
    EXPECT_FLOAT_EQ(out.scale.z, 1.5f);
    b.scale = {1, 7, 7}; // both x exactly 1: no scaling at all
    InterpolateKeyframes(&a, &b, 5, &out);
    EXPECT_FLOAT_EQ(out.scale.y, 1);
}

TEST(SkeletonInterpolation, TheCurveRefusesValuesOutsideItsRange)
{
    InitSkeletonManager();
    EXPECT_EQ(FatalAlertMessageOf([] { AccelerationCurve(1.5f); }), " AccelerationPercent > 1.0");
    EXPECT_EQ(FatalAlertMessageOf([] { AccelerationCurve(-0.1f); }), " AccelerationPercent < 0");
    EXPECT_EQ(FatalAlertMessageOf([] { AccelerationCurve(std::nanf("")); }), " AccelerationPercent > 1.0");
    EXPECT_FLOAT_EQ(AccelerationCurve(0), 0);
}

// ---------------------------------------------------------------------------------------------------------
// Events
// ---------------------------------------------------------------------------------------------------------

TEST_F(SkeletonTest, ALoopWithALoopPointReturnsThereAndFindsTheNextEvent)
{
    Write(WithEvents({{10, ANIMEVENT_TYPE_SETLOOPPOINT, 0}, {20, 3, 0}, {40, ANIMEVENT_TYPE_LOOP, 0}}));
    LoadASkeleton(SKELETON_TYPE_RAPTOR);
    ObjNode* node = MakeCreature();
    SkeletonInstance* s = node->Skeleton;
    Step(node, 0.5f); // tick 15: the loop point is set
    EXPECT_FLOAT_EQ(s->loopTime, 10);
    Step(node, 26.5f / 30); // tick 41.5
    EXPECT_FLOAT_EQ(s->animTime, 11.5f);
    EXPECT_EQ(s->nextEvent, 1); // the first event at or after 11.5 is at 20
    EXPECT_FALSE(s->animStopped);
}

TEST_F(SkeletonTest, AReverseRunsBackAndBouncesForwardAtTheLoopPoint)
{
    Write(WithEvents({{20, ANIMEVENT_TYPE_REVERSE, 0}}));
    LoadASkeleton(SKELETON_TYPE_RAPTOR);
    ObjNode* node = MakeCreature();
    SkeletonInstance* s = node->Skeleton;
    Step(node, 21.0f / 30);
    EXPECT_FLOAT_EQ(s->animTime, 19);
    EXPECT_TRUE(s->playBackward);
    EXPECT_EQ(s->bounceMode, 2);
    Step(node, 19.5f / 30); // falls to -0.5 and is mirrored
    EXPECT_NEAR(s->animTime, 0.5f, 1e-4);
    EXPECT_FALSE(s->playBackward);
    EXPECT_EQ(s->nextEvent, 0);
    EXPECT_FALSE(s->animStopped);
}

TEST_F(SkeletonTest, ABackwardRunWithoutBounceStopsAtTheLoopPoint)
{
    Write(WithEvents({}));
    LoadASkeleton(SKELETON_TYPE_RAPTOR);
    ObjNode* node = MakeCreature();
    SkeletonInstance* s = node->Skeleton;
    s->animTime = 3;
    s->playBackward = true;
    s->bounceMode = 0;
    Step(node, 4.0f / 30);
    EXPECT_TRUE(s->animStopped);
    EXPECT_NEAR(s->animTime, 1, 1e-4);
}

TEST_F(SkeletonTest, APauseHoldsTheAnimationAtItsTick)
{
    Write(WithEvents({{6, ANIMEVENT_TYPE_PAUSE, 15}}));
    LoadASkeleton(SKELETON_TYPE_RAPTOR);
    ObjNode* node = MakeCreature();
    SkeletonInstance* s = node->Skeleton;
    Step(node, 7.0f / 30);
    EXPECT_FLOAT_EQ(s->animTime, 6);
    EXPECT_FLOAT_EQ(s->pauseTime, 0.5f);
    for (int i = 0; i < 4; i++) {
        Step(node, 0.125f);
        EXPECT_FLOAT_EQ(s->animTime, 6);
    }
    Step(node, 0.1f); // the pause has run out
    EXPECT_NEAR(s->animTime, 9, 1e-3);
}

TEST_F(SkeletonTest, StopAndFlagEventsMarkTheNode)
{
    Write(WithEvents({{2, ANIMEVENT_TYPE_SETFLAG, 4},
                      {4, ANIMEVENT_TYPE_CLEARFLAG, 4},
                      {6, ANIMEVENT_TYPE_STOP, 0},
                      {8, ANIMEVENT_TYPE_SETFLAG, 5}}));
    LoadASkeleton(SKELETON_TYPE_RAPTOR);
    ObjNode* node = MakeCreature();
    Step(node, 3.0f / 30);
    EXPECT_EQ(node->EventFlags[4], 1);
    Step(node, 2.0f / 30);
    EXPECT_EQ(node->EventFlags[4], 0);
    EXPECT_FALSE(node->Skeleton->animStopped);
    Step(node, 2.0f / 30);
    EXPECT_TRUE(node->Skeleton->animStopped);
    EXPECT_EQ(FatalAlertMessageOf([&] { Step(node, 2.0f / 30); }),
              "Error: ANIMEVENT_TYPE_SETFLAG > MAX_FLAGS_IN_OBJNODE!");
}

TEST_F(SkeletonTest, AFrameHandlesAtMostTwoLoops)
{
    // A loop at tick 0 would otherwise send the time back to itself for ever.
    Write(WithEvents({{0, ANIMEVENT_TYPE_LOOP, 0}, {1, ANIMEVENT_TYPE_LOOP, 0}}));
    LoadASkeleton(SKELETON_TYPE_RAPTOR);
    ObjNode* node = MakeCreature();
    Step(node, 5.0f / 30); // 5 loops back by 1 to 4, then the loop at 0 takes nothing off: two jumps
    EXPECT_NEAR(node->Skeleton->animTime, 4, 1e-4);
    EXPECT_EQ(node->Skeleton->nextEvent, 0);
}

// ---------------------------------------------------------------------------------------------------------
// Cross-fades, joints and skinning
// ---------------------------------------------------------------------------------------------------------

TEST_F(SkeletonTest, ACrossFadeHoldsTheTimeAndEndsAfterOneOverItsRate)
{
    TestSkeleton t;
    t.skeleton.animations.push_back(t.skeleton.animations[0]);
    t.skeleton.animations[1].keyframes[1] = {Key(0, {0, 10, 0}, {0, 0, 1})};
    Write(t);
    LoadASkeleton(SKELETON_TYPE_RAPTOR);
    ObjNode* node = MakeCreature();
    SkeletonInstance* s = node->Skeleton;
    MorphToSkeletonAnim(s, 1, 4);
    Step(node, 0.125f);
    EXPECT_TRUE(s->morphing);
    EXPECT_FLOAT_EQ(s->animTime, 0);
    EXPECT_NEAR(s->pose[1].rotation.z, 0.5f, 1e-5);
    Step(node, 0.125f);
    EXPECT_FALSE(s->morphing);
    EXPECT_FLOAT_EQ(s->pose[1].rotation.z, 1);
    EXPECT_EQ(FatalAlertMessageOf([&] { MorphToSkeletonAnim(s, 2, 4); }), "MorphToSkeletonAnim: bad anim #");
    EXPECT_EQ(FatalAlertMessageOf([&] { SetSkeletonAnim(s, 2); }), "SetSkeletonAnim: illegal animNum");
    MorphToSkeletonAnim(nullptr, 0, 1); // ignored
}

TEST_F(SkeletonTest, SkinningDependsOnTheTreeNotOnTheJointNumbers)
{
    // The same arm twice: root, elbow, hand numbered 0-1-2 and 0-2-1.
    auto arm = [](bool swapped) {
        TestSkeleton t;
        int elbow = swapped ? 2 : 1, hand = swapped ? 1 : 2;
        t.skeleton.joints.resize(3);
        t.skeleton.joints[0] = {-1, "root", {0, 0, 0}};
        t.skeleton.joints[size_t(elbow)] = {0, "elbow", {0, 10, 0}};
        t.skeleton.joints[size_t(hand)] = {elbow, "hand", {0, 20, 0}};
        t.skeleton.vertexJoints = {{0, 0, elbow, elbow}, {elbow, elbow, hand, hand}};
        SkeletonAnimation& anim = t.skeleton.animations[0];
        anim.keyframes.assign(3, {});
        anim.keyframes[0] = {Key(0, {0, 0, 0})};
        anim.keyframes[size_t(elbow)] = {Key(0, {0, 10, 0}, {0, 0, 0.5f})};
        anim.keyframes[size_t(hand)] = {Key(0, {0, 10, 0}, {0.3f, 0, 0.4f})};
        return t;
    };
    std::vector<Point3D> skinned[2];
    Point3D handPosition[2];
    for (int v = 0; v < 2; v++) {
        Write(arm(v == 1));
        LoadASkeleton(SKELETON_TYPE_RAPTOR);
        ObjNode* node = MakeCreature(SKELETON_TYPE_RAPTOR, 0, {5, 6, 7});
        for (int m = 0; m < 2; m++)
            for (int i = 0; i < 4; i++)
                skinned[v].push_back(node->Skeleton->skinnedMeshes[0][m].points[i]);
        FindJointPosition(node, v == 1 ? 1 : 2, &handPosition[v]);
        DisposeAllObjects();
        FreeAllSkeletonFiles(-1);
        TQ3D_DisposeAllContainers();
    }
    for (size_t i = 0; i < skinned[0].size(); i++) {
        EXPECT_NEAR(skinned[0][i].x, skinned[1][i].x, 1e-4);
        EXPECT_NEAR(skinned[0][i].y, skinned[1][i].y, 1e-4);
        EXPECT_NEAR(skinned[0][i].z, skinned[1][i].z, 1e-4);
    }
    // The hand's joint sits where the hand's skin starts.
    EXPECT_NEAR(handPosition[0].x, skinned[0][6].x - (skinned[0][6].x - skinned[0][7].x) / 2, 1e-3);
    EXPECT_NEAR(handPosition[0].x, handPosition[1].x, 1e-4);
}

TEST_F(SkeletonTest, EachFrameParityWritesItsOwnCopyOfTheSkin)
{
    Write(TestSkeleton());
    LoadASkeleton(SKELETON_TYPE_RAPTOR);
    ObjNode* node = MakeCreature();
    EXPECT_EQ(node->VertexArrayPool, VERTEX_ARRAY_POOL_SKINNED_0);
    SkeletonInstance* s = node->Skeleton;
    ASSERT_NE(s->skinnedMeshes[0][1].points, s->skinnedMeshes[1][1].points);
    Point3D before = s->skinnedMeshes[0][1].points[3];

    view.frameCount = 1;
    Step(node, 1.0f / 3);
    UpdateSkinnedGeometry(node);
    EXPECT_EQ(node->VertexArrayPool, VERTEX_ARRAY_POOL_SKINNED_1);
    EXPECT_FLOAT_EQ(s->skinnedMeshes[0][1].points[3].x, before.x); // last frame's copy untouched
    EXPECT_NE(s->skinnedMeshes[1][1].points[3].x, before.x);

    // The box follows the skin and is kept relative to the node for culling.
    EXPECT_FALSE(node->ModelBounds.isEmpty);
    EXPECT_FLOAT_EQ(node->ModelBounds.minY, node->SkinnedBounds.minY - node->Position.y);
    EXPECT_EQ(FatalAlertMessageOf([&] { FindJointPosition(node, 2, &before); }),
              "FindJointFullMatrix: illegal jointNum!");
}

TEST_F(SkeletonTest, MakingACreatureOfAnUnloadedTypeIsFatal)
{
    EXPECT_EQ(FatalAlertMessageOf([&] { MakeCreature(SKELETON_TYPE_WORM); }),
              "MakeNewSkeletonBaseData: Skeleton data isn't loaded! 5");
}
