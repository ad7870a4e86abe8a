// Frustum culling of bounding boxes and 2D segment crossing.

#include "3D/Math3D.h"

#include <gtest/gtest.h>

namespace {

// Camera at the origin looking down -Z, 90 degree field, near 10, far 1000. With these planes clip z
// reaches 0 at a depth of 19.8, well beyond the near plane.
struct MathBoxCullingTest : ::testing::Test
{
    Matrix4x4 savedWorldToClip;
    void SetUp() override
    {
        savedWorldToClip = gWorldToClipMatrix;
        Matrix4x4 view, projection;
        Point3D eye = {0.0f, 0.0f, 0.0f}, ahead = {0.0f, 0.0f, -1.0f};
        Vector3D up = {0.0f, 1.0f, 0.0f};
        MatrixLookAtView(&view, &eye, &ahead, &up);
        MatrixPerspective(&projection, PI / 2, 1.0f, 10.0f, 1000.0f);
        MatrixMultiply(&view, &projection, &gWorldToClipMatrix);
    }
    void TearDown() override { gWorldToClipMatrix = savedWorldToClip; }
};

BoundingBox BoxAround(float x, float y, float z, float halfSize)
{
    return {x - halfSize, y - halfSize, z - halfSize, x + halfSize, y + halfSize, z + halfSize, false};
}

} // namespace

TEST_F(MathBoxCullingTest, BoxInFrontIsVisibleBehindIsNot)
{
    BoundingBox front = BoxAround(0.0f, 0.0f, -200.0f, 10.0f);
    BoundingBox behind = BoxAround(0.0f, 0.0f, 200.0f, 10.0f);
    EXPECT_TRUE(IsBoxVisible(&front, nullptr));
    EXPECT_FALSE(IsBoxVisible(&behind, nullptr));
}

TEST_F(MathBoxCullingTest, BoxBetweenEyeAndClipZeroPlaneIsCulled)
{
    // Beyond the near plane (depth 10) but short of clip z = 0 (depth 19.8).
    BoundingBox close = {-1.0f, -1.0f, -18.0f, 1.0f, 1.0f, -12.0f, false};
    EXPECT_FALSE(IsBoxVisible(&close, nullptr));
    BoundingBox justPast = {-1.0f, -1.0f, -25.0f, 1.0f, 1.0f, -12.0f, false};
    EXPECT_TRUE(IsBoxVisible(&justPast, nullptr));
}

TEST_F(MathBoxCullingTest, BoxBeyondAnySideIsCulled)
{
    BoundingBox tooFar = BoxAround(0.0f, 0.0f, -1200.0f, 50.0f);
    BoundingBox left = BoxAround(-300.0f, 0.0f, -200.0f, 10.0f);
    BoundingBox above = BoxAround(0.0f, 300.0f, -200.0f, 10.0f);
    EXPECT_FALSE(IsBoxVisible(&tooFar, nullptr));
    EXPECT_FALSE(IsBoxVisible(&left, nullptr));
    EXPECT_FALSE(IsBoxVisible(&above, nullptr));
}

TEST_F(MathBoxCullingTest, BoxStraddlingAnEdgeOrSurroundingTheEyeIsVisible)
{
    BoundingBox straddlingLeftEdge = BoxAround(-200.0f, 0.0f, -200.0f, 20.0f);
    BoundingBox widerThanView = {-5000.0f, -1.0f, -101.0f, 5000.0f, 1.0f, -100.0f, false};
    BoundingBox aroundEye = BoxAround(0.0f, 0.0f, 0.0f, 100.0f);
    EXPECT_TRUE(IsBoxVisible(&straddlingLeftEdge, nullptr));
    EXPECT_TRUE(IsBoxVisible(&widerThanView, nullptr));
    EXPECT_TRUE(IsBoxVisible(&aroundEye, nullptr));
}

TEST_F(MathBoxCullingTest, LocalMatrixMovesTheBoxBeforeTesting)
{
    BoundingBox local = BoxAround(0.0f, 0.0f, 0.0f, 10.0f);
    Matrix4x4 inFront, behind;
    MatrixTranslate(&inFront, 0.0f, 0.0f, -300.0f);
    MatrixTranslate(&behind, 0.0f, 0.0f, 300.0f);
    EXPECT_TRUE(IsBoxVisible(&local, &inFront));
    EXPECT_FALSE(IsBoxVisible(&local, &behind));
}

TEST_F(MathBoxCullingTest, EmptyBoxIsNeverCulled)
{
    BoundingBox unknown = BoxAround(0.0f, 0.0f, 500.0f, 1.0f);
    unknown.isEmpty = true;
    EXPECT_TRUE(IsBoxVisible(&unknown, nullptr));
}

TEST(MathSegmentCrossing, CrossingSegmentsMeetNearTheirTrueCrossing)
{
    Point2D a1 = {0.0f, 0.0f}, a2 = {100.0f, 100.0f}, b1 = {0.0f, 100.0f}, b2 = {100.0f, 0.0f};
    float x = 0.0f, y = 0.0f;
    ASSERT_TRUE(SegmentsIntersect2D(&a1, &a2, &b1, &b2, &x, &y));
    // The crossing is snapped by up to half a unit.
    EXPECT_NEAR(50.0f, x, 0.51f);
    EXPECT_NEAR(50.0f, y, 0.51f);
}

TEST(MathSegmentCrossing, DisjointSegmentsDoNotCross)
{
    float x = -1.0f, y = -1.0f;
    Point2D a1 = {0.0f, 0.0f}, a2 = {10.0f, 10.0f};
    Point2D farAway1 = {20.0f, 0.0f}, farAway2 = {30.0f, 10.0f};
    Point2D below1 = {6.0f, 0.0f}, below2 = {10.0f, 3.0f};
    Point2D parallel1 = {0.0f, 3.0f}, parallel2 = {7.0f, 10.0f};
    EXPECT_FALSE(SegmentsIntersect2D(&a1, &a2, &farAway1, &farAway2, &x, &y));
    EXPECT_FALSE(SegmentsIntersect2D(&a1, &a2, &below1, &below2, &x, &y));
    EXPECT_FALSE(SegmentsIntersect2D(&a1, &a2, &parallel1, &parallel2, &x, &y));
    EXPECT_EQ(-1.0f, x);
    EXPECT_EQ(-1.0f, y);
}

TEST(MathSegmentCrossing, SegmentEndingOnAnotherTouchesIt)
{
    Point2D a1 = {0.0f, 0.0f}, a2 = {10.0f, 0.0f}, b1 = {5.0f, 0.0f}, b2 = {5.0f, 5.0f};
    float x = 0.0f, y = 0.0f;
    ASSERT_TRUE(SegmentsIntersect2D(&a1, &a2, &b1, &b2, &x, &y));
    EXPECT_NEAR(5.0f, x, 0.51f);
    EXPECT_NEAR(0.0f, y, 0.51f);
}

TEST(MathSegmentCrossing, CollinearOverlapReportsTheFirstSegmentStart)
{
    Point2D a1 = {2.0f, 3.0f}, a2 = {12.0f, 3.0f}, b1 = {7.0f, 3.0f}, b2 = {20.0f, 3.0f};
    float x = 0.0f, y = 0.0f;
    ASSERT_TRUE(SegmentsIntersect2D(&a1, &a2, &b1, &b2, &x, &y));
    EXPECT_EQ(2.0f, x);
    EXPECT_EQ(3.0f, y);
}

TEST(MathSegmentCrossing, SideTestsTruncateTowardZeroRatherThanRound)
{
    // Line a: x - 10y = 0. b lies just above it: its side values are -0.5 and -0.8, which truncate to
    // 0 (touching) but would round or floor to -1 (clearly on one side).
    Point2D a1 = {0.0f, 0.0f}, a2 = {10.0f, 1.0f};
    Point2D nearMiss1 = {2.0f, 0.25f}, nearMiss2 = {4.0f, 0.48f};
    float x = 0.0f, y = 0.0f;
    EXPECT_TRUE(SegmentsIntersect2D(&a1, &a2, &nearMiss1, &nearMiss2, &x, &y));

    // Side values -1.5 and -2 truncate to -1 and -2: the same side, so no crossing.
    Point2D clearMiss1 = {2.0f, 0.35f}, clearMiss2 = {4.0f, 0.6f};
    EXPECT_FALSE(SegmentsIntersect2D(&a1, &a2, &clearMiss1, &clearMiss2, &x, &y));
}
