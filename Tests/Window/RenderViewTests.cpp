#include "RenderTestScene.h"
#include "System/Pause.h"

#include <vector>

namespace {

struct PaneCall
{
    int pane;
    GLint viewport[4];
    float aspect;
};
std::vector<PaneCall> gPaneCalls;

void RecordPane()
{
    PaneCall call;
    call.pane = gCurrentPane;
    glGetIntegerv(GL_VIEWPORT, call.viewport);
    call.aspect = gPaneAspectRatio;
    gPaneCalls.push_back(call);
}

MetaObject* gWall;     // a red wall in front of camera 0
MetaObject* gBandMesh; // a green band across the middle of the overlay

// Player panes draw the wall; the overlay pass draws the band over everything in 640 x 480 space.
void DrawWallAndBand()
{
    if (gCurrentPane < gNumPanes) {
        OGL_DisableLighting();
        MO_DrawObject(gWall);
        return;
    }
    OGL_PushState();
    OGL_DisableLighting();
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 640, 480, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    MO_DrawObject(gBandMesh);
    OGL_PopState();
}

} // namespace

class RenderView : public RenderWindowTest
{
protected:
    void SetUp() override
    {
        RenderWindowTest::SetUp();
        gPaneCalls.clear();
        setup.clearColor[0] = 0.0f;
        setup.clearColor[1] = 0.0f;
        setup.clearColor[2] = 0.8f;
    }

    // Camera 0 looks at the wall; camera 1 looks the other way and sees only the clear colour.
    void MakeSplitScene()
    {
        setup.cameraFrom[0] = {0, 0, 0};
        setup.cameraTo[0] = {0, 0, -1};
        setup.cameraFrom[1] = {0, 0, 0};
        setup.cameraTo[1] = {0, 0, 1};
        MakeView();
        MetaObject* red = MakeColorMaterial(1, 0, 0, 1);
        MetaObject* green = MakeColorMaterial(0, 1, 0, 1);
        gWall = MakeGridMesh(-1000, -1000, 1000, 1000, -100, 1, 1, red);
        gBandMesh = MakeGridMesh(0, 260, 640, 220, 0, 1, 1, green); // y down: wound to face the viewer
        MO_DisposeObjectReference(red);
        MO_DisposeObjectReference(green);
    }
    void DisposeSplitScene()
    {
        MO_DisposeObjectReference(gWall);
        MO_DisposeObjectReference(gBandMesh);
    }
};

TEST_F(RenderView, ClearColourFillsTheWholeWindow)
{
    setup.clearColor[0] = 0.2f;
    setup.clearColor[1] = 0.4f;
    MakeView();
    WindowPixels pixels = DrawSceneAndCapture(nullptr);
    for (Rgba p : {pixels.At(0, 0), pixels.At(639, 479), pixels.At(320, 240)}) {
        EXPECT_NEAR(p.r, 51, 3);
        EXPECT_NEAR(p.g, 102, 3);
        EXPECT_NEAR(p.b, 204, 3);
    }
}

TEST_F(RenderView, OnePaneDrawsTheSceneThenTheOverlayOverTheWholeWindow)
{
    MakeView();
    OGL_DrawScene(RecordPane);
    ASSERT_EQ(gPaneCalls.size(), 2u);
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ(gPaneCalls[i].pane, i);
        EXPECT_EQ(gPaneCalls[i].viewport[2], 640);
        EXPECT_EQ(gPaneCalls[i].viewport[3], 480);
    }
}

TEST_F(RenderView, StackedPanesTakeTheUpperAndLowerHalves)
{
    gNumPanes = 2;
    gPrefs.splitScreenMode = 1;
    MakeView();
    OGL_DrawScene(RecordPane);
    ASSERT_EQ(gPaneCalls.size(), 3u);
    const GLint expected[3][4] = {{0, 240, 640, 240}, {0, 0, 640, 240}, {0, 0, 640, 480}};
    for (int i = 0; i < 3; i++) {
        for (int k = 0; k < 4; k++)
            EXPECT_EQ(gPaneCalls[i].viewport[k], expected[i][k]) << "pane " << i << " value " << k;
    }
    EXPECT_FLOAT_EQ(gPaneCalls[0].aspect, 0.375f);
    EXPECT_FLOAT_EQ(gPaneCalls[2].aspect, 0.75f);
}

TEST_F(RenderView, StackedPanesEachShowTheirOwnCameraAndTheOverlayCrossesBoth)
{
    gNumPanes = 2;
    gPrefs.splitScreenMode = 1;
    MakeSplitScene();
    WindowPixels pixels = DrawSceneAndCapture(DrawWallAndBand);

    Rgba upper = pixels.MeanOf(20, 20, 620, 200); // pane 0: the wall
    EXPECT_GT(upper.r, 200);
    EXPECT_LT(upper.b, 40);
    Rgba lower = pixels.MeanOf(20, 280, 620, 460); // pane 1: looking away, the clear colour
    EXPECT_LT(lower.r, 40);
    EXPECT_GT(lower.b, 180);
    for (Rgba p : {pixels.At(100, 230), pixels.At(100, 250)}) { // the band over both panes
        EXPECT_GT(p.g, 200);
        EXPECT_LT(p.r, 40);
    }
    DisposeSplitScene();
}

TEST_F(RenderView, SideBySidePanesEachShowTheirOwnCameraAndTheOverlayCrossesBoth)
{
    gNumPanes = 2;
    gPrefs.splitScreenMode = 2;
    MakeSplitScene();
    WindowPixels pixels = DrawSceneAndCapture(DrawWallAndBand);

    Rgba left = pixels.MeanOf(20, 20, 300, 200);
    EXPECT_GT(left.r, 200);
    EXPECT_LT(left.b, 40);
    Rgba right = pixels.MeanOf(340, 20, 620, 200);
    EXPECT_LT(right.r, 40);
    EXPECT_GT(right.b, 180);
    for (Rgba p : {pixels.At(100, 240), pixels.At(540, 240)}) {
        EXPECT_GT(p.g, 200);
        EXPECT_LT(p.r, 40);
    }
    DisposeSplitScene();
}

TEST_F(RenderView, FrameFiguresCountTrianglesAndDrawCallsOfTheFrameJustDrawn)
{
    MakeSplitScene();
    OGL_DrawScene(DrawWallAndBand);
    EXPECT_EQ(gTrianglesDrawn, 4); // the wall in pane 0, the band in the overlay pass
    EXPECT_EQ(gFrameStats.drawCalls, 2);
    OGL_DrawScene(DrawWallAndBand);
    EXPECT_EQ(gTrianglesDrawn, 4) << "figures must start again each frame";
    DisposeSplitScene();
}

TEST_F(RenderView, FrameCounterStandsStillWhilePaused)
{
    MakeView();
    OGL_DrawScene(nullptr);
    OGL_DrawScene(nullptr);
    EXPECT_EQ(gGameViewInfoPtr->frameCount, 2);
    gPaused = true;
    OGL_DrawScene(nullptr);
    gPaused = false;
    EXPECT_EQ(gGameViewInfoPtr->frameCount, 2);
}

TEST_F(RenderView, ColourAnaglyphDrawsEveryPaneTwiceAndPutsTheCamerasBack)
{
    gPrefs.stereoMode = 1;
    gPrefs.anaglyphRed = 216;
    gPrefs.anaglyphGreen = 160;
    gPrefs.anaglyphBlue = 255;
    setup.cameraFrom[0] = {10, 20, 30};
    setup.cameraTo[0] = {10, 20, -70};
    MakeView();
    OGL_DrawScene(RecordPane);
    ASSERT_EQ(gPaneCalls.size(), 4u);
    EXPECT_EQ(gPaneCalls[0].pane, 0);
    EXPECT_EQ(gPaneCalls[2].pane, 0);
    const CameraPlacement* camera = &gGameViewInfoPtr->cameras[0];
    EXPECT_EQ(camera->eye.x, 10);
    EXPECT_EQ(camera->eye.z, 30);
    EXPECT_EQ(camera->target.z, -70);
}

TEST_F(RenderView, AnaglyphFrameLeavesEveryColourChannelToTheClearsAfterIt)
{
    for (int mode : {1, 2}) {
        gPrefs.stereoMode = mode;
        MakeView();
        OGL_DrawScene(nullptr);
        // What a new view or a loading screen does next: clear the whole window.
        glClearColor(1, 1, 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        Rgba p = ReadBackBuffer().At(320, 240);
        EXPECT_EQ(p.r, 255) << "mode " << mode;
        EXPECT_EQ(p.g, 255) << "mode " << mode;
        EXPECT_EQ(p.b, 255) << "mode " << mode;
        OGL_DisposeGameView();
    }
}

TEST_F(RenderView, ThreePanesAreRefusedWithoutLeavingAView)
{
    gNumPanes = 3;
    EXPECT_EQ(FatalAlertMessageOf([this] { MakeView(); }), "OGL_SetupWindow: # panes not implemented");
    EXPECT_EQ(gGameViewInfoPtr, nullptr);
}

TEST_F(RenderView, DrawingWithoutAViewIsFatal)
{
    EXPECT_EQ(FatalAlertMessageOf([] { OGL_DrawScene(nullptr); }), "OGL_DrawScene isActive == false");
}
