#include "ObjectTestSupport.h"
#include "Support/AlertCapture.h"

#include <string>

class CollisionBoxes : public ObjectTest
{
protected:
    ObjNode* MakeModelNode(uint8_t genre)
    {
        ObjNode* node = MakeNode(1, nullptr, 0, genre);
        node->Position = {100.0f, 50.0f, -20.0f};
        node->OldPosition = {0.0f, 0.0f, 0.0f};
        node->Scale = {2.0f, 3.0f, 4.0f};
        node->ModelBounds = {-10.0f, -5.0f, -30.0f, 20.0f, 15.0f, 6.0f, false};
        return node;
    }
};

static void ExpectBox(const CollisionBox& box, float left, float right, float front, float back, float top,
                      float bottom)
{
    EXPECT_FLOAT_EQ(box.left, left);
    EXPECT_FLOAT_EQ(box.right, right);
    EXPECT_FLOAT_EQ(box.front, front);
    EXPECT_FLOAT_EQ(box.back, back);
    EXPECT_FLOAT_EQ(box.top, top);
    EXPECT_FLOAT_EQ(box.bottom, bottom);
    // A fresh box has not moved: the collision code must see no crossing.
    EXPECT_EQ(box.oldLeft, box.left);
    EXPECT_EQ(box.oldRight, box.right);
    EXPECT_EQ(box.oldFront, box.front);
    EXPECT_EQ(box.oldBack, box.back);
    EXPECT_EQ(box.oldTop, box.top);
    EXPECT_EQ(box.oldBottom, box.bottom);
}

TEST_F(CollisionBoxes, SingleBoxSitsAtPositionPlusOffsetsInArgumentOrder)
{
    ObjNode* node = MakeModelNode(CUSTOM_DRAW_GENRE);
    node->HitBoxCount = 3;
    SetSingleCollisionBox(node, 40, -10, -5, 6, 7, -8);
    EXPECT_EQ(node->HitBoxCount, 1);
    ExpectBox(node->HitBoxes[0], 95, 106, -13, -28, 90, 40);
    EXPECT_EQ(node->CollisionOffsets.top, 40.0f);
    EXPECT_EQ(node->CollisionOffsets.back, -8.0f);
    EXPECT_EQ(node->OldPosition.x, 100.0f);
}

TEST_F(CollisionBoxes, AppendedBoxKeepsTheOffsetsOfBoxZero)
{
    ObjNode* node = MakeModelNode(CUSTOM_DRAW_GENRE);
    SetSingleCollisionBox(node, 1, -1, -1, 1, 1, -1);
    AppendCollisionBox(node, 100, 90, -2, 2, 3, -3);
    EXPECT_EQ(node->HitBoxCount, 2);
    ExpectBox(node->HitBoxes[1], 98, 102, -17, -23, 150, 140);
    EXPECT_EQ(node->CollisionOffsets.top, 1.0f);
}

TEST_F(CollisionBoxes, AppendingPastTheLastBoxIsFatal)
{
    ObjNode* node = MakeModelNode(CUSTOM_DRAW_GENRE);
    for (int i = 0; i < MAX_COLLISION_BOXES; i++)
        AppendCollisionBox(node, 1, -1, -1, 1, 1, -1);
    std::string message = FatalAlertMessageOf([&] { AppendCollisionBox(node, 1, -1, -1, 1, 1, -1); });
    EXPECT_NE(message.find("AppendCollisionBox"), std::string::npos);
    EXPECT_EQ(node->HitBoxCount, MAX_COLLISION_BOXES);
}

TEST_F(CollisionBoxes, ModelBoundsBoxScalesByAxisAndStretchesTheTopFromTheBase)
{
    ObjNode* node = MakeModelNode(DISPLAY_GROUP_GENRE);
    BoxFromModelBounds(node, 0.5f, 2.0f);
    // sx = 1, sz = 2, sy = 3: top = (15 - -5) * 3 * 2 + 3 * -5 = 105.
    EXPECT_FLOAT_EQ(node->CollisionOffsets.left, -10.0f);
    EXPECT_FLOAT_EQ(node->CollisionOffsets.right, 20.0f);
    EXPECT_FLOAT_EQ(node->CollisionOffsets.front, 12.0f);
    EXPECT_FLOAT_EQ(node->CollisionOffsets.back, -60.0f);
    EXPECT_FLOAT_EQ(node->CollisionOffsets.bottom, -15.0f);
    EXPECT_FLOAT_EQ(node->CollisionOffsets.top, 105.0f);
    ExpectBox(node->HitBoxes[0], 90, 120, -8, -80, 155, 35);
}

TEST_F(CollisionBoxes, SkeletonBoxIgnoresTheNodeScale)
{
    ObjNode* node = MakeModelNode(SKELETON_GENRE);
    BoxFromModelBounds(node, 0.5f, 1.0f);
    EXPECT_FLOAT_EQ(node->CollisionOffsets.left, -5.0f);
    EXPECT_FLOAT_EQ(node->CollisionOffsets.back, -15.0f);
    EXPECT_FLOAT_EQ(node->CollisionOffsets.top, 15.0f);
    EXPECT_FLOAT_EQ(node->CollisionOffsets.bottom, -5.0f);

    SquareBoxFromModelBounds(node, 1.0f);
    EXPECT_FLOAT_EQ(node->CollisionOffsets.right, 30.0f);
}

TEST_F(CollisionBoxes, SquareBoxUsesTheLargestHorizontalExtent)
{
    ObjNode* node = MakeModelNode(DISPLAY_GROUP_GENRE);
    SquareBoxFromModelBounds(node, 0.5f); // s = 1: the largest is |min.z| = 30
    EXPECT_FLOAT_EQ(node->CollisionOffsets.left, -30.0f);
    EXPECT_FLOAT_EQ(node->CollisionOffsets.back, -30.0f);
    EXPECT_FLOAT_EQ(node->CollisionOffsets.right, 30.0f);
    EXPECT_FLOAT_EQ(node->CollisionOffsets.front, 30.0f);
    EXPECT_FLOAT_EQ(node->CollisionOffsets.bottom, -5.0f);
    EXPECT_FLOAT_EQ(node->CollisionOffsets.top, 15.0f);
}

TEST_F(CollisionBoxes, BoundingRadiusScalesOnlyForDisplayGroups)
{
    ObjNode* group = MakeModelNode(DISPLAY_GROUP_GENRE);
    CalcBoundingRadius(group);
    EXPECT_FLOAT_EQ(group->BoundingRadius, 1.41f * 30.0f * 2.0f);

    ObjNode* skeleton = MakeModelNode(SKELETON_GENRE);
    CalcBoundingRadius(skeleton);
    EXPECT_FLOAT_EQ(skeleton->BoundingRadius, 1.41f * 30.0f);
}
