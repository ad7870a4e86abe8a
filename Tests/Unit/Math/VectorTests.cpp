// Normalisation thresholds, products, distances, comparisons, reflection and planes.

#include "3D/Math3D.h"

#include <gtest/gtest.h>

namespace {

void ExpectVectorEq(Vector3D expected, Vector3D actual, float tolerance = 1e-6f)
{
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
    EXPECT_NEAR(expected.z, actual.z, tolerance);
}

} // namespace

TEST(MathVectorNormalise, ShorterThanThresholdBecomesZeroLongerBecomesUnit)
{
    Vector3D v = {0.00005f, 0.0f, 0.0f};
    Normalize3(&v, &v);
    ExpectVectorEq({0.0f, 0.0f, 0.0f}, v, 0.0f);

    v = {0.0002f, 0.0f, 0.0f};
    Normalize3(&v, &v);
    ExpectVectorEq({1.0f, 0.0f, 0.0f}, v);

    Vector2D flat = {0.0f, -0.00005f};
    Normalize2(&flat, &flat);
    EXPECT_EQ(0.0f, flat.x);
    EXPECT_EQ(0.0f, flat.y);
    flat = {0.0f, -0.0002f};
    Normalize2(&flat, &flat);
    EXPECT_NEAR(-1.0f, flat.y, 1e-6f);
}

TEST(MathVectorNormalise, ComponentFormTestsEachComponentNotTheLength)
{
    // Length 0.00017 is above the threshold, but every component is below it.
    Vector3D out;
    Normalize3XYZ(0.0001f, 0.0001f, 0.0001f, &out);
    ExpectVectorEq({0.0f, 0.0f, 0.0f}, out, 0.0f);

    Normalize3XYZ(0.0f, 0.0f, -0.0002f, &out);
    ExpectVectorEq({0.0f, 0.0f, -1.0f}, out);

    Vector3D same = {0.0001f, 0.0001f, 0.0001f};
    Normalize3(&same, &same);
    EXPECT_NEAR(0.57735f, same.x, 1e-4f);
}

TEST(MathVectorProducts, CrossIsRightHandedAndMayOverwriteAnInput)
{
    Vector3D x = {3.0f, 0.0f, 0.0f}, y = {0.0f, 2.0f, 0.0f};
    CrossNormalized(&x, &y, &x);
    ExpectVectorEq({0.0f, 0.0f, 1.0f}, x);

    Vector3D parallel = {1.0f, 0.0f, 0.0f}, alsoParallel = {2.0f, 0.0f, 0.0f};
    CrossNormalized(&parallel, &alsoParallel, &parallel);
    ExpectVectorEq({0.0f, 0.0f, 0.0f}, parallel, 0.0f);
}

TEST(MathVectorProducts, DotsAreClampedForArcCosine)
{
    Vector3D a = {1.0000001f, 0.0f, 0.0f}, b = {1.0000001f, 0.0f, 0.0f}, c = {-3.0f, 0.0f, 0.0f};
    EXPECT_EQ(1.0f, DotClamped(&a, &b));
    EXPECT_EQ(-1.0f, DotClamped(&a, &c));

    Vector2D p = {0.6f, 0.8f}, q = {0.8f, 0.6f};
    EXPECT_NEAR(0.96f, Dot2Clamped(&p, &q), 1e-6f);
    Vector2D big = {5.0f, 0.0f};
    EXPECT_EQ(1.0f, Dot2Clamped(&big, &big));
    EXPECT_NEAR(0.6f * 0.6f - 0.8f * 0.8f, Cross2(&p, &q), 1e-6f);
}

TEST(MathVectorLerp, BlendIsClampedAboveOneButNotBelowZero)
{
    Vector3D a = {1.0f, 0.0f, 0.0f}, b = {0.0f, 1.0f, 0.0f}, out;
    LerpNormalized(&a, &b, 0.5f, &out);
    ExpectVectorEq({0.70710677f, 0.70710677f, 0.0f}, out);

    LerpNormalized(&a, &b, 3.0f, &out);
    ExpectVectorEq(b, out);

    // t = -1 gives 2a - b, which points away from b.
    LerpNormalized(&a, &b, -1.0f, &out);
    ExpectVectorEq({0.8944272f, -0.4472136f, 0.0f}, out);
}

TEST(MathVectorCompare, EqualityTolerancesApplyPerComponent)
{
    Point3D a = {100.0f, 200.0f, 300.0f};
    Point3D tiny = {100.00005f, 200.0f, 300.0f};
    Point3D small = {100.0f, 200.01f, 300.0f};
    Point3D large = {100.0f, 200.0f, 300.03f};
    EXPECT_TRUE(PointsEqual(&a, &tiny));
    EXPECT_FALSE(PointsEqual(&a, &small));
    EXPECT_TRUE(PointsNearlyEqual(&a, &small));
    EXPECT_FALSE(PointsNearlyEqual(&a, &large));
}

TEST(MathVectorReflect, BounceKeepsSpeedAndMirrorsAcrossTheNormal)
{
    Vector2D falling = {3.0f, -4.0f}, floor = {0.0f, 1.0f}, out;
    Reflect2D(&falling, &floor, &out);
    EXPECT_NEAR(3.0f, out.x, 1e-5f);
    EXPECT_NEAR(4.0f, out.y, 1e-5f);

    Vector2D headOn = {-2.0f, 0.0f}, wall = {1.0f, 0.0f};
    Reflect2D(&headOn, &wall, &headOn);
    EXPECT_NEAR(2.0f, headOn.x, 1e-5f);
    EXPECT_NEAR(0.0f, headOn.y, 1e-5f);

    Vector2D still = {0.00001f, 0.0f};
    Reflect2D(&still, &wall, &out);
    EXPECT_EQ(0.0f, out.x);
    EXPECT_EQ(0.0f, out.y);
}

TEST(MathVectorPlane, PlaneContainsAllThreeVertices)
{
    const Point3D triangle[3] = {{1.0f, 5.0f, 2.0f}, {4.0f, 6.0f, -1.0f}, {0.0f, 3.0f, 7.0f}};
    PlaneEquation plane;
    PlaneFromTriangle(triangle, &plane);
    EXPECT_NEAR(1.0f, VectorLength(&plane.normal), 1e-5f);
    for (const Point3D& p : triangle) {
        float distance = plane.normal.x * p.x + plane.normal.y * p.y + plane.normal.z * p.z + plane.constant;
        EXPECT_NEAR(0.0f, distance, 1e-4f);
    }
}

TEST(MathVectorPlane, WindingSetsTheNormalSide)
{
    // (p2 - p1) x (p0 - p1): this winding seen from above gives a downward normal.
    const Point3D triangle[3] = {{0.0f, 2.0f, 0.0f}, {1.0f, 2.0f, 0.0f}, {0.0f, 2.0f, 1.0f}};
    PlaneEquation plane;
    PlaneFromTriangle(triangle, &plane);
    ExpectVectorEq({0.0f, -1.0f, 0.0f}, plane.normal);
    EXPECT_NEAR(2.0f, plane.constant, 1e-6f);
}

TEST(MathVectorPlane, DegenerateTriangleLeavesPlaneUntouched)
{
    const Point3D collinear[3] = {{0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 1.0f}, {2.0f, 2.0f, 2.0f}};
    const Point3D repeated[3] = {{5.0f, 5.0f, 5.0f}, {5.0f, 5.0f, 5.0f}, {9.0f, 0.0f, 0.0f}};
    PlaneEquation plane = {{0.25f, 0.5f, 0.75f}, 42.0f};
    PlaneFromTriangle(collinear, &plane);
    PlaneFromTriangle(repeated, &plane);
    ExpectVectorEq({0.25f, 0.5f, 0.75f}, plane.normal, 0.0f);
    EXPECT_EQ(42.0f, plane.constant);
}
