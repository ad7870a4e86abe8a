#include "ObjectTestSupport.h"

#include <cmath>

class NodeTransform : public ObjectTest
{
};

static Point3D Through(const Matrix4x4* m, Point3D p)
{
    Point3D out;
    TransformPoint(&p, m, &out);
    return out;
}

// Rotates p about the axes in the given order ('x', 'y', 'z'), one axis at a time.
static Point3D RotateStepwise(Point3D p, const char* order, const Vector3D& angles)
{
    for (const char* axis = order; *axis; axis++) {
        Matrix4x4 m;
        if (*axis == 'x')
            MatrixRotateX(&m, angles.x);
        else if (*axis == 'y')
            MatrixRotateY(&m, angles.y);
        else
            MatrixRotateZ(&m, angles.z);
        p = Through(&m, p);
    }
    return p;
}

static void ExpectNear(const Point3D& actual, const Point3D& expected)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-3f);
    EXPECT_NEAR(actual.y, expected.y, 1e-3f);
    EXPECT_NEAR(actual.z, expected.z, 1e-3f);
}

TEST_F(NodeTransform, EveryRotationOrderScalesFirstRotatesInItsOrderThenTranslates)
{
    struct Case
    {
        uint32_t bits;
        const char* order;
    };
    const Case cases[] = {
        {0, "xyz"}, {NODEBIT_ROT_XZY, "xzy"}, {NODEBIT_ROT_YZX, "yzx"}, {NODEBIT_ROT_ZXY, "zxy"}};
    const Point3D local = {1.0f, 2.0f, 3.0f};
    ObjNode* node = MakeNode(1);
    node->Position = {100.0f, -50.0f, 25.0f};
    node->Rotation = {0.3f, 1.1f, -0.7f};
    node->Scale = {2.0f, 3.0f, 0.5f};

    Point3D previous = {};
    for (const Case& c : cases) {
        node->StatusFlags = c.bits;
        RebuildNodeTransform(node);
        Point3D scaled = {local.x * 2.0f, local.y * 3.0f, local.z * 0.5f};
        Point3D expected = RotateStepwise(scaled, c.order, node->Rotation);
        expected = {expected.x + 100.0f, expected.y - 50.0f, expected.z + 25.0f};
        SCOPED_TRACE(c.order);
        Point3D actual = Through(&node->Transform, local);
        ExpectNear(actual, expected);
        EXPECT_FALSE(actual.x == previous.x && actual.z == previous.z); // the orders really differ
        previous = actual;
    }
}

TEST_F(NodeTransform, RotationMatrixWinsOverTheOrderBitsAndItsTranslationIsIgnored)
{
    ObjNode* node = MakeNode(1);
    MatrixRotateY(&node->RotMatrix, PI / 2);
    node->RotMatrix.value[12] = 999.0f;
    node->Rotation = {1.0f, 0.0f, 1.0f};
    node->Position = {10.0f, 0.0f, 0.0f};
    node->StatusFlags = NODEBIT_USE_ROT_MATRIX | NODEBIT_ROT_XZY;
    RebuildNodeTransform(node);
    Matrix4x4 expected;
    MatrixRotateY(&expected, PI / 2);
    Point3D rotated = Through(&expected, {1.0f, 0.0f, 0.0f});
    ExpectNear(Through(&node->Transform, {1.0f, 0.0f, 0.0f}), {rotated.x + 10.0f, rotated.y, rotated.z});
}

TEST_F(NodeTransform, RebuildRefreshesMatrixObjectGridCellAndPickingCache)
{
    ObjNode* node = MakeNode(1);
    Matrix4x4 identity;
    MatrixIdentity(&identity);
    node->TransformObject = MO_CreateNewObjectOfType(MO_TYPE_MATRIX, 0, &identity);
    node->Position = {-2048.5f, 1023.0f, 4096.0f};
    node->WorldPointsValid = 1;
    RebuildNodeTransform(node);
    EXPECT_EQ(MO_GetMatrixData(node->TransformObject)->value[12], -2048.5f);
    EXPECT_EQ(node->GridCell[0], -2);
    EXPECT_EQ(node->GridCell[1], 0);
    EXPECT_EQ(node->GridCell[2], 4);
    EXPECT_EQ(node->WorldPointsValid, 0);
}

TEST_F(NodeTransform, CommitWritesBackAndDerivesMotionDirection)
{
    ObjNode* node = MakeNode(1);
    BeginNodeUpdate(node);
    gWorkPos = {10.0f, 20.0f, 30.0f};
    gWorkVel = {0.0f, 3.0f, -4.0f};
    CommitNodeUpdate(node);
    EXPECT_EQ(node->Position.y, 20.0f);
    EXPECT_EQ(node->Velocity.z, -4.0f);
    EXPECT_FLOAT_EQ(node->MotionDir.y, 0.6f);
    EXPECT_FLOAT_EQ(node->MotionDir.z, -0.8f);
    EXPECT_EQ(node->Transform.value[14], 30.0f);

    // Slow but not standing still still has a unit direction.
    gWorkVel = {0.0002f, 0.0f, 0.0f};
    CommitNodeUpdate(node);
    EXPECT_FLOAT_EQ(node->MotionDir.x, 1.0f);

    gWorkVel = {0.0001f, -0.0001f, 0.0001f};
    CommitNodeUpdate(node);
    EXPECT_EQ(node->MotionDir.x, 0.0f);
    EXPECT_EQ(node->MotionDir.y, 0.0f);
}

TEST_F(NodeTransform, CommitMovesBoxZeroOnlyWhenTheNodeHasBoxes)
{
    ObjNode* boxed = MakeNode(1);
    SetSingleCollisionBox(boxed, 10, 0, -1, 1, 1, -1);
    BeginNodeUpdate(boxed);
    gWorkPos = {100.0f, 0.0f, 0.0f};
    CommitNodeUpdate(boxed);
    EXPECT_EQ(boxed->HitBoxes[0].left, 99.0f);
    EXPECT_EQ(boxed->HitBoxes[0].oldLeft, -1.0f);

    ObjNode* bare = MakeNode(1);
    BeginNodeUpdate(bare);
    gWorkPos = {100.0f, 0.0f, 0.0f};
    CommitNodeUpdate(bare);
    EXPECT_EQ(bare->HitBoxes[0].left, 0.0f);
}

TEST_F(NodeTransform, ShadowFollowsItsOwnerOnCommit)
{
    ObjNode* owner = MakeNode(1);
    ObjNode* shadow = MakeNode(SHADOW_SLOT);
    owner->Shadow = shadow;
    owner->Tint.a = 0.5f;
    owner->Rotation.y = 2.0f;
    owner->StatusFlags |= NODEBIT_INVISIBLE;
    BeginNodeUpdate(owner);
    gWorkPos = {7.0f, 8.0f, 9.0f};
    CommitNodeUpdate(owner);
    EXPECT_EQ(shadow->Position.x, 7.0f);
    EXPECT_EQ(shadow->Position.z, 9.0f);
    EXPECT_EQ(shadow->Rotation.y, 2.0f);
    EXPECT_FLOAT_EQ(shadow->Tint.a, 0.45f);
    EXPECT_TRUE(shadow->StatusFlags & NODEBIT_INVISIBLE);

    owner->StatusFlags &= ~NODEBIT_INVISIBLE;
    CommitNodeUpdate(owner);
    EXPECT_FALSE(shadow->StatusFlags & NODEBIT_INVISIBLE);
}
