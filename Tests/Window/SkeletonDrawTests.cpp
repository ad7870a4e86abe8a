// Generated creatures drawn through the object list: the skin of this frame's parity shows where the node
// stands, and it moves as the animation runs.
#include "3D/TQ3D.h"
#include "Objects/ObjNode.h"
#include "RenderTestScene.h"
#include "Skeleton/Skeleton.h"
#include "System/FrameRate.h"
#include "System/GameShell.h"
#include "Tarnet/Tarnet.h"

#include <cstdlib>

class SkeletonDraw : public RenderWindowTest
{
protected:
    void SetUp() override
    {
        RenderWindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        InitObjectManager();
        InitSkeletonManager();
        TQ3D_InitContainers();
        MakeView();
        gDataFolderSpec =
            Tarnet::HostPathToFSSpec(std::filesystem::path(QUORVEL_BINARY_DIR) / "Data" / "Skeletons");
        LoadASkeleton(SKELETON_TYPE_RAPTOR);
    }
    void TearDown() override
    {
        DisposeAllObjects();
        FreeAllSkeletonFiles(-1);
        TQ3D_DisposeAllContainers();
        RenderWindowTest::TearDown();
    }
};

static int Difference(Rgba a, Rgba b)
{
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

TEST_F(SkeletonDraw, ARunningRaptorShowsWhereItStandsAndMovesItsLegs)
{
    ObjectDefinition def = {};
    def.artIndex = SKELETON_TYPE_RAPTOR;
    def.startAnim = 0;
    def.position = {40, -45, -180}; // right of the view's centre, side on
    def.rotationY = PI / 2;
    def.slot = 100;
    def.scale = 1;
    gFrameSeconds = 0;
    ObjNode* node = MakeNewSkeletonBaseData(&def);

    WindowPixels first = DrawSceneAndCapture(DrawObjectList);
    EXPECT_GT(Brightness(first.MeanOf(360, 200, 420, 260)), 40) << "the raptor's body, right of centre";
    EXPECT_LT(Brightness(first.MeanOf(60, 200, 120, 260)), 30) << "nothing on the left";

    // Half a stride later the legs are elsewhere: the lower half of the creature changes.
    gFrameSeconds = 5.0f / 30;
    AdvanceSkeletonAnimation(node);
    UpdateSkinnedGeometry(node);
    WindowPixels second = DrawSceneAndCapture(DrawObjectList);
    int changed = 0;
    for (int y = 240; y < 400; y += 4)
        for (int x = 300; x < 520; x += 4)
            changed += Difference(first.At(x, y), second.At(x, y)) > 60;
    EXPECT_GT(changed, 20) << "the legs moved";
}
