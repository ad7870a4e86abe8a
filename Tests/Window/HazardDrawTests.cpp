// The power-ups and hazards drawn for real in their levels, each compared with the same view with it
// hidden: they must show where they stand, in their own colours.
// Set QUORVEL_SCREENSHOTS to a folder to keep the pictures (hazard-<name>.png).

#include "HazardPlayFixture.h"

#include "3D/OGL_Support.h"
#include "DataForge/Writers/ImageWriter.h"
#include "Gameplay/Effects.h"
#include "Interface/Infobar.h"
#include "Terrain/Water.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

void KeepScreenshot(const WindowPixels& pixels, const std::string& name)
{
    const char* folder = std::getenv("QUORVEL_SCREENSHOTS");
    if (!folder)
        return;
    Image image;
    image.width = pixels.width;
    image.height = pixels.height;
    image.pixels = pixels.rgba;
    WritePngFile(std::filesystem::path(folder) / ("hazard-" + name + ".png"), image);
}

// Pixels of the rectangle that differ by more than 40 in some channel.
int ChangedPixels(const WindowPixels& a, const WindowPixels& b, int x0, int y0, int x1, int y1)
{
    int changed = 0;
    for (int y = y0; y < y1; y++) {
        for (int x = x0; x < x1; x++) {
            Rgba p = a.At(x, y), q = b.At(x, y);
            if (std::abs(p.r - q.r) > 40 || std::abs(p.g - q.g) > 40 || std::abs(p.b - q.b) > 40)
                changed++;
        }
    }
    return changed;
}

class HazardDrawTest : public HazardPlayTest
{
protected:
    void TearDown() override
    {
        gHudHidden = false;
        HazardPlayTest::TearDown();
    }

    // A flat, dry spot in the level away from the start, cleared of its scenery, with the player
    // parked out of the picture.
    void PrepareSpot(int levelIndex)
    {
        StartLevel(levelIndex);
        gHudHidden = true; // the world alone; the reticle would cover the middle of the picture
        Play(90);          // past the fade-in
        const ObjNode* player = gPlayers[0].objNode;
        spot = AheadOfPlayer(2500);
        for (int tries = 0; tries < 40 && IsPointOverWater(spot.x, spot.z); tries++)
            spot.x += 300;
        spot.y = GroundAt(spot.x, spot.z);
        ObjNode* node = gObjectListHead;
        while (node) {
            ObjNode* next = node->NextInList;
            float dx = node->Position.x - spot.x, dz = node->Position.z - spot.z;
            if (node->TerrainItem && dx * dx + dz * dz < 3000 * 3000) {
                node->TerrainItem = nullptr;
                DisposeObject(node);
            }
            node = next;
        }
        ParkPlayerAt({player->Position.x, player->Position.y + 1500, player->Position.z});
        for (ObjNode* part = gPlayers[0].objNode; part; part = part->ChainNext)
            part->StatusFlags |= NODEBIT_INVISIBLE;
    }

    ObjNode* HazardAt(uint16_t type, float dx, float dz, uint8_t p0 = 0, uint8_t p1 = 0)
    {
        MapItemType* item = NewItem(type, spot.x + dx, spot.z + dz, p0, p1);
        EXPECT_TRUE(AddThroughTable(item));
        return ObjectOf(item);
    }

    WindowPixels DrawLookingAt(const Point3D& target, float distance, float height)
    {
        Point3D from = {target.x, target.y + height, target.z + distance};
        OGL_UpdateCameraFromTo(&from, &target, 0);
        UpdateSuperTileWindows();
        DrawSceneAndCapture(DrawLevel);
        UpdateSuperTileWindows();
        return DrawSceneAndCapture(DrawLevel);
    }

    // The picture with the objects shown, checked against the same view with them hidden.
    void ExpectShown(const std::vector<ObjNode*>& objects, const Point3D& target, float distance,
                     float height, const std::string& name, int minChanged)
    {
        for (ObjNode* obj : objects)
            HideChain(obj);
        WindowPixels before = DrawLookingAt(target, distance, height);
        for (ObjNode* obj : objects)
            ShowChain(obj);
        WindowPixels after = DrawLookingAt(target, distance, height);
        KeepScreenshot(after, name);
        int w = after.width, h = after.height;
        EXPECT_GT(ChangedPixels(before, after, w / 4, h / 4, w * 3 / 4, h * 3 / 4), minChanged)
            << name << " shows in the middle of the picture";
    }

    Point3D Above(float height) const { return {spot.x, spot.y + height, spot.z}; }

    Point3D spot;
};

TEST_F(HazardDrawTest, ForestHazardsShowInTheirLevel)
{
    PrepareSpot(0);

    std::vector<ObjNode*> pows = {HazardAt(6, -600, 0, 0), HazardAt(21, -300, 0), HazardAt(22, 0, 0),
                                  HazardAt(33, 300, 0), HazardAt(47, 600, 0)};
    ExpectShown(pows, Above(200), 1100, 150, "powerups", 500);
    for (ObjNode* pow : pows)
        DisposeObject(pow);

    ObjNode* a = HazardAt(20, -450, 0);
    ObjNode* b = HazardAt(20, 450, 0);
    a->ItemTag = b->ItemTag = 0;
    HarnessPlayFrames(1, nullptr, nullptr); // culled flags for the zap's visibility test
    a->StatusFlags &= ~NODEBIT_CULLED_PANE0;
    int zap = MakeZap(a, b);
    ASSERT_GE(zap, 0);
    ExpectShown({a, b}, Above(300), 1500, 200, "electrodes", 300);
    FreeZap(zap);
    DisposeObject(a);
    DisposeObject(b);

    ObjNode* door = HazardAt(18, 0, 0, 3);
    ObjNode* pylon = HazardAt(19, 700, 300, 3);
    ExpectShown({door, pylon}, Above(250), 1800, 200, "door-and-pylon", 1500);
    ObjNode shot = Attacker(1.0f);
    pylon->WeaponHitProc(&shot, pylon, nullptr, nullptr);
    gFixedFrameSeconds = 0.1f;
    HarnessPlayFrames(40, nullptr, nullptr);
    gFixedFrameSeconds = kStep;
    ExpectShown({door}, Above(250), 1800, 200, "door-open", 1000);
    DisposeObject(door);
    DisposeObject(pylon);

    ObjNode* mine = HazardAt(17, 0, 0, 9);
    ExpectShown({mine}, Above(900), 1100, 100, "air-mine", 300);
    DisposeObject(mine);

    ObjNode* turret = HazardAt(5, 0, 0);
    ExpectShown({turret}, Above(400), 1600, 200, "turret", 2000);
    DisposeObject(turret);

    ObjNode* orb = HazardAt(32, 0, 0);
    ExpectShown({orb}, Above(150), 700, 150, "laser-orb", 1500);
    DisposeObject(orb);

    std::vector<ObjNode*> plants = {HazardAt(24, -400, 0, 0), HazardAt(24, 0, 0, 1), HazardAt(24, 400, 0, 2)};
    HarnessPlayFrames(20, nullptr, nullptr); // gas rises
    ExpectShown(plants, Above(200), 1200, 150, "gas-plants", 1500);
}

TEST_F(HazardDrawTest, DesertHazardsShowInTheirLevel)
{
    PrepareSpot(1);
    std::vector<ObjNode*> crystals = {HazardAt(30, -400, 0, 0), HazardAt(30, 0, 0, 1),
                                      HazardAt(30, 400, 0, 2)};
    ExpectShown(crystals, Above(150), 1200, 150, "crystals", 1500);

    ObjNode* devil = MakeDustDevil(spot.x, spot.z);
    ASSERT_NE(devil, nullptr);
    HarnessPlayFrames(20, nullptr, nullptr);
    ExpectShown({devil}, Above(1200), 5000, 800, "dust-devil", 5000);
}

TEST_F(HazardDrawTest, SwampWormShowsMidLeap)
{
    PrepareSpot(2);
    ObjNode* from = HazardAt(46, -900, 0, 30);
    ObjNode* to = HazardAt(46, 900, 0, 30);
    from->FloatSlots[0] = 0;
    to->FloatSlots[0] = 10;
    HarnessPlayFrames(2, nullptr, nullptr);
    ASSERT_EQ(from->Phase, 1) << "the worm left";
    gFixedFrameSeconds = 0.05f;
    HarnessPlayFrames(48, nullptr, nullptr); // halfway along its arc
    gFixedFrameSeconds = kStep;
    ObjNode* worm = nullptr;
    for (ObjNode* node = gObjectListHead; node; node = node->NextInList) {
        if (node->Slot == 491 && node->Skeleton)
            worm = node;
    }
    ASSERT_NE(worm, nullptr);
    WindowPixels seen = DrawLookingAt(worm->Position, 1800, 300);
    KeepScreenshot(seen, "worm");
    worm->StatusFlags |= NODEBIT_INVISIBLE;
    WindowPixels hidden = DrawLookingAt(worm->Position, 1800, 300);
    worm->StatusFlags &= ~NODEBIT_INVISIBLE;
    int w = seen.width, h = seen.height;
    EXPECT_GT(ChangedPixels(hidden, seen, 0, 0, w, h), 300) << "the worm arcs over the swamp";
}

} // namespace
