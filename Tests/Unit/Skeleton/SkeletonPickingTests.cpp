// Picking a skinned creature: segments and rays meet the skin that this frame's skinning wrote, not the
// other parity's copy and not the rest pose.
#include "3D/Picking.h"
#include "SkeletonTestSupport.h"

namespace {

// A segment along -z through (x, y), from z = 5 to z = -5.
PickSegment ThroughZ(float x, float y)
{
    return {{x, y, 5}, {x, y, -5}};
}

} // namespace

TEST_F(SkeletonTest, PickingMeetsTheSkinOfThisFramesParity)
{
    Write(TestSkeleton());
    LoadASkeleton(SKELETON_TYPE_RAPTOR);
    ObjNode* node = MakeCreature(); // skinned into copy 0 in the rest pose: the arm stands up the y axis

    // Frame 1: half of the animation turns the arm 45 degrees about z into copy 1.
    view.frameCount = 1;
    Step(node, 0.5f);
    UpdateSkinnedGeometry(node);

    const float kHalfRoot2 = 0.70710678f;
    Point3D point;
    Vector3D normal;
    float distance = 0;
    PickSegment onTurnedArm = ThroughZ(-5 * kHalfRoot2, 10 + 5 * kHalfRoot2);
    ASSERT_TRUE(SegmentHitsSkinnedMeshes(&onTurnedArm, node, &point, &normal, &distance));
    EXPECT_NEAR(distance, 5, 1e-3);
    EXPECT_NEAR(point.z, 0, 1e-3);
    EXPECT_NEAR(std::fabs(normal.z), 1, 1e-3);
    PickSegment whereTheArmStood = ThroughZ(0, 15);
    EXPECT_FALSE(SegmentHitsSkinnedMeshes(&whereTheArmStood, node, nullptr, nullptr, &distance));
    EXPECT_EQ(distance, PICK_SEGMENT_NO_HIT);

    PickRay ray = {{-5 * kHalfRoot2, 10 + 5 * kHalfRoot2, -8}, {0, 0, 1}, 0};
    ASSERT_TRUE(RayHitsSkinnedMeshes(&ray, node, &point, nullptr));
    EXPECT_NEAR(ray.distance, 8, 1e-3);

    // Frame 2 reads copy 0 again, which still holds the rest pose until it is skinned.
    view.frameCount = 2;
    EXPECT_TRUE(SegmentHitsSkinnedMeshes(&whereTheArmStood, node, nullptr, nullptr, &distance));
    EXPECT_FALSE(SegmentHitsSkinnedMeshes(&onTurnedArm, node, nullptr, nullptr, nullptr));
}
