// Fences and water on the first generated level, drawn by the real level draw: a camera facing a
// fence sees its brown boards, one above a lake sees blue water, and the frame's counters agree.

#include "3D/OGL_Support.h"
#include "Interface/Infobar.h"
#include "Objects/ObjNode.h"
#include "Support/GameWindowTest.h"
#include "Support/TempFolder.h"
#include "System/Input.h"
#include "System/Level.h"
#include "System/LevelHarness.h"
#include "System/Prefs.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/Fences.h"
#include "Terrain/Terrain.h"
#include "Terrain/Water.h"

#include <gtest/gtest.h>

class FenceWaterDrawTest : public GameWindowTest
{
protected:
    void SetUp() override
    {
        GameWindowTest::SetUp();
        if (!GameReady())
            return;
        HarnessStartLevel(0, kPlayMode_Adventure, 1, 2);
        HarnessSkipArrival();
        gHudHidden = true;                       // pictures of the world alone
        HarnessPlayFrames(60, nullptr, nullptr); // past the fade-in
    }

    void TearDown() override
    {
        if (GameReady())
            HarnessEndLevel();
        gHudHidden = false;
        GameWindowTest::TearDown();
    }

    static WindowPixels DrawFrom(const Point3D& from, const Point3D& to)
    {
        OGL_UpdateCameraFromTo(&from, &to, 0);
        UpdateSuperTileWindows();
        return DrawSceneAndCapture(DrawLevel);
    }
};

TEST_F(FenceWaterDrawTest, ACameraFacingAForestFenceSeesItsBrownBoards)
{
    // Each forest fence is looked at from both sides of its middle section, with the trees and plants
    // around cleared; a hill or a gap between boards may hide one view, but some view must fill the
    // picture's centre with boards.
    int views = 0, boardViews = 0;
    for (int i = 0; i < gNumFences; i++) {
        const FenceRecordType& f = gFences[i];
        if (f.type != 0)
            continue;
        int middle = f.numNubs / 2;
        const Point3D& nub = f.nubs[middle];
        const Vector2D& normal = f.sectionNormals[middle < f.numNubs - 1 ? middle : middle - 1];
        ClearItemObjectsNear(nub, 900);
        for (float side : {700.0f, -700.0f}) {
            float x = nub.x + normal.x * side, z = nub.z + normal.y * side;
            Point3D from = {x, TerrainHeightAt(x, z) + 400, z};
            Point3D to = {nub.x, nub.y + 500, nub.z};
            WindowPixels frame = DrawFrom(from, to);
            EXPECT_GT(gFencesDrawn, 0);
            Rgba centre = frame.MeanOf(frame.width * 2 / 5, frame.height * 2 / 5, frame.width * 3 / 5,
                                       frame.height * 3 / 5);
            views++;
            if (centre.r > centre.g && centre.r > centre.b)
                boardViews++; // wooden boards, not grass or sky
        }
    }
    ASSERT_GT(views, 0) << "the forest level should have a visible fence";
    EXPECT_GT(boardViews, 0) << "no view of a forest fence showed its boards";
}

TEST_F(FenceWaterDrawTest, ACameraAboveALakeSeesBlueWater)
{
    ASSERT_GT(GetWaterPatchCount(), 0);
    BoundingBox bounds;
    GetWaterPatchGeometry(0, &bounds);
    float x = (bounds.minX + bounds.maxX) / 2, z = (bounds.minZ + bounds.maxZ) / 2;
    Point3D from = {x, bounds.maxY + 900, z + 300};
    Point3D to = {x, bounds.maxY, z};
    WindowPixels frame = DrawFrom(from, to);

    EXPECT_GE(gWaterPatchesDrawn, 1);
    Rgba centre =
        frame.MeanOf(frame.width * 2 / 5, frame.height * 2 / 5, frame.width * 3 / 5, frame.height * 3 / 5);
    EXPECT_GT(centre.b, centre.r + 20) << "water, not ground";
    EXPECT_GT(centre.b, centre.g);

    // Ripples on it draw without upsetting the frame, and fade away with play.
    SpawnWaterRipples(x, z, 20, 40, 1.0f, 10);
    EXPECT_EQ(GetActiveRippleCount(), 10);
    for (int i = 0; i < 40 && GetActiveRippleCount() > 0; i++)
        HarnessPlayFrames(15, nullptr, nullptr);
    EXPECT_EQ(GetActiveRippleCount(), 0);
}
