#include "Objects/BaseGroup.h"
#include "Objects/ObjNode.h"
#include "RenderTestScene.h"
#include "System/Fades.h"

// A display-group node: its base group holds its transform and a white wall facing the camera.
static ObjNode* MakeWallNode(float x, float z)
{
    ObjectDefinition def = {};
    def.genre = DISPLAY_GROUP_GENRE;
    def.position = {x, 0, z};
    def.statusFlags = NODEBIT_NO_CULLING | NODEBIT_LIGHTING_OFF;
    def.slot = 100;
    def.scale = 1;
    ObjNode* node = MakeNewObject(&def);
    CreateBaseGroup(node);

    MetaObject* white = MakeColorMaterial(1, 1, 1, 1);
    MetaObject* wall = MakeGridMesh(-50, -50, 50, 50, 0, 1, 1, white);
    MO_AppendToGroup(node->BaseGroup, wall);
    MO_DisposeObjectReference(wall);
    MO_DisposeObjectReference(white);
    return node;
}

static uint32_t gOverrideSeenAfterFade;

static void RecordMaterialFlagsOverride(ObjNode*)
{
    gOverrideSeenAfterFade = gMaterialFlagsOverride;
}

class RenderObjects : public RenderWindowTest
{
protected:
    void SetUp() override
    {
        RenderWindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        InitObjectManager();
        MakeView();
    }
    void TearDown() override
    {
        DisposeAllObjects();
        gFadeLevel = 1;
        RenderWindowTest::TearDown();
    }
};

TEST_F(RenderObjects, DisplayGroupNodeDrawsItsModelWhereItsTransformPutsIt)
{
    MakeWallNode(60, -200); // right of the view's centre
    WindowPixels pixels = DrawSceneAndCapture(DrawObjectList);
    EXPECT_GT(Brightness(pixels.MeanOf(420, 220, 460, 260)), 200) << "the wall, moved right by its node";
    EXPECT_LT(Brightness(pixels.MeanOf(160, 220, 200, 260)), 30) << "nothing on the left";
    EXPECT_EQ(OGL_GetStateStackDepth(), 0);
}

TEST_F(RenderObjects, ZeroScaleNodeCannotGetABaseGroup)
{
    ObjectDefinition def = {};
    def.genre = DISPLAY_GROUP_GENRE;
    def.slot = 100;
    def.scale = 1;
    ObjNode* node = MakeNewObject(&def);
    node->Scale.y = 0;
    EXPECT_EQ(FatalAlertMessageOf([node] { CreateBaseGroup(node); }),
              "CreateBaseGroup: A scale component == 0");
}

TEST_F(RenderObjects, FadeOverlayDarkensThePicture)
{
    MakeWallNode(0, -200);
    WindowPixels bright = DrawSceneAndCapture(DrawObjectList);
    int before = Brightness(bright.MeanOf(300, 220, 340, 260));
    ASSERT_GT(before, 200);

    StartFade(0, 1); // fading out: the overlay pass draws black over everything
    gFadeLevel = 0.3f;
    WindowPixels dark = DrawSceneAndCapture(DrawObjectList);
    int after = Brightness(dark.MeanOf(300, 220, 340, 260));
    EXPECT_NEAR(after, before * 0.3f, 25);
}

TEST_F(RenderObjects, FadeLeavesNoForcedMaterialFlagsToTheNodesDrawnAfterIt)
{
    StartFade(0, 1);
    gFadeLevel = 0.5f;
    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = 7001; // right after the fade, in the same overlay pass
    def.statusFlags = NODEBIT_NO_CULLING;
    def.drawProc = RecordMaterialFlagsOverride;
    def.scale = 1;
    MakeOverlayOnly(MakeNewObject(&def));

    gOverrideSeenAfterFade = 0xFFFFFFFF;
    DrawSceneAndCapture(DrawObjectList);
    EXPECT_EQ(gOverrideSeenAfterFade, 0u) << "the overlay's clamping and blending leaked out of the fade";
}
