// Display-group nodes: a node shows a shared model of a loaded group, takes its bounds, and keeps it
// alive after the group's file is disposed.
#include "3D/TQ3D.h"
#include "Objects/DisplayGroups.h"
#include "Support/AlertCapture.h"
#include "Unit/Models/TQ3DBytes.h"
#include "Unit/Objects/ObjectTestSupport.h"

#include <cmath>

class DisplayGroups : public ObjectTest
{
protected:
    void SetUp() override
    {
        ObjectTest::SetUp();
        TQ3D_InitContainers();
        // Model 0: a box 2 wide (x), 4 high (y), 6 deep (z) standing on y = 0; model 1: one triangle.
        TQ3DBytes file;
        file.Geometry(8, 1);
        std::vector<float> corners;
        for (int i = 0; i < 8; i++)
            corners.insert(corners.end(), {i & 1 ? 1.0f : -1.0f, i & 2 ? 4.0f : 0.0f, i & 4 ? 3.0f : -3.0f});
        file.Points(corners).Triangles({0, 1, 2});
        file.Triangle(5).End();
        TQ3D_ParseFile("models.tq3d", file.bytes.data(), int32_t(file.bytes.size()), -1, &parsed);
        TQ3D_PublishContainer(&parsed, MODEL_GROUP_LEVELSPECIFIC);
    }
    void TearDown() override
    {
        ObjectTest::TearDown();
        TQ3D_FreeParsedFile(&parsed);
        TQ3D_DisposeAllContainers();
    }

    static ObjNode* MakeModelNode(int type, float scale = 1, float rotationY = 0)
    {
        ObjectDefinition def = {};
        def.artGroup = MODEL_GROUP_LEVELSPECIFIC;
        def.artIndex = uint8_t(type);
        def.slot = 100;
        def.scale = scale;
        def.rotationY = rotationY;
        return MakeNewDisplayGroupObject(&def);
    }

    TQ3DParsedFile parsed = {};
};

TEST_F(DisplayGroups, NodeShowsItsModelAfterItsTransformWithTheModelsBoundsAndScaledRadius)
{
    ObjNode* node = MakeModelNode(0, 2);
    EXPECT_EQ(node->Genre, DISPLAY_GROUP_GENRE);
    const MetaObjectGroupData* group = MO_GetGroupData(node->BaseGroup);
    ASSERT_EQ(group->numObjectsInGroup, 2);
    EXPECT_EQ(group->objects[0], node->TransformObject);
    EXPECT_EQ(group->objects[1], gTQ3DModelList[MODEL_GROUP_LEVELSPECIFIC][0]);
    EXPECT_FLOAT_EQ(node->ModelBounds.maxY, 4);
    EXPECT_FLOAT_EQ(node->ModelBounds.minZ, -3);
    EXPECT_FALSE(node->ModelBounds.isEmpty);
    EXPECT_FLOAT_EQ(node->BoundingRadius, 2 * std::sqrt(1.0f + 16 + 9));
}

TEST_F(DisplayGroups, ModelBeyondTheGroupIsFatalNamingGroupAndType)
{
    EXPECT_EQ(FatalAlertMessageOf([] { MakeModelNode(2); }),
              "MakeNewDisplayGroupObject: type > gNumObjectsInGroupList[]! group=1 type=2");
    // An emptied slot has no models, whatever its old tables say.
    TQ3D_DisposeContainer(MODEL_GROUP_LEVELSPECIFIC);
    EXPECT_EQ(FatalAlertMessageOf([] { MakeModelNode(0); }),
              "MakeNewDisplayGroupObject: type > gNumObjectsInGroupList[]! group=1 type=0");
}

TEST_F(DisplayGroups, NodeKeepsItsModelAliveAfterTheFileIsDisposed)
{
    ObjNode* node = MakeModelNode(1);
    MetaObject* model = gTQ3DModelList[MODEL_GROUP_LEVELSPECIFIC][1];
    TQ3D_DisposeContainer(MODEL_GROUP_LEVELSPECIFIC);
    EXPECT_EQ(model->cookie, MO_COOKIE);
    EXPECT_FLOAT_EQ(MO_GetGeometryData(model)->points[1].x, 5);
    DisposeObject(node);
}

TEST_F(DisplayGroups, ResetShowsTheNewModelAndForgetsThePickingCache)
{
    ObjNode* node = MakeModelNode(0);
    node->WorldPointsValid = 1;
    node->ArtIndex = 1;
    ResetDisplayGroupObject(node);
    const MetaObjectGroupData* group = MO_GetGroupData(node->BaseGroup);
    ASSERT_EQ(group->numObjectsInGroup, 2);
    EXPECT_EQ(group->objects[1], gTQ3DModelList[MODEL_GROUP_LEVELSPECIFIC][1]);
    EXPECT_FLOAT_EQ(node->ModelBounds.maxX, 5);
    EXPECT_EQ(node->WorldPointsValid, 0);

    node->ArtIndex = 9;
    EXPECT_EQ(FatalAlertMessageOf([&] { ResetDisplayGroupObject(node); }),
              "ResetDisplayGroupObject: type > gNumObjectsInGroupList[]!");
}

TEST_F(DisplayGroups, RotatedBoundsBoxTurnsWithTheNodeAndScalesByScaleX)
{
    // A quarter turn about Y puts the model's 6-unit depth across X.
    ObjNode* node = MakeModelNode(0, 2, float(M_PI / 2));
    BoxFromRotatedModelBounds(node, 1, 0.5f);
    EXPECT_EQ(node->HitBoxCount, 1);
    EXPECT_NEAR(node->CollisionOffsets.right - node->CollisionOffsets.left, 12, 1e-4);
    EXPECT_NEAR(node->CollisionOffsets.front - node->CollisionOffsets.back, 4, 1e-4);
    EXPECT_NEAR(node->CollisionOffsets.bottom, 0, 1e-4);
    EXPECT_NEAR(node->CollisionOffsets.top, 4, 1e-4); // half of 8 above the base
}
