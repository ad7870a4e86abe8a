// The generated levels' items in the real game: a camera sweeping every level's whole map adds every
// item it passes without a fatal alert, and each scene's busiest corner shows its scenery. The views
// are written to Screenshots/ in the build folder for a person to look at.

#include "3D/OGL_Support.h"
#include "Objects/ObjNode.h"
#include "Support/AlertCapture.h"
#include "Support/GameWindowTest.h"
#include "Support/TempFolder.h"
#include "System/Input.h"
#include "System/Level.h"
#include "System/LevelHarness.h"
#include "System/Prefs.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/TerrainLocal.h"
#include "Window/RenderTestImages.h"

#include <gtest/gtest.h>

#include <string>

using LevelItemsTest = GameWindowTest;

static const int16_t kModeOfLevel[NUM_LEVELS] = {
    kPlayMode_Adventure, kPlayMode_Adventure,      kPlayMode_Adventure,
    kPlayMode_Race,      kPlayMode_Race,           kPlayMode_Battle,
    kPlayMode_Battle,    kPlayMode_CaptureTheFlag, kPlayMode_CaptureTheFlag};

// Items of the cells in some window that are still waiting to be added (player starts never are, and
// raptors and brachs wait while the level has as many enemies as it allows).
static int ItemsMissingInWindow()
{
    int missing = 0;
    for (int row = 0; row < gSuperTilesDeep; row++) {
        for (int col = 0; col < gSuperTilesWide; col++) {
            if (!gSuperTileCells[row][col].windowBits)
                continue;
            const SuperTileItemIndexType& cell = gItemCells[row][col];
            for (int i = cell.first; i < cell.first + cell.count; i++)
                missing += gMapItems[i].type != 0 && gMapItems[i].type != 48 && gMapItems[i].type != 15 &&
                           gMapItems[i].type != 26 && !(gMapItems[i].flags & ITEM_FLAG_ADDED);
        }
    }
    return missing;
}

TEST_F(LevelItemsTest, CameraSweepingEveryLevelAddsEveryItemItPassesWithoutAFatalAlert)
{
    ScopedAlertCapture alerts;
    for (int level = 0; level < NUM_LEVELS; level++) {
        SCOPED_TRACE(kLevelTable[level].fileName);
        HarnessStartLevel(level, kModeOfLevel[level], 1, 2);
        int worstMissing = 0, steps = 0;
        // Rows a window apart, walked one supertile at a time, so every cell enters a window.
        for (int row = 4; row < gSuperTilesDeep + 8; row += 8) {
            for (int col = 0; col < gSuperTilesWide; col++, steps++) {
                float x = (float(row / 8 % 2 ? gSuperTilesWide - 1 - col : col) + 0.5f) * gSuperTileSize;
                float z = (float(std::min(row, gSuperTilesDeep - 1)) + 0.5f) * gSuperTileSize;
                Point3D from = {x, 2000, z}, to = {x, 0, z - 500};
                OGL_UpdateCameraFromTo(&from, &to, 0);
                UpdateSuperTileWindows();
                ReleaseSuperTilesOutsideWindows();
                MoveObjects(); // items left behind delete themselves and re-arm
                worstMissing = std::max(worstMissing, ItemsMissingInWindow());
            }
        }
        EXPECT_GT(steps, 0);
        EXPECT_EQ(worstMissing, 0) << "items inside a window were never added";
        HarnessEndLevel();
    }
    for (const CapturedAlert& alert : alerts.Alerts())
        ADD_FAILURE() << (alert.isFatal ? "fatal alert: " : "alert: ") << alert.message;
}

static WindowPixels gView;
static void CaptureOverlayPass()
{
    DrawLevel();
    if (gCurrentPane == gNumPanes)
        gView = ReadBackBuffer();
}

// The supertile holding the most scenery objects' items, as world x, z of its centre.
static void BusiestSceneryCell(float* x, float* z)
{
    int best = -1;
    for (int row = 2; row < gSuperTilesDeep - 2; row++) {
        for (int col = 2; col < gSuperTilesWide - 2; col++) {
            if (gItemCells[row][col].count > best) {
                best = gItemCells[row][col].count;
                *x = (float(col) + 0.5f) * gSuperTileSize;
                *z = (float(row) + 0.5f) * gSuperTileSize;
            }
        }
    }
}

TEST_F(LevelItemsTest, EachSceneShowsItsScenery)
{
    std::filesystem::create_directories(std::filesystem::path(QUORVEL_BINARY_DIR) / "Screenshots");
    for (int level = 0; level < NUM_ADVENTURE_LEVELS; level++) {
        const char* scene = kSceneLooks[kLevelTable[level].scene].name;
        SCOPED_TRACE(scene);
        HarnessStartLevel(level, kPlayMode_Adventure, 1, 2);
        HarnessParkPlayers();                    // a crash would fade the pane out
        HarnessPlayFrames(40, nullptr, nullptr); // past the fade-in

        float x = 0, z = 0;
        BusiestSceneryCell(&x, &z);
        Point3D from = {x, TerrainHeightAt(x, z + 1500) + 450, z + 1500};
        Point3D to = {x, TerrainHeightAt(x, z) + 100, z};
        OGL_UpdateCameraFromTo(&from, &to, 0);
        UpdateSuperTileWindows();
        OGL_DrawScene(DrawLevel);
        OGL_DrawScene(CaptureOverlayPass);

        int visibleScenery = 0;
        for (ObjNode* node = gObjectListHead; node; node = node->NextInList)
            visibleScenery += node->TerrainItem && !(node->StatusFlags & NODEBIT_CULLED_PANE0);
        EXPECT_GT(visibleScenery, 15) << "a busy corner of the level should show plenty of scenery";

        // Scenery breaks up the ground: the lower half of the view is far from one flat colour.
        long sum = 0, sumSquares = 0, n = 0;
        for (int py = gView.height / 2; py < gView.height; py += 4) {
            for (int px = 0; px < gView.width; px += 4) {
                Rgba c = gView.At(px, py);
                int lum = (c.r * 3 + c.g * 6 + c.b) / 10;
                sum += lum;
                sumSquares += lum * lum;
                n++;
            }
        }
        double mean = double(sum) / double(n), variance = double(sumSquares) / double(n) - mean * mean;
        EXPECT_GT(variance, 40.0) << "the view shows hardly any detail";

        WriteFile(std::filesystem::path(QUORVEL_BINARY_DIR) / "Screenshots" /
                      (std::string("items-") + scene + ".png"),
                  EncodePng(gView.width, gView.height, 4, gView.rgba));
        HarnessEndLevel();
    }
}
