// The draw pass without a window: OpenGL calls go nowhere, but the culling bits, which nodes reach their
// DrawProc, the draw-time globals they see and the state-cache calls are all observable.
#include "3D/OGL_Support.h"
#include "ObjectTestSupport.h"

#include <cmath>

struct DrawRecord
{
    ObjNode* node;
    float opacity;
    float tintR;
    uint32_t materialOverride;
    int64_t stateCallsBefore;
};

static std::vector<DrawRecord> gDrawn;

static void RecordDraw(ObjNode* node)
{
    gDrawn.push_back({node, gDrawOpacity, gDrawTint[0], gMaterialFlagsOverride, gGLStateCallsTotal});
}

class ObjectDraw : public ObjectTest
{
protected:
    GameViewInfo view = {};
    GameViewInfo* savedView = nullptr;
    int savedPanes = 0;
    int savedPane = 0;
    Matrix4x4 savedClip = {};

    void SetUp() override
    {
        ObjectTest::SetUp();
        gDrawn.clear();
        savedView = gGameViewInfoPtr;
        savedPanes = gNumPanes;
        savedPane = gCurrentPane;
        savedClip = gWorldToClipMatrix;
        gGameViewInfoPtr = &view;
        gNumPanes = 1;
        gCurrentPane = 0;
        gFadeStartDistance = 0.0f;
        gFadeEndDistance = 0.0f;
        // World equals clip space: the visible region is the cube from -1 to 1.
        MatrixIdentity(&gWorldToClipMatrix);
    }

    void TearDown() override
    {
        gGameViewInfoPtr = savedView;
        gNumPanes = savedPanes;
        gCurrentPane = savedPane;
        gWorldToClipMatrix = savedClip;
        gFadeStartDistance = 0.0f;
        gFadeEndDistance = 0.0f;
        ObjectTest::TearDown();
    }

    // A node drawn through RecordDraw with a unit box around the origin of its transform.
    ObjNode* MakeDrawnNode(int slot, float x, uint32_t flags = 0)
    {
        ObjNode* node = MakeNode(slot, nullptr, flags);
        node->DrawProc = RecordDraw;
        node->Position = {x, 0.0f, 0.0f};
        node->ModelBounds = {-0.5f, -0.5f, -0.5f, 0.5f, 0.5f, 0.5f, false};
        RebuildNodeTransform(node);
        return node;
    }

    std::vector<ObjNode*> DrawnNodes() const
    {
        std::vector<ObjNode*> nodes;
        for (const DrawRecord& record : gDrawn)
            nodes.push_back(record.node);
        return nodes;
    }
};

// ---------------------------------------------------------------------------------------------------------
// Culling
// ---------------------------------------------------------------------------------------------------------

TEST_F(ObjectDraw, BoxOutsideTheViewIsCulledInThatPaneOnly)
{
    gNumPanes = 2;
    ObjNode* inside = MakeDrawnNode(1, 0.0f);
    ObjNode* outside = MakeDrawnNode(1, 10.0f);
    CullObjectsForPane(1);
    EXPECT_FALSE(inside->StatusFlags & (NODEBIT_CULLED_PANE0 << 1));
    EXPECT_TRUE(outside->StatusFlags & (NODEBIT_CULLED_PANE0 << 1));
    EXPECT_FALSE(outside->StatusFlags & NODEBIT_CULLED_PANE0);
    EXPECT_FALSE(IsNodeCulledInAllPanes(outside));

    CullObjectsForPane(0);
    EXPECT_TRUE(IsNodeCulledInAllPanes(outside));
    gNumPanes = 0;
    EXPECT_TRUE(IsNodeCulledInAllPanes(inside));
    gNumPanes = 2;

    // Back in view, the bit goes away again.
    outside->Position.x = 0.0f;
    RebuildNodeTransform(outside);
    CullObjectsForPane(0);
    EXPECT_FALSE(outside->StatusFlags & NODEBIT_CULLED_PANE0);
}

TEST_F(ObjectDraw, NodesWithoutAKnownBoxOrThatOptOutAreNeverCulled)
{
    ObjNode* empty = MakeDrawnNode(1, 10.0f);
    empty->ModelBounds.isEmpty = true;
    ObjNode* noCulling = MakeDrawnNode(1, 10.0f, NODEBIT_NO_CULLING);
    ObjNode* invisible = MakeDrawnNode(1, 10.0f, NODEBIT_INVISIBLE | NODEBIT_CULLED_PANE0);
    CullObjectsForPane(0);
    EXPECT_FALSE(empty->StatusFlags & NODEBIT_CULLED_PANE0);
    EXPECT_FALSE(noCulling->StatusFlags & NODEBIT_CULLED_PANE0);
    EXPECT_FALSE(invisible->StatusFlags & NODEBIT_CULLED_PANE0);
}

TEST_F(ObjectDraw, SkeletonBoxIsPlacedByPositionNotByTransform)
{
    ObjNode* skeleton = MakeDrawnNode(1, 0.0f);
    skeleton->Genre = SKELETON_GENRE;
    skeleton->Scale = {100.0f, 100.0f, 100.0f}; // the posed box already holds the scale
    skeleton->Rotation.y = 1.0f;
    RebuildNodeTransform(skeleton);
    skeleton->ModelBounds = {0.2f, -0.1f, -0.1f, 0.4f, 0.1f, 0.1f, false};
    CullObjectsForPane(0);
    EXPECT_FALSE(skeleton->StatusFlags & NODEBIT_CULLED_PANE0);
}

// ---------------------------------------------------------------------------------------------------------
// Which nodes a pane draws
// ---------------------------------------------------------------------------------------------------------

TEST_F(ObjectDraw, PaneOnlyAndOverlayNodesAppearOnlyInTheirPass)
{
    gNumPanes = 2;
    ObjNode* world = MakeDrawnNode(1, 0.0f);
    ObjNode* secondPane = MakeDrawnNode(2, 0.0f, NODEBIT_PANE_ONLY);
    secondPane->PaneIndex = 1;
    ObjNode* overlay = MakeDrawnNode(3, 0.0f);
    MakeOverlayOnly(overlay);
    EXPECT_EQ(overlay->PaneIndex, 2);

    gCurrentPane = 0;
    DrawObjectList();
    EXPECT_EQ(DrawnNodes(), (std::vector<ObjNode*>{world}));

    gDrawn.clear();
    gCurrentPane = 1;
    DrawObjectList();
    EXPECT_EQ(DrawnNodes(), (std::vector<ObjNode*>{world, secondPane}));

    gDrawn.clear();
    gCurrentPane = 2;
    DrawObjectList();
    EXPECT_EQ(DrawnNodes(), (std::vector<ObjNode*>{overlay}));
}

TEST_F(ObjectDraw, InvisibleCulledAndTransparentNodesAreSkipped)
{
    MakeDrawnNode(1, 0.0f, NODEBIT_INVISIBLE);
    MakeDrawnNode(1, 10.0f);
    ObjNode* transparent = MakeDrawnNode(1, 0.0f);
    transparent->Tint.a = 0.0f;
    ObjNode* shown = MakeDrawnNode(1, 0.0f);
    DrawObjectList();
    EXPECT_EQ(DrawnNodes(), (std::vector<ObjNode*>{shown}));
}

// ---------------------------------------------------------------------------------------------------------
// Draw-time state
// ---------------------------------------------------------------------------------------------------------

TEST_F(ObjectDraw, DistanceFadeLowersOpacityAndCullsWhenGone)
{
    gFadeStartDistance = 1000.0f;
    gFadeEndDistance = 2000.0f;
    view.cameras[0].eye = {0.0f, 0.0f, 0.0f};
    ObjNode* near = MakeDrawnNode(1, 0.0f, NODEBIT_DISTANCE_FADE | NODEBIT_NO_CULLING);
    ObjNode* half = MakeDrawnNode(1, 0.0f, NODEBIT_DISTANCE_FADE | NODEBIT_NO_CULLING);
    half->Position = {1200.0f, 0.0f, 800.0f}; // 1200 + 0.375 * 800 = 1500, plus 0.2 of the box width
    ObjNode* gone = MakeDrawnNode(1, 0.0f, NODEBIT_DISTANCE_FADE | NODEBIT_NO_CULLING);
    gone->Position = {0.0f, 0.0f, -2500.0f};
    ObjNode* unfaded = MakeDrawnNode(1, 0.0f, NODEBIT_NO_CULLING);
    unfaded->Position = {0.0f, 0.0f, -2500.0f};

    DrawObjectList();
    ASSERT_EQ(DrawnNodes(), (std::vector<ObjNode*>{near, half, unfaded}));
    EXPECT_EQ(gDrawn[0].opacity, 1.0f);
    EXPECT_NEAR(gDrawn[1].opacity, 1.0f - 500.2f / 1000.0f, 1e-5f);
    EXPECT_EQ(gDrawn[2].opacity, 1.0f);
    EXPECT_TRUE(gone->StatusFlags & NODEBIT_CULLED_PANE0);
    EXPECT_EQ(half->Tint.a, 1.0f); // the node's own opacity is untouched
}

TEST_F(ObjectDraw, AdditiveAndClampOverridesLastOnlyForTheirNodes)
{
    MakeDrawnNode(1, 0.0f, NODEBIT_ADDITIVE | NODEBIT_CLAMP_UV);
    MakeDrawnNode(2, 0.0f);
    ObjNode* tinted = MakeDrawnNode(3, 0.0f);
    tinted->Tint = {0.25f, 1.0f, 1.0f, 0.5f};
    DrawObjectList();
    ASSERT_EQ(gDrawn.size(), 3u);
    EXPECT_EQ(gDrawn[0].materialOverride,
              uint32_t(MO_MATERIAL_FLAG_ALWAYS_BLEND | MO_MATERIAL_FLAG_CLAMP_U | MO_MATERIAL_FLAG_CLAMP_V));
    EXPECT_EQ(gDrawn[1].materialOverride, 0u);
    EXPECT_EQ(gDrawn[2].tintR, 0.25f);
    EXPECT_EQ(gDrawn[2].opacity, 0.5f);

    // Everything goes back to neutral for whatever is drawn after the list.
    EXPECT_EQ(gMaterialFlagsOverride, 0u);
    EXPECT_EQ(gDrawOpacity, 1.0f);
    EXPECT_EQ(gDrawTint[0], 1.0f);
}

TEST_F(ObjectDraw, NodesSharingSettingsCauseNoStateCalls)
{
    MakeDrawnNode(1, 0.0f, NODEBIT_LIGHTING_OFF | NODEBIT_SHOW_BACKFACES);
    MakeDrawnNode(2, 0.0f, NODEBIT_LIGHTING_OFF | NODEBIT_SHOW_BACKFACES);
    MakeDrawnNode(3, 0.0f);
    DrawObjectList();
    ASSERT_EQ(gDrawn.size(), 3u);
    EXPECT_EQ(gDrawn[1].stateCallsBefore, gDrawn[0].stateCallsBefore);
    EXPECT_EQ(gDrawn[2].stateCallsBefore - gDrawn[1].stateCallsBefore,
              2); // lighting and face culling back on
}

TEST_F(ObjectDraw, BillboardTurnsToFaceThePaneCamera)
{
    view.cameras[0].eye = {100.0f, 50.0f, 0.0f};
    ObjNode* node = MakeDrawnNode(1, 0.0f, NODEBIT_BILLBOARD | NODEBIT_NO_CULLING);
    DrawObjectList();
    EXPECT_NEAR(node->Rotation.y, PI / 2 + PI, 1e-5f);
    // Its -Z axis now points at the camera.
    Vector3D forward = {-node->Transform.value[8], 0.0f, -node->Transform.value[10]};
    EXPECT_NEAR(forward.x, 1.0f, 1e-5f);
    EXPECT_NEAR(forward.z, 0.0f, 1e-5f);
}
