// Matrix construction, products, inversion and point transforms.

#include "3D/Math3D.h"

#include <gtest/gtest.h>

namespace {

constexpr float kTolerance = 1e-5f;

void ExpectMatricesNear(const Matrix4x4& expected, const Matrix4x4& actual, float tolerance = kTolerance)
{
    for (int i = 0; i < 16; i++)
        EXPECT_NEAR(expected.value[i], actual.value[i], tolerance) << "element " << i;
}

void ExpectPointNear(Point3D expected, Point3D actual, float tolerance = kTolerance)
{
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
    EXPECT_NEAR(expected.z, actual.z, tolerance);
}

Point3D Transformed(Point3D p, const Matrix4x4& m)
{
    TransformPoint(&p, &m, &p);
    return p;
}

// A general matrix: rotation, non-uniform scale and translation, plus a projective bottom row.
Matrix4x4 GeneralMatrix()
{
    return {{2.0f, 0.5f, -1.0f, 0.1f, 0.3f, 3.0f, 0.2f, -0.2f, -1.0f, 0.4f, 1.5f, 0.05f, 7.0f, -3.0f, 2.0f,
             1.0f}};
}

// Columns are orthonormal and right-handed, so the matrix is a pure rotation.
void ExpectRotation(const Matrix4x4& m)
{
    const float* v = m.value;
    Vector3D x = {v[0], v[1], v[2]}, y = {v[4], v[5], v[6]}, z = {v[8], v[9], v[10]};
    EXPECT_NEAR(VectorLength(&x), 1.0f, kTolerance);
    EXPECT_NEAR(VectorLength(&y), 1.0f, kTolerance);
    EXPECT_NEAR(VectorLength(&z), 1.0f, kTolerance);
    Vector3D xCrossY;
    CrossNormalized(&x, &y, &xCrossY);
    EXPECT_NEAR(xCrossY.x, z.x, kTolerance);
    EXPECT_NEAR(xCrossY.y, z.y, kTolerance);
    EXPECT_NEAR(xCrossY.z, z.z, kTolerance);
}

} // namespace

TEST(MathMatrixProduct, AppliesFirstThenSecond)
{
    Matrix4x4 move, grow, product;
    MatrixTranslate(&move, 1.0f, 0.0f, 0.0f);
    MatrixScale(&grow, 2.0f, 3.0f, 4.0f);

    MatrixMultiply(&move, &grow, &product);
    ExpectPointNear({4.0f, 3.0f, 4.0f}, Transformed({1.0f, 1.0f, 1.0f}, product));

    MatrixMultiply(&grow, &move, &product);
    ExpectPointNear({3.0f, 3.0f, 4.0f}, Transformed({1.0f, 1.0f, 1.0f}, product));
}

TEST(MathMatrixProduct, KnownElementOfAGeneralProduct)
{
    Matrix4x4 a = GeneralMatrix(), b, product;
    for (int i = 0; i < 16; i++)
        b.value[i] = (float)(i + 1);
    MatrixMultiply(&a, &b, &product);
    // Row 0 of the second matrix (1, 5, 9, 13) times column 0 of the first (2, 0.5, -1, 0.1).
    EXPECT_FLOAT_EQ(1 * 2.0f + 5 * 0.5f + 9 * -1.0f + 13 * 0.1f, product.value[0]);
    // Row 3 (4, 8, 12, 16) times column 2 (-1, 0.4, 1.5, 0.05).
    EXPECT_FLOAT_EQ(4 * -1.0f + 8 * 0.4f + 12 * 1.5f + 16 * 0.05f, product.value[11]);
}

TEST(MathMatrixProduct, OutputMayAliasEitherInput)
{
    Matrix4x4 a = GeneralMatrix(), b, separate;
    MatrixRotateXYZ(&b, 0.3f, -1.1f, 2.0f);
    b.value[12] = 5.0f;
    MatrixMultiply(&a, &b, &separate);

    Matrix4x4 intoFirst = a;
    MatrixMultiply(&intoFirst, &b, &intoFirst);
    ExpectMatricesNear(separate, intoFirst, 0.0f);

    Matrix4x4 intoSecond = b;
    MatrixMultiply(&a, &intoSecond, &intoSecond);
    ExpectMatricesNear(separate, intoSecond, 0.0f);

    Matrix4x4 squared = a, expectedSquare;
    MatrixMultiply(&a, &a, &expectedSquare);
    MatrixMultiply(&squared, &squared, &squared);
    ExpectMatricesNear(expectedSquare, squared, 0.0f);
}

TEST(MathMatrixInverse, RoundTripGivesIdentity)
{
    Matrix4x4 general = GeneralMatrix(), inverse, product, identity;
    MatrixIdentity(&identity);

    MatrixInvert(&general, &inverse);
    MatrixMultiply(&general, &inverse, &product);
    ExpectMatricesNear(identity, product);
    MatrixMultiply(&inverse, &general, &product);
    ExpectMatricesNear(identity, product);

    Matrix4x4 projection;
    MatrixPerspective(&projection, 1.0f, 1.5f, 10.0f, 5000.0f);
    MatrixInvert(&projection, &inverse);
    MatrixMultiply(&projection, &inverse, &product);
    ExpectMatricesNear(identity, product, 1e-4f);
}

TEST(MathMatrixInverse, ZeroLeadingElementNeedsRowExchange)
{
    // A plain axis swap has a zero in every first pivot position without row exchanges.
    Matrix4x4 swap = {{0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1}};
    Matrix4x4 inverse, product, identity;
    MatrixIdentity(&identity);
    MatrixInvert(&swap, &inverse);
    MatrixMultiply(&swap, &inverse, &product);
    ExpectMatricesNear(identity, product);
}

TEST(MathMatrixInverse, SingularMatrixGivesIdentity)
{
    Matrix4x4 flattened, inverse, identity;
    MatrixScale(&flattened, 1.0f, 0.0f, 1.0f);
    MatrixIdentity(&identity);
    MatrixInvert(&flattened, &inverse);
    ExpectMatricesNear(identity, inverse, 0.0f);
}

TEST(MathMatrixInverse, InPlaceMatchesSeparateOutput)
{
    Matrix4x4 general = GeneralMatrix(), separate;
    MatrixInvert(&general, &separate);
    MatrixInvert(&general, &general);
    ExpectMatricesNear(separate, general, 0.0f);
}

TEST(MathMatrixRotation, CombinedRotationIsXThenYThenZ)
{
    const float rx = 0.7f, ry = -1.3f, rz = 2.1f;
    Matrix4x4 aboutX, aboutY, aboutZ, product, combined;
    MatrixRotateX(&aboutX, rx);
    MatrixRotateY(&aboutY, ry);
    MatrixRotateZ(&aboutZ, rz);
    MatrixMultiply(&aboutX, &aboutY, &product);
    MatrixMultiply(&product, &aboutZ, &product);
    MatrixRotateXYZ(&combined, rx, ry, rz);
    ExpectMatricesNear(product, combined);
}

TEST(MathMatrixRotation, QuarterTurnAboutYTurnsForwardToMinusX)
{
    // Heading pi/2 must face (-sin, -cos) = (-1, 0) on the ground, as the turn helpers assume.
    Matrix4x4 m;
    MatrixRotateY(&m, PI / 2);
    ExpectPointNear({-1.0f, 0.0f, 0.0f}, Transformed({0.0f, 0.0f, -1.0f}, m));
}

TEST(MathMatrixRotation, AxisRotationAgreesWithSingleAxisRotations)
{
    const float angle = 0.9f;
    const Vector3D axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Matrix4x4 expected[3], aboutAxis;
    MatrixRotateX(&expected[0], angle);
    MatrixRotateY(&expected[1], angle);
    MatrixRotateZ(&expected[2], angle);
    for (int i = 0; i < 3; i++) {
        MatrixRotateAxis(&aboutAxis, &axes[i], angle);
        ExpectMatricesNear(expected[i], aboutAxis);
    }
}

TEST(MathMatrixRotation, PivotStaysFixedAndOtherPointsCircleIt)
{
    Point3D pivot = {10.0f, 5.0f, -3.0f};
    Matrix4x4 m;
    MatrixRotateAboutPoint(&m, &pivot, 0.0f, PI / 2, 0.0f);
    ExpectPointNear(pivot, Transformed(pivot, m), 1e-4f);
    ExpectPointNear({9.0f, 5.0f, -3.0f}, Transformed({10.0f, 5.0f, -4.0f}, m), 1e-4f);
}

TEST(MathMatrixCamera, LookAtFromTheSideKeepsDistanceAndUp)
{
    Point3D from = {20.0f, 0.0f, 0.0f}, to = {0.0f, 0.0f, 0.0f};
    Vector3D up = {0.0f, 1.0f, 0.0f};
    Matrix4x4 view;
    MatrixLookAtView(&view, &from, &to, &up);
    ExpectRotation(view);
    ExpectPointNear({0.0f, 0.0f, -20.0f}, Transformed(to, view), 1e-4f);
    ExpectPointNear({0.0f, 7.0f, -20.0f}, Transformed({0.0f, 7.0f, 0.0f}, view), 1e-4f);
    // Looking down -X, world -Z is on the camera's right.
    ExpectPointNear({1.0f, 0.0f, -20.0f}, Transformed({0.0f, 0.0f, -1.0f}, view), 1e-4f);
}

TEST(MathMatrixCamera, PerspectiveMapsNearAndFarPlanesToClipRange)
{
    Matrix4x4 projection;
    MatrixPerspective(&projection, PI / 2, 2.0f, 10.0f, 1000.0f);
    Point3D nearPoint = {0.0f, 0.0f, -10.0f}, farPoint = {0.0f, 0.0f, -1000.0f};
    TransformPointProjective(&nearPoint, &projection, &nearPoint);
    TransformPointProjective(&farPoint, &projection, &farPoint);
    EXPECT_NEAR(-1.0f, nearPoint.z, 1e-5f);
    EXPECT_NEAR(1.0f, farPoint.z, 1e-5f);

    // With a 90 degree field, a point at 45 degrees up sits on the top edge; aspect narrows x.
    Point3D corner = {50.0f, 50.0f, -50.0f};
    TransformPointProjective(&corner, &projection, &corner);
    EXPECT_NEAR(0.5f, corner.x, 1e-5f);
    EXPECT_NEAR(1.0f, corner.y, 1e-5f);
}

TEST(MathMatrixCamera, PaneViewportPutsTopLeftAtPixelZero)
{
    Matrix4x4 viewport;
    MatrixPaneViewport(&viewport, 640, 480);
    ExpectPointNear({0.0f, 0.0f, 0.0f}, Transformed({-1.0f, 1.0f, 0.0f}, viewport));
    ExpectPointNear({640.0f, 480.0f, 0.0f}, Transformed({1.0f, -1.0f, 0.0f}, viewport));
}

TEST(MathMatrixOrientation, OrientAlongPointsLocalForwardAlongDirection)
{
    Vector3D direction;
    Normalize3XYZ(1.0f, 0.5f, -2.0f, &direction);
    Matrix4x4 m;
    MatrixOrientAlong(&m, &direction);
    ExpectRotation(m);
    ExpectPointNear({direction.x, direction.y, direction.z}, Transformed({0.0f, 0.0f, -1.0f}, m));
}

TEST(MathMatrixOrientation, OrientAlongStraightUpStaysARotation)
{
    Vector3D up = {0.0f, 1.0f, 0.0f};
    Matrix4x4 m;
    MatrixOrientAlong(&m, &up);
    ExpectRotation(m);
    ExpectPointNear({0.0f, 1.0f, 0.0f}, Transformed({0.0f, 0.0f, -1.0f}, m));
}

TEST(MathMatrixOrientation, OrientTowardFacesTargetFromItsOwnPosition)
{
    Vector3D up = {0.0f, 1.0f, 0.0f};
    Point3D from = {10.0f, 0.0f, 10.0f}, to = {10.0f, 0.0f, 50.0f};
    Matrix4x4 m;
    MatrixOrientToward(&m, &up, &from, &to);
    ExpectRotation(m);
    ExpectPointNear(from, Transformed({0.0f, 0.0f, 0.0f}, m));
    ExpectPointNear({10.0f, 0.0f, 11.0f}, Transformed({0.0f, 0.0f, -1.0f}, m));
    ExpectPointNear({10.0f, 1.0f, 10.0f}, Transformed({0.0f, 1.0f, 0.0f}, m));
}

TEST(MathMatrixOrientation, AlignToSlopeStandsLocalUpOnTheNormal)
{
    Vector3D normal;
    Normalize3XYZ(0.0f, 1.0f, 1.0f, &normal);
    // Heading across the slope, so the forward direction lies in the slope.
    Point3D ahead = {10.0f, 0.0f, 0.0f}, behind = {0.0f, 0.0f, 0.0f};
    Matrix4x4 m;
    MatrixAlignToNormal(&m, &normal, &ahead, &behind);
    ExpectRotation(m);
    ExpectPointNear({normal.x, normal.y, normal.z}, Transformed({0.0f, 1.0f, 0.0f}, m));
}

TEST(MathMatrixTransform, AffineTransformIgnoresBottomRowProjectiveDividesByIt)
{
    Matrix4x4 m;
    MatrixTranslate(&m, 1.0f, 2.0f, 3.0f);
    m.value[15] = 2.0f;
    Point3D p = {1.0f, 1.0f, 1.0f}, affine, projective;
    TransformPoint(&p, &m, &affine);
    TransformPointProjective(&p, &m, &projective);
    ExpectPointNear({2.0f, 3.0f, 4.0f}, affine);
    ExpectPointNear({1.0f, 1.5f, 2.0f}, projective);

    TransformPointProjective(&p, &m, &p);
    ExpectPointNear(projective, p);
}

TEST(MathMatrixTransform, ArrayTransformCoversTheRemainderAfterGroupsOfFour)
{
    Matrix4x4 m = GeneralMatrix();
    Point3D points[7], expected[7];
    for (int i = 0; i < 7; i++) {
        points[i] = {(float)i, (float)(i * i), (float)-i};
        expected[i] = Transformed(points[i], m);
    }
    TransformPoints(points, &m, points, 7);
    for (int i = 0; i < 7; i++)
        ExpectPointNear(expected[i], points[i]);
}

TEST(MathMatrixTransform, VectorTransformSkipsTranslationAndNormalises)
{
    Matrix4x4 m;
    MatrixScale(&m, 5.0f, 5.0f, 5.0f);
    m.value[12] = 100.0f;
    Vector3D v = {0.0f, 3.0f, 0.0f};
    TransformVector(&v, &m, &v);
    EXPECT_NEAR(0.0f, v.x, kTolerance);
    EXPECT_NEAR(1.0f, v.y, kTolerance);
    EXPECT_NEAR(0.0f, v.z, kTolerance);
}

TEST(MathMatrixTransform, TwoDimensionalRotationTurnsXTowardY)
{
    Matrix3x3 m;
    Matrix2DRotate(&m, PI / 2);
    m.value[6] = 10.0f;
    Point2D points[2] = {{1.0f, 0.0f}, {0.0f, 2.0f}};
    TransformPoints2D(points, &m, points, 2);
    EXPECT_NEAR(10.0f, points[0].x, kTolerance);
    EXPECT_NEAR(1.0f, points[0].y, kTolerance);
    EXPECT_NEAR(8.0f, points[1].x, kTolerance);
    EXPECT_NEAR(0.0f, points[1].y, kTolerance);
}

TEST(MathMatrixTransform, UnprojectUndoesViewProjectionAndViewport)
{
    Point3D from = {0.0f, 200.0f, 500.0f}, to = {50.0f, 0.0f, 0.0f};
    Vector3D up = {0.0f, 1.0f, 0.0f};
    Matrix4x4 view, projection, viewToClip;
    MatrixLookAtView(&view, &from, &to, &up);
    MatrixPerspective(&projection, 1.0f, 4.0f / 3.0f, 10.0f, 4000.0f);
    MatrixMultiply(&view, &projection, &viewToClip);

    const Point2D origin = {100.0f, 20.0f};
    const Vector2D size = {640.0f, 480.0f};
    const Point3D world = {80.0f, 30.0f, -60.0f};
    Point3D device;
    TransformPointProjective(&world, &viewToClip, &device);
    Point3D screen = {origin.x + (device.x + 1.0f) * 0.5f * size.x,
                      origin.y + (device.y + 1.0f) * 0.5f * size.y, (device.z + 1.0f) * 0.5f};

    Point3D back;
    Unproject(&screen, &view, &projection, &origin, &size, &back);
    ExpectPointNear(world, back, 0.05f);
}
