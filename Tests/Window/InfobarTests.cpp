// The heads-up display over running levels, as a player sees it: the gauges at empty, half and
// full, the HUD hanging on the pane edges in one and two panes at 4:3 and 16:9, the mini-map turning
// with the heading, the race indicators after a wrong turn, F9, the lens flare and the pop-ups. Set
// QUORVEL_SCREENSHOTS to a folder to keep the pictures (hud-*.png).

#include "3D/OGL_Support.h"
#include "DataForge/Writers/ImageWriter.h"
#include "Gameplay/Player.h"
#include "Interface/Infobar.h"
#include "Interface/InfobarLocal.h"
#include "Interface/Overlay.h"
#include "Objects/ObjNode.h"
#include "Support/AlertCapture.h"
#include "Support/TempFolder.h"
#include "Support/TestWindow.h"
#include "System/Fades.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/Level.h"
#include "System/LevelHarness.h"
#include "System/Pause.h"
#include "System/Prefs.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/Terrain.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr float kStep = 1.0f / 60.0f;

void KeepScreenshot(const WindowPixels& pixels, const std::string& name)
{
    const char* folder = std::getenv("QUORVEL_SCREENSHOTS");
    if (!folder)
        return;
    Image image;
    image.width = pixels.width;
    image.height = pixels.height;
    image.pixels = pixels.rgba;
    WritePngFile(std::filesystem::path(folder) / ("hud-" + name + ".png"), image);
}

void PushKey(SDL_Scancode scancode, bool down)
{
    SDL_Event event = {};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    SDL_PushEvent(&event);
}

// Keeps a player high over the ground, level and unhurt, so the pane never fades for a crash.
void KeepFlying(int player)
{
    ObjNode* node = gPlayers[player].objNode;
    if (!node)
        return;
    node->Position.y = TerrainHeightAt(node->Position.x, node->Position.z) + 1200;
    node->Rotation.x = node->Rotation.z = 0;
    gPlayers[player].invincibleTimer = 10;
    RebuildNodeTransform(node);
}

int Luma(Rgba c)
{
    return (c.r * 3 + c.g * 6 + c.b) / 10;
}

int Difference(Rgba a, Rgba b)
{
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

// The mean of the pixel-by-pixel differences over [x0, x1) x [y0, y1): what drew over the world there.
int PixelDifference(const WindowPixels& a, const WindowPixels& b, int x0, int y0, int x1, int y1)
{
    long sum = 0, count = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++, count++)
            sum += Difference(a.At(x, y), b.At(x, y));
    return count ? int(sum / count) : 0;
}

// Where the HUD's logical units land in a pane of the window: pixels per unit, and the pixel of the
// overlay's origin (the 4:3 box's top-left), from the top-left of the window.
struct PaneMapping
{
    float x0, y0, width, height; // the pane in window pixels, y down
    float pixelsPerUnit;
    float originX, originY;
};

PaneMapping MapPane(int pane, float hudScale)
{
    int x, y, w, h;
    OGL_GetPaneViewport(pane, &x, &y, &w, &h);
    PaneMapping m;
    m.x0 = float(x);
    m.y0 = float(gWindowHeight - y - h);
    m.width = float(w);
    m.height = float(h);
    float top, bottom, left, right;
    GetOverlayRect(pane, hudScale, &top, &bottom, &left, &right);
    m.pixelsPerUnit = float(h) / (bottom - top);
    m.originX = m.x0 - left * m.pixelsPerUnit;
    m.originY = m.y0 - top * m.pixelsPerUnit;
    return m;
}

class InfobarTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        configFolder = std::make_unique<TempFolder>();
        setenv("XDG_CONFIG_HOME", configFolder->Path().c_str(), 1);
        inBuildFolder = std::make_unique<ScopedWorkingDirectory>(QUORVEL_BINARY_DIR);
        Tarnet::Startup();
        ResetPrefsToDefaults();
        gPrefs.showCrosshair = 0; // the aim points stay where the weapons leave them
        SetUpInput();
        HarnessPrepareGame();
        SetNeedsScripted(true);
    }

    void TearDown() override
    {
        if (inBuildFolder) {
            if (levelRunning)
                HarnessEndLevel();
            SetNeedsScripted(false);
            gFixedFrameSeconds = 0;
            gHudHidden = false;
            HarnessFinishGame();
            Tarnet::Shutdown();
        }
        inBuildFolder.reset();
        WindowTest::TearDown();
    }

    // Starts the level and plays until the opening fade is over, every player kept flying.
    void StartLevel(int levelIndex, int16_t playMode, int numPanes, int split = 1)
    {
        gPlayMode = playMode;
        InitPlayerRecords(false);
        gFixedFrameSeconds = kStep;
        HarnessStartLevel(levelIndex, playMode, numPanes, split);
        HarnessSkipArrival();
        levelRunning = true;
        // High over the ground the view can leave pixels undrawn, which would keep what an earlier
        // frame put there: clear them, so a picture without the HUD shows none of it.
        gGameViewInfoPtr->clearScreen = true;
        Play(10);
        for (int i = 0; i < 300 && gFadeLevel < 1; i++)
            Play(1);
    }

    void Play(int frames)
    {
        for (int frame = 0; frame < frames; frame++) {
            for (int player = 0; player < gNumPanes; player++)
                KeepFlying(player);
            PlayLevelFrame();
        }
    }

    static void Resize(int width, int height)
    {
        SDL_SetWindowSize(gGameWindow, width, height);
        for (int i = 0; i < 200; i++) {
            SDL_PumpEvents();
            int w, h;
            SDL_GL_GetDrawableSize(gGameWindow, &w, &h);
            if (w == width && h == height)
                return;
            SDL_Delay(5);
        }
        FAIL() << "the window did not take the size " << width << " x " << height;
    }

    // The level's view clears only the depth, and where the world leaves a pixel undrawn the buffer
    // keeps what the frame before last put there: every picture is the second of two alike.
    static WindowPixels Shot(const std::string& name)
    {
        DrawSceneAndCapture(DrawLevel);
        WindowPixels shot = DrawSceneAndCapture(DrawLevel);
        KeepScreenshot(shot, name);
        return shot;
    }

    static WindowPixels Redraw()
    {
        DrawSceneAndCapture(DrawLevel);
        return DrawSceneAndCapture(DrawLevel);
    }

    static WindowPixels ShotWithoutHud()
    {
        gHudHidden = true;
        DrawSceneAndCapture(DrawLevel);
        WindowPixels shot = DrawSceneAndCapture(DrawLevel);
        gHudHidden = false;
        return shot;
    }

    static void SetGauges(int player, float value)
    {
        gPlayers[player].health = value;
        gPlayers[player].shieldTimer = 3 * value;
        gPlayers[player].jetFuel = value;
    }

    std::unique_ptr<TempFolder> configFolder;
    std::unique_ptr<ScopedWorkingDirectory> inBuildFolder;
    bool levelRunning = false;
};

// Centres of the three gauges in a 640 x 480 single pane.
constexpr int kGaugeX[3] = {21, 64, 107};
constexpr int kGaugeY = 21;

TEST_F(InfobarTest, GaugesFillFromTheBottomInTheirOwnColours)
{
    StartLevel(0, kPlayMode_Adventure, 1);
    struct Sample
    {
        Rgba upper, lower;
    };
    auto sample = [](const WindowPixels& shot, int gauge) {
        int x = kGaugeX[gauge];
        return Sample{shot.MeanOf(x - 5, kGaugeY - 12, x + 5, kGaugeY - 7),
                      shot.MeanOf(x - 5, kGaugeY + 3, x + 5, kGaugeY + 8)};
    };

    SetGauges(0, 0);
    WindowPixels empty = Shot("gauges-empty");
    SetGauges(0, 0.5f);
    WindowPixels half = Shot("gauges-half");
    SetGauges(0, 1);
    WindowPixels full = Shot("gauges-full");

    for (int gauge = 0; gauge < 3; gauge++) {
        SCOPED_TRACE("gauge " + std::to_string(gauge));
        Sample e = sample(empty, gauge), h = sample(half, gauge), f = sample(full, gauge);
        EXPECT_LT(Luma(e.lower), 90) << "an empty gauge is dark glass";
        EXPECT_GT(Luma(f.lower), Luma(e.lower) + 50) << "a full gauge is filled to the bottom";
        EXPECT_GT(Luma(f.upper), Luma(e.upper) + 50) << "a full gauge is filled to the top";
        EXPECT_GT(Luma(h.lower), Luma(e.lower) + 50) << "half fills the lower half";
        EXPECT_LT(Luma(h.upper), Luma(f.upper) - 40) << "half leaves the upper half empty";
    }
    Rgba health = sample(full, 0).lower, shield = sample(full, 1).lower, fuel = sample(full, 2).lower;
    EXPECT_GT(health.r, health.b + 60) << "health is red";
    EXPECT_GT(shield.b, shield.r + 60) << "the shield is blue";
    EXPECT_GT(fuel.r, fuel.b + 80) << "fuel is orange";
    EXPECT_GT(fuel.g, health.g) << "fuel is orange, not red";
}

TEST_F(InfobarTest, WeaponPanelShowsTheSonicChargeAsMarks)
{
    StartLevel(0, kPlayMode_Adventure, 1);
    gPlayers[0].currentWeapon = 3;
    gPlayers[0].weaponCharge = 0;
    WindowPixels uncharged = Shot("weapon-uncharged");
    gPlayers[0].weaponCharge = 1;
    WindowPixels charged = Shot("weapon-charged");
    // The read-out right of the icon: x 150 + 38.25 .. + 81, y 18.87 .. 36.
    Rgba before = uncharged.MeanOf(190, 20, 230, 35), after = charged.MeanOf(190, 20, 230, 35);
    EXPECT_GT(after.g + after.b, before.g + before.b + 60) << "nine teal marks should fill the read-out";

    gPlayers[0].currentWeapon = 0;
    gPlayers[0].ammo[0] = 7;
    WindowPixels seven = Shot("weapon-ammo-7");
    Rgba ones = seven.MeanOf(208, 20, 222, 35), hundreds = seven.MeanOf(189, 20, 203, 35);
    EXPECT_GT(Luma(ones), 70) << "the ones digit shows";
    EXPECT_GT(Luma(hundreds), 50) << "leading zeros show too";

    // The reticle over the first aim point, 3000 units along the camera's view (the chase camera
    // may still be swinging in behind the player).
    gPrefs.showCrosshair = 1;
    const CameraPlacement& camera = gGameViewInfoPtr->cameras[0];
    Vector3D view;
    Normalize3XYZ(camera.target.x - camera.eye.x, camera.target.y - camera.eye.y,
                  camera.target.z - camera.eye.z, &view);
    Point3D& aim = gPlayers[0].aimPoints[0];
    aim = {camera.eye.x + view.x * 3000, camera.eye.y + view.y * 3000, camera.eye.z + view.z * 3000};
    gPlayers[0].aimPoints[1] = aim;
    Point3D screen;
    TransformPointProjective(&aim, &gWorldToScreenMatrix[0], &screen);
    int x = int(screen.x), y = int(screen.y);
    ASSERT_TRUE(x > 20 && x < 620 && y > 20 && y < 460) << "the aim point is off the pane";
    WindowPixels reticle = Shot("reticle");
    WindowPixels none = ShotWithoutHud();
    EXPECT_GT(Difference(reticle.MeanOf(x - 6, y - 6, x + 6, y + 6), none.MeanOf(x - 6, y - 6, x + 6, y + 6)),
              30)
        << "the reticle at (" << x << ", " << y << ")";
    gPlayers[0].currentWeapon = 4;
    WindowPixels bomb = Shot("reticle-bomb");
    EXPECT_LT(PixelDifference(bomb, none, x - 6, y - 6, x + 6, y + 6), 6) << "no reticle with the bomb";
}

struct LayoutCase
{
    const char* name;
    int width, height, panes, split, hudScale, fixedLayout;
    int level = -1; // -1: level1 with one pane, battle1 with two
    int16_t mode = kPlayMode_Battle;
};

class InfobarLayoutTest : public InfobarTest, public ::testing::WithParamInterface<LayoutCase>
{
};

// The health gauge sits 21.5 units in from the pane's top-left corner (or the 4:3 box's), the map
// 55 and 48 units in from its bottom-right, in every pane; between them the world shows untouched.
TEST_P(InfobarLayoutTest, HudHangsOnEachPanesEdges)
{
    const LayoutCase& c = GetParam();
    Resize(c.width, c.height);
    gPrefs.hudScale = uint8_t(c.hudScale);
    gPrefs.hudFixedLayout = uint8_t(c.fixedLayout);
    if (c.level >= 0)
        StartLevel(c.level, c.mode, c.panes, c.split);
    else
        StartLevel(c.panes == 1 ? 0 : 5, c.panes == 1 ? kPlayMode_Adventure : kPlayMode_Battle, c.panes,
                   c.split);
    for (int player = 0; player < c.panes; player++)
        SetGauges(player, 1);
    WindowPixels shot = Shot(c.name);
    WindowPixels bare = ShotWithoutHud();

    float scale = float(c.hudScale) / 100;
    for (int pane = 0; pane < c.panes; pane++) {
        SCOPED_TRACE("pane " + std::to_string(pane));
        PaneMapping m = MapPane(pane, scale);
        float k = m.pixelsPerUnit;
        float left = c.fixedLayout ? m.originX : m.x0, top = c.fixedLayout ? m.originY : m.y0;
        float right = c.fixedLayout ? m.originX + 640 / scale * k : m.x0 + m.width;
        float bottom = c.fixedLayout ? m.originY + 480 / scale * k : m.y0 + m.height;

        int gx = int(left + 21.5f * k), gy = int(top + 21.5f * k), r = std::max(2, int(5 * k));
        Rgba gauge = shot.MeanOf(gx - r, gy, gx + r, gy + r);
        EXPECT_GT(gauge.r, gauge.b + 50) << "the full health gauge at (" << gx << ", " << gy << ")";

        int mx = int(right - 55 * k), my = int(bottom - 48 * k), mr = int(20 * k);
        EXPECT_GT(PixelDifference(shot, bare, mx - mr, my - mr, mx + mr, my + mr), 30)
            << "the mini-map at (" << mx << ", " << my << ")";

        // Right of the gauges and below the weapon panel, left of the map: only the world.
        int wx = int(m.x0 + m.width * 0.4f), wy = int(m.y0 + m.height * 0.6f);
        EXPECT_LT(PixelDifference(shot, bare, wx - 4, wy - 4, wx + 4, wy + 4), 6)
            << "nothing of the HUD at (" << wx << ", " << wy << ")";
    }

    if (c.panes == 2) {
        // The divider: a dark bar between the panes.
        Rgba bar = c.split == 1 ? shot.MeanOf(0, c.height / 2 - 1, c.width, c.height / 2 + 1)
                                : shot.MeanOf(c.width / 2 - 1, 0, c.width / 2 + 1, c.height);
        EXPECT_LT(Luma(bar), 25) << "the split-screen divider";
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, InfobarLayoutTest,
                         ::testing::Values(LayoutCase{"adventure-4x3", 640, 480, 1, 1, 100, 0},
                                           LayoutCase{"adventure-16x9", 854, 480, 1, 1, 100, 0},
                                           LayoutCase{"adventure-16x9-fixed", 854, 480, 1, 1, 100, 1},
                                           LayoutCase{"adventure-4x3-scale50", 640, 480, 1, 1, 50, 0},
                                           LayoutCase{"battle-stacked-4x3", 640, 480, 2, 1, 100, 0},
                                           LayoutCase{"battle-side-4x3", 640, 480, 2, 2, 100, 0},
                                           LayoutCase{"battle-stacked-16x9", 854, 480, 2, 1, 100, 0},
                                           LayoutCase{"battle-side-16x9", 854, 480, 2, 2, 100, 0},
                                           LayoutCase{"race-side-16x9", 854, 480, 2, 2, 100, 0, 4,
                                                      kPlayMode_Race},
                                           LayoutCase{"capture-stacked-16x9", 854, 480, 2, 1, 100, 0, 8,
                                                      kPlayMode_CaptureTheFlag}),
                         [](const ::testing::TestParamInfo<LayoutCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (ch == '-')
                                     ch = '_';
                             return name;
                         });

// Finds the centre of the rival's red dot inside the pane-0 mini-map; false when there is none.
bool FindRivalDot(const WindowPixels& shot, int cx, int cy, int radius, float* dx, float* dy)
{
    float sx = 0, sy = 0;
    int count = 0;
    for (int y = cy - radius; y <= cy + radius; y++)
        for (int x = cx - radius; x <= cx + radius; x++) {
            Rgba p = shot.At(x, y);
            if (p.r > 170 && p.r > p.g + 70 && p.r > p.b + 70) {
                sx += float(x - cx);
                sy += float(y - cy);
                count++;
            }
        }
    if (count < 3)
        return false;
    *dx = sx / float(count);
    *dy = sy / float(count);
    return true;
}

TEST_F(InfobarTest, MiniMapTurnsSoThatWhatLiesAheadIsUp)
{
    StartLevel(5, kPlayMode_Battle, 2, 2); // side by side: each pane 320 x 480
    PaneMapping m = MapPane(0, 1);
    int cx = int(m.x0 + m.width - 55 * m.pixelsPerUnit), cy = int(m.y0 + m.height - 48 * m.pixelsPerUnit);
    ObjNode* self = gPlayers[0].objNode;
    ObjNode* rival = gPlayers[1].objNode;
    ASSERT_TRUE(self && rival);

    // The rival 4000 units from player 0 (half the map's radius on this arena): ahead, then to its
    // right, for two headings.
    for (float heading : {0.0f, 2.2f}) {
        self->Rotation.y = heading;
        RebuildNodeTransform(self);
        float ahead[2] = {-std::sin(heading), -std::cos(heading)};
        float right[2] = {std::cos(heading), -std::sin(heading)};
        for (int where = 0; where < 2; where++) {
            const float* d = where == 0 ? ahead : right;
            gPlayers[1].coord = {gPlayers[0].coord.x + d[0] * 4000, gPlayers[0].coord.y,
                                 gPlayers[0].coord.z + d[1] * 4000};
            WindowPixels shot =
                Shot("map-heading" + std::to_string(int(heading * 10)) + (where == 0 ? "-ahead" : "-right"));
            float dx, dy;
            SCOPED_TRACE("heading " + std::to_string(heading) + (where == 0 ? ", ahead" : ", right"));
            ASSERT_TRUE(FindRivalDot(shot, cx, cy, int(30 * m.pixelsPerUnit), &dx, &dy)) << "no rival dot";
            if (where == 0) {
                EXPECT_LT(dy, -3) << "ahead shows above the centre";
                EXPECT_NEAR(dx, 0, 3);
            } else {
                EXPECT_GT(dx, 3) << "to the right shows right of the centre";
                EXPECT_NEAR(dy, 0, 3);
            }
        }
    }
}

TEST_F(InfobarTest, RaceShowsCountdownThenWrongWayOnlyForThePlayerGoingBack)
{
    StartLevel(3, kPlayMode_Race, 2, 1); // stacked: each pane 640 x 240, the HUD at half size
    gRaceStartTimer = 0.5f;              // "SET" until the start
    WindowPixels countdown = Shot("race-countdown");
    WindowPixels bare = ShotWithoutHud();
    // The countdown 157.5 units above the bottom of pane 0 (480 units high, 240 pixels).
    EXPECT_GT(Difference(countdown.MeanOf(290, 155, 350, 168), bare.MeanOf(290, 155, 350, 168)), 40)
        << "the countdown over pane 0";

    // Player 0 turns round and flies back the way it came.
    gRaceStartTimer = -5;
    ObjNode* node = gPlayers[0].objNode;
    node->Rotation.y += PI;
    node->Velocity = {-node->Velocity.x, node->Velocity.y, -node->Velocity.z};
    Play(20);
    ASSERT_TRUE(gPlayers[0].wrongWay) << "the turn should be a wrong way";
    ASSERT_FALSE(gPlayers[1].wrongWay);
    WindowPixels wrong = Shot("race-wrong-way");
    Rgba sign0 = wrong.MeanOf(310, 115, 330, 125), sign1 = wrong.MeanOf(310, 355, 330, 365);
    EXPECT_GT(sign0.r, sign0.g + 60) << "the red wrong-way sign in the middle of pane 0";
    EXPECT_LT(sign1.r, sign1.g + 60) << "no sign for player 1";

    // Lap under the gauges and place in the top-right corner, gold on ink, in both panes.
    WindowPixels quiet = ShotWithoutHud();
    for (int pane = 0; pane < 2; pane++) {
        int y0 = pane * 240;
        EXPECT_GT(Difference(wrong.MeanOf(2, y0 + 24, 28, y0 + 32), quiet.MeanOf(2, y0 + 24, 28, y0 + 32)),
                  40)
            << "the lap in pane " << pane;
        EXPECT_GT(
            Difference(wrong.MeanOf(612, y0 + 3, 636, y0 + 12), quiet.MeanOf(612, y0 + 3, 636, y0 + 12)), 40)
            << "the place in pane " << pane;
    }
}

TEST_F(InfobarTest, F9InPaneZeroHidesBothPanesUntilPressedAgain)
{
    StartLevel(5, kPlayMode_Battle, 2, 1);
    SetGauges(0, 1);
    SetGauges(1, 1);
    auto redGauges = [](const WindowPixels& shot) {
        Rgba top = shot.MeanOf(8, 10, 14, 14), bottom = shot.MeanOf(8, 250, 14, 254);
        return int(top.r > top.b + 40) + int(bottom.r > bottom.b + 40);
    };
    EXPECT_EQ(redGauges(Shot("f9-before")), 2);

    PushKey(SDL_SCANCODE_F9, true);
    Play(1);
    PushKey(SDL_SCANCODE_F9, false);
    Play(1);
    EXPECT_TRUE(gHudHidden);
    EXPECT_EQ(redGauges(Shot("f9-hidden")), 0) << "both panes lose their HUD";
    Play(30);
    EXPECT_TRUE(gHudHidden) << "it stays hidden";

    PushKey(SDL_SCANCODE_F9, true);
    Play(1);
    PushKey(SDL_SCANCODE_F9, false);
    Play(1);
    EXPECT_FALSE(gHudHidden);
    EXPECT_EQ(redGauges(Shot("f9-after")), 2);
}

TEST_F(InfobarTest, LensFlareShowsOnlyWhileLookingTowardTheSun)
{
    StartLevel(0, kPlayMode_Adventure, 1);
    const Vector3D light = gGameViewInfoPtr->lightDirection[0];
    Point3D eye = gPlayers[0].coord;
    eye.y += 400;
    auto lookAlong = [&](float sign) {
        Point3D target = {eye.x + sign * light.x * 1000, eye.y + sign * light.y * 1000,
                          eye.z + sign * light.z * 1000};
        OGL_UpdateCameraFromTo(&eye, &target, 0);
    };

    lookAlong(-1); // into the sun
    WindowPixels flare = Shot("lens-flare");
    gLensFlareOn = false;
    WindowPixels noFlare = Redraw();
    gLensFlareOn = true;
    EXPECT_GT(Luma(flare.MeanOf(280, 200, 360, 280)), Luma(noFlare.MeanOf(280, 200, 360, 280)) + 20)
        << "the sun's glow at the centre";

    lookAlong(1); // the sun behind
    WindowPixels away = Redraw();
    gLensFlareOn = false;
    WindowPixels awayNoFlare = Redraw();
    gLensFlareOn = true;
    EXPECT_LT(Difference(away.MeanOf(200, 150, 440, 330), awayNoFlare.MeanOf(200, 150, 440, 330)), 3)
        << "no flare with the sun behind the camera";
}

TEST_F(InfobarTest, EggColumnsFillWithDeliveredEggsAndTheNewestFlashes)
{
    StartLevel(0, kPlayMode_Adventure, 1);
    static const int inLevel[NUM_EGG_COLOURS] = {0, 0, 3, 0, 1};
    static const int delivered[NUM_EGG_COLOURS] = {0, 0, 2, 0, 1};
    SetEggFlash(2);
    WindowPixels shot = DrawSceneAndCapture([] {
        DrawLevel();
        if (gCurrentPane != 0)
            return;
        OGL_PushState();
        SetOverlayProjection(0, 1);
        DrawEggColumns(inLevel, delivered);
        OGL_PopState();
        gMaterialFlagsOverride = 0;
    });
    KeepScreenshot(shot, "eggs");
    // Colour 2 (green) in the first column at x 558..572, over the sky: two filled slots, then an
    // empty one; colour 4 (purple) in the second column, its one egg delivered.
    Rgba first = shot.MeanOf(562, 3, 568, 10), second = shot.MeanOf(562, 17, 568, 24);
    Rgba empty = shot.MeanOf(562, 31, 568, 38), purple = shot.MeanOf(576, 3, 582, 10);
    EXPECT_GT(first.g, first.b + 30) << "a delivered green egg";
    EXPECT_GT(second.g, second.b + 30) << "a second delivered green egg";
    EXPECT_LT(empty.g, empty.b) << "the third slot is empty: the sky shows through";
    EXPECT_GT(purple.b, purple.g + 40) << "the purple egg in the next column";
    EXPECT_GT(purple.r, purple.g + 20);
}

TEST_F(InfobarTest, LivesMessageStaysTwoSecondsAndWaitsWhilePaused)
{
    StartLevel(0, kPlayMode_Adventure, 1);
    auto popUps = [] { // the sprites of the pop-up slot (ground rings and orb beams share the slot)
        int n = 0;
        for (ObjNode* node = gObjectListHead; node; node = node->NextInList)
            n += node->Slot == 3100 && node->Genre == SPRITE_GENRE && node->CType != INVALID_NODE_FLAG;
        return n;
    };
    for (int frame = 0; frame < 600 && popUps() > 0; frame++)
        Play(1); // the level's own opening messages go first
    ASSERT_EQ(popUps(), 0);
    gPlayers[0].lives = 0;
    ShowLivesMessage(0);
    EXPECT_EQ(popUps(), 0) << "no message without lives";

    gPlayers[0].lives = 1;
    ShowLivesMessage(0);
    EXPECT_EQ(popUps(), 1);
    Shot("lives-message");
    Play(60);
    gPaused = true; // the move passes of the pause menu's frames
    for (int frame = 0; frame < 120; frame++)
        MoveObjects();
    gPaused = false;
    EXPECT_EQ(popUps(), 1) << "paused frames do not count";
    Play(70);
    EXPECT_EQ(popUps(), 0) << "gone after two seconds of play";
}

TEST_F(InfobarTest, ASpriteOutsideTheGroupIsFatal)
{
    std::string message = FatalAlertMessageOf([] { DrawInfobarSprite(0, 0, 10, NUM_HUD_SPRITES); });
    EXPECT_NE(message.find("gNumSpritesInGroupList[SPRITE_GROUP_INFOBAR] > texNum"), std::string::npos)
        << message;
    EXPECT_NE(FatalAlertMessageOf([] { DrawInfobarSpriteCentered(0, 0, 10, -1); }), "");
}

TEST(OverlayRect, WidePaneWidensTheOverlayAndHalfScaleDoublesIt)
{
    int savedWidth = gWindowWidth, savedHeight = gWindowHeight;
    GameViewInfo* savedView = gGameViewInfoPtr;
    int savedSplit = gSplitScreenMode;
    gGameViewInfoPtr = nullptr;
    gSplitScreenMode = 0;
    gWindowWidth = 1920;
    gWindowHeight = 1080;
    float top, bottom, left, right;
    GetOverlayRect(0, 1, &top, &bottom, &left, &right);
    EXPECT_NEAR(left, -106.67f, 0.01f);
    EXPECT_NEAR(right, 746.67f, 0.01f);
    EXPECT_NEAR(top, 0, 0.001f);
    EXPECT_NEAR(bottom, 480, 0.001f);
    EXPECT_NEAR(left + 21.5f, -85.17f, 0.01f) << "where the health gauge hangs";

    gWindowWidth = 1280;
    gWindowHeight = 960;
    GetOverlayRect(0, 0.5f, &top, &bottom, &left, &right);
    EXPECT_NEAR(right - left, 1280, 0.01f);
    EXPECT_NEAR(bottom - top, 960, 0.01f);

    gWindowWidth = savedWidth;
    gWindowHeight = savedHeight;
    gGameViewInfoPtr = savedView;
    gSplitScreenMode = savedSplit;
}

} // namespace
