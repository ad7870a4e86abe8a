// Effects drawn for real on the first generated level: an explosion, a smoke burst, a splash on the lake,
// a contrail and a shattered model, each compared with the same view before the effect.
// Set QUORVEL_SCREENSHOTS to a folder to keep the pictures (effect-<name>.png).

#include "3D/OGL_Support.h"
#include "3D/TQ3D.h"
#include "DataForge/Writers/ImageWriter.h"
#include "Gameplay/Effects.h"
#include "Interface/Infobar.h"
#include "Objects/DisplayGroups.h"
#include "Objects/ObjNode.h"
#include "Support/GameWindowTest.h"
#include "Support/TempFolder.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/Level.h"
#include "System/LevelHarness.h"
#include "System/Prefs.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/SplineObjects.h"
#include "Terrain/Terrain.h"
#include "Terrain/Water.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

constexpr int kEffectEmitterItem = 34; // map item types of the particle emitters
constexpr int kFlyingSpritesItem = 35; // and of the flying sprites
constexpr int kGasPlantItem = 24;      // gas plants breathe gas all the time

void KeepScreenshot(const WindowPixels& pixels, const std::string& name)
{
    const char* folder = std::getenv("QUORVEL_SCREENSHOTS");
    if (!folder)
        return;
    Image image;
    image.width = pixels.width;
    image.height = pixels.height;
    image.pixels = pixels.rgba;
    WritePngFile(std::filesystem::path(folder) / ("effect-" + name + ".png"), image);
}

struct RegionStats
{
    int meanR, meanG, meanB;
    int changedPixels;                // differing from the baseline by more than 40 in some channel
    int changedR, changedG, changedB; // mean colour of those pixels
};

RegionStats Compare(const WindowPixels& before, const WindowPixels& after, int x0, int y0, int x1, int y1)
{
    RegionStats stats = {};
    long r = 0, g = 0, b = 0, n = 0, cr = 0, cg = 0, cb = 0;
    for (int y = y0; y < y1; y++) {
        for (int x = x0; x < x1; x++) {
            Rgba p = after.At(x, y), q = before.At(x, y);
            r += p.r, g += p.g, b += p.b, n++;
            if (std::abs(p.r - q.r) > 40 || std::abs(p.g - q.g) > 40 || std::abs(p.b - q.b) > 40) {
                stats.changedPixels++;
                cr += p.r, cg += p.g, cb += p.b;
            }
        }
    }
    stats.meanR = int(r / n), stats.meanG = int(g / n), stats.meanB = int(b / n);
    if (stats.changedPixels > 0) {
        stats.changedR = int(cr / stats.changedPixels);
        stats.changedG = int(cg / stats.changedPixels);
        stats.changedB = int(cb / stats.changedPixels);
    }
    return stats;
}

} // namespace

class EffectsDrawTest : public GameWindowTest
{
protected:
    void SetUp() override
    {
        GameWindowTest::SetUp();
        if (!GameReady())
            return;
        gFixedFrameSeconds = 1.0f / 60.0f; // the sky and creatures move the same in every run
        HarnessStartLevel(0, kPlayMode_Adventure, 1, 2);
        HarnessSkipArrival();
        gHudHidden = true;                       // pictures of the world alone
        HarnessPlayFrames(60, nullptr, nullptr); // past the fade-in

        // A spot in the middle of the map, seen from 900 away along z and a little above, with the
        // scenery around it cleared so only the effect changes the picture.
        spot = {gMapWidthUnits * 0.5f, 0, gMapDepthUnits * 0.5f};
        spot.y = TerrainHeightAt(spot.x, spot.z) + 400;
        ClearItemObjectsNear(spot, 2500);
        StopLevelEmitters();
        EmptySplineObjectList(); // creatures on their paths would wander into the pictures
        HarnessParkPlayers();    // it would fly into the pictures and raise dust and spray of its own
    }

    // The level's own emitters and gas plants would keep particles alive while a test waits for its
    // effect to burn out, and its flying sprites move about the picture: the ones made go, and no
    // more are made.
    static void StopLevelEmitters()
    {
        gMapItemAddRoutines[kEffectEmitterItem] = nullptr;
        gMapItemAddRoutines[kFlyingSpritesItem] = nullptr;
        gMapItemAddRoutines[kGasPlantItem] = nullptr;
        ObjNode* node = gObjectListHead;
        while (node) {
            ObjNode* next = node->NextInList;
            if (node->TerrainItem &&
                (node->TerrainItem->type == kEffectEmitterItem ||
                 node->TerrainItem->type == kFlyingSpritesItem || node->TerrainItem->type == kGasPlantItem)) {
                node->TerrainItem = nullptr;
                DisposeObject(node);
            }
            node = next;
        }
    }

    void TearDown() override
    {
        if (GameReady())
            HarnessEndLevel();
        gHudHidden = false;
        gFixedFrameSeconds = 0;
        GameWindowTest::TearDown();
    }

    WindowPixels DrawLookingAt(const Point3D& target, float distance, float height)
    {
        Point3D from = {target.x, target.y + height, target.z + distance};
        OGL_UpdateCameraFromTo(&from, &target, 0);
        UpdateSuperTileWindows();
        DrawSceneAndCapture(DrawLevel); // supertiles that just came into range show from the next frame
        UpdateSuperTileWindows();
        return DrawSceneAndCapture(DrawLevel);
    }

    Point3D spot;
};

TEST_F(EffectsDrawTest, AnExplosionFillsTheCentreWithBrightFire)
{
    WindowPixels before = DrawLookingAt(spot, 900, 100);
    MakeFireExplosion(&spot, 70, 400);
    HarnessPlayFrames(4, nullptr, nullptr);
    WindowPixels after = DrawLookingAt(spot, 900, 100);
    KeepScreenshot(after, "explosion");

    int w = after.width, h = after.height;
    RegionStats centre = Compare(before, after, w * 7 / 16, h * 7 / 16, w * 9 / 16, h * 9 / 16);
    Rgba old = before.MeanOf(w * 7 / 16, h * 7 / 16, w * 9 / 16, h * 9 / 16);
    EXPECT_GT(centre.changedPixels, (w / 8) * (h / 8) / 2) << "most of the centre shows the blast";
    EXPECT_GT(centre.meanR + centre.meanG, old.r + old.g + 80) << "added light";
    EXPECT_GT(centre.changedR, centre.changedB + 30) << "fire is orange, not white or blue";
    EXPECT_GT(CountLiveParticles(), 0);

    // The fire burns out, and then the ground it covered is as it was (the clouds on the horizon
    // above have drifted meanwhile).
    for (int i = 0; i < 600 && CountLiveParticles() > 0; i++)
        HarnessPlayFrames(1, nullptr, nullptr);
    EXPECT_EQ(CountLiveParticles(), 0);
    WindowPixels later = DrawLookingAt(spot, 900, 100);
    EXPECT_LT(Compare(before, later, w * 7 / 16, h / 2, w * 9 / 16, h * 9 / 16).changedPixels, 50);
}

TEST_F(EffectsDrawTest, ASmokeBurstIsGreyAndCoversItsSpot)
{
    WindowPixels before = DrawLookingAt(spot, 900, 100);
    MakeSmokeBurst(&spot, 60, 150);
    HarnessPlayFrames(5, nullptr, nullptr);
    WindowPixels after = DrawLookingAt(spot, 900, 100);
    KeepScreenshot(after, "smoke");

    int w = after.width, h = after.height;
    RegionStats centre = Compare(before, after, w * 7 / 16, h * 7 / 16, w * 9 / 16, h * 9 / 16);
    EXPECT_GT(centre.changedPixels, (w / 8) * (h / 8) / 3) << "the smoke hides what was behind it";
    int spread = std::max({centre.meanR, centre.meanG, centre.meanB}) -
                 std::min({centre.meanR, centre.meanG, centre.meanB});
    EXPECT_LT(spread, 45) << "smoke is a grey, not a colour";
}

TEST_F(EffectsDrawTest, ASplashThrowsBrightDropsAboveTheLake)
{
    ASSERT_GT(GetWaterPatchCount(), 0);
    BoundingBox bounds;
    GetWaterPatchGeometry(0, &bounds);
    Point3D water = {(bounds.minX + bounds.maxX) / 2, 0, (bounds.minZ + bounds.maxZ) / 2};
    WaterHeightAt(water.x, water.z, &water.y);

    WindowPixels before = DrawLookingAt(water, 500, 150);
    SplashIntoWater(&water, 1.2f);
    HarnessPlayFrames(12, nullptr, nullptr); // a fifth of a second: the drops are up
    WindowPixels after = DrawLookingAt(water, 500, 150);
    KeepScreenshot(after, "splash");

    int w = after.width, h = after.height;
    // The drops and the ring they rise from, which lies at the picture's middle height.
    RegionStats centre = Compare(before, after, w * 7 / 16, h * 3 / 8, w * 9 / 16, h * 9 / 16);
    EXPECT_GT(centre.changedPixels, 300) << "drops in the air";
    EXPECT_GT(centre.changedB, 180) << "pale drops over the dark water";
    EXPECT_GT(centre.changedB, centre.changedR) << "water, not fire";
}

TEST_F(EffectsDrawTest, AContrailDrawsAPaleRibbonAcrossTheView)
{
    WindowPixels before = DrawLookingAt(spot, 600, 300); // the ribbon lies flat: look down on it
    int16_t owner = -1;
    CreateContrail(20, &owner);
    ASSERT_NE(owner, -1);
    Vector3D along = {1, 0, 0};
    for (int i = 0; i <= 40; i++) {
        Point3D p = {spot.x + 400 - i * 20, spot.y, spot.z};
        AddPointToContrail(owner, &p, &along, 0.9f);
    }
    HarnessPlayFrames(2, nullptr, nullptr);
    WindowPixels after = DrawLookingAt(spot, 600, 300);
    KeepScreenshot(after, "contrail");

    // The ribbon lies along the picture's middle row; the open ground below it is untouched (the
    // distant scenery above may change as the level's windows move).
    int w = after.width, h = after.height;
    RegionStats band = Compare(before, after, w / 8, h / 2 - 6, w * 7 / 8, h / 2 + 6);
    RegionStats below = Compare(before, after, w / 8, h * 3 / 4, w * 7 / 8, h * 3 / 4 + 12);
    EXPECT_GT(band.changedPixels, w / 3) << "a ribbon across the view";
    EXPECT_LT(below.changedPixels, 20);
    Rgba old = before.MeanOf(w / 8, h / 2 - 6, w * 7 / 8, h / 2 + 6);
    EXPECT_GT(band.meanR + band.meanG + band.meanB, old.r + old.g + old.b + 30) << "additive and pale";
    DetachContrailOwner(owner);
}

TEST_F(EffectsDrawTest, AShatteredModelScattersItsTrianglesAndTheyFallAway)
{
    ASSERT_GT(gNumObjectsInGroupList[MODEL_GROUP_LEVELSPECIFIC], 0);
    ObjectDefinition def = {};
    def.genre = DISPLAY_GROUP_GENRE;
    def.artGroup = MODEL_GROUP_LEVELSPECIFIC;
    def.artIndex = 0;
    def.position = {spot.x, spot.y - 200, spot.z};
    def.slot = 200;
    def.scale = 1.5f;
    def.statusFlags = NODEBIT_NO_CULLING;
    ObjNode* model = MakeNewDisplayGroupObject(&def);
    WindowPixels before = DrawLookingAt(spot, 1200, 0);

    ShatterObject(model, 500, SHATTER_RADIAL | SHATTER_UPWARD, 1, 0.5f);
    int shards = gNumShards;
    DisposeObject(model);
    EXPECT_GT(shards, 10);
    WindowPixels empty = DrawLookingAt(spot, 1200, 0);
    HarnessPlayFrames(12, nullptr, nullptr);
    WindowPixels after = DrawLookingAt(spot, 1200, 0);
    KeepScreenshot(before, "shards-before");
    KeepScreenshot(after, "shards");

    int w = after.width, h = after.height;
    RegionStats whole = Compare(empty, after, 0, 0, w, h);
    EXPECT_GT(whole.changedPixels, 300) << "the flying pieces show";
    EXPECT_LT(gNumShards, shards + 1);

    // They shrink away or hit the ground within a few seconds.
    for (int i = 0; i < 1000 && gNumShards > 0; i++)
        HarnessPlayFrames(1, nullptr, nullptr);
    EXPECT_EQ(gNumShards, 0);
}
