// Raptors, brachs and ramphors played on the generated levels at a fixed frame time of 1/60 s: the
// chase and the pounce, body contact against shield and health, stun and recovery, item re-arming,
// the enemy limits, easy mode and the ramphor's patrol; and each kind drawn in its level.
// Set QUORVEL_SCREENSHOTS to a folder to keep the pictures (enemy-<kind>.png).

#include "3D/OGL_Support.h"
#include "DataForge/Writers/ImageWriter.h"
#include "Gameplay/Camera.h"
#include "Gameplay/Enemies.h"
#include "Gameplay/Player.h"
#include "Objects/ObjNode.h"
#include "Skeleton/Skeleton.h"
#include "Support/AlertCapture.h"
#include "Support/TempFolder.h"
#include "Support/TestWindow.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/Level.h"
#include "System/LevelHarness.h"
#include "System/Prefs.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/SplineObjects.h"
#include "Terrain/Water.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>

namespace {

constexpr float kStep = 1.0f / 60.0f;
constexpr int kLevelForest = 0, kLevelDesert = 1, kLevelSwamp = 2;

int AnimOf(const ObjNode* node)
{
    return node->Skeleton->animNum;
}

class EnemyTest : public WindowTest
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
            HarnessFinishGame();
            Tarnet::Shutdown();
        }
        inBuildFolder.reset();
        WindowTest::TearDown();
    }

    // The level with the player parked over open ground near its start, and the world around cleared
    // of scenery and enemies, so that only what a test makes is there.
    void StartLevelAtOpenGround(int levelIndex)
    {
        gPlayMode = kPlayMode_Adventure;
        InitPlayerRecords(false);
        gFixedFrameSeconds = kStep;
        HarnessStartLevel(levelIndex, kPlayMode_Adventure, 1, 1);
        levelRunning = true;
        ASSERT_TRUE(FindOpenGround(&spot));
        HoverPlayerAt(spot.x, spot.z, 120);
        Play(3); // the window settles around the spot and adds its items
        ClearWorldNear(spot, 7000);
    }

    void Play(int frames, const std::function<void()>& eachFrame = {})
    {
        for (int frame = 0; frame < frames; frame++) {
            PlayLevelFrame();
            if (eachFrame)
                eachFrame();
        }
    }

    // Flat dry ground in rings around the player start.
    static bool FindOpenGround(Point3D* out)
    {
        const PlayerStartType& start = gPlayerStarts[0];
        for (int ring = 4; ring < 60; ring++) {
            for (int step = 0; step < 16; step++) {
                float angle = float(step) * PI2 / 16;
                float x = float(start.x) + std::sin(angle) * float(ring) * 250;
                float z = float(start.z) + std::cos(angle) * float(ring) * 250;
                Vector3D normal;
                GetTerrainNormalAt(x, z, &normal);
                if (normal.y > 0.99f && !IsPointOverWater(x, z)) {
                    *out = {x, TerrainHeightAt(x, z), z};
                    return true;
                }
            }
        }
        return false;
    }

    // The player held still `height` above the ground, facing -z: a target that does not fly off.
    static void HoverPlayerAt(float x, float z, float height)
    {
        ObjNode* player = gPlayers[0].objNode;
        for (ObjNode* part = player; part; part = part->ChainNext)
            part->StatusFlags |= NODEBIT_FROZEN;
        player->Position = {x, TerrainHeightAt(x, z) + height, z};
        player->Rotation = {0, 0, 0};
        player->Velocity = {0, 0, 0};
        SetSkeletonAnim(player->Skeleton, PLAYER_ANIM_FLY);
        RebuildNodeTransform(player);
        gPlayers[0].coord = player->Position;
        gPlayers[0].invincibleTimer = 0;
        gPlayers[0].shieldTimer = 0;
        ResetCamera(0);
    }

    // Scenery and patrols near `where` and every counted enemy go for good (their items stay marked as
    // added).
    static void ClearWorldNear(const Point3D& where, float radius)
    {
        for (ObjNode* node = gObjectListHead; node;) {
            ObjNode* next = node->NextInList;
            float dx = node->Position.x - where.x, dz = node->Position.z - where.z;
            bool isEnemy = node->Genre == SKELETON_GENRE && node->ArtIndex != SKELETON_TYPE_PLAYER &&
                           node->ArtIndex != SKELETON_TYPE_WORMHOLE;
            bool near = dx * dx + dz * dz < radius * radius;
            bool onPath = (node->StatusFlags & NODEBIT_SPLINE_DRIVEN) != 0;
            if (node->Slot < SLOT_OF_FIRST_NON_WORLD &&
                ((isEnemy && (near || !onPath)) || (node->TerrainItem && near))) {
                node->TerrainItem = nullptr;
                if (isEnemy)
                    DeleteEnemy(node);
                else
                    DisposeObject(node);
            }
            node = next;
        }
    }

    static ObjNode* CountedRaptorAt(float x, float z)
    {
        ObjNode* raptor = MakeRaptor(x, z, RAPTOR_ANIM_RUN);
        CountEnemy(ENEMY_KIND_RAPTOR);
        return raptor;
    }

    static void HitWith(ObjNode* enemy, float damage)
    {
        ObjNode weapon = {};
        weapon.Damage = damage;
        ASSERT_NE(enemy->WeaponHitProc, nullptr);
        enemy->WeaponHitProc(&weapon, enemy, &enemy->Position, nullptr);
    }

    std::unique_ptr<TempFolder> configFolder;
    std::unique_ptr<ScopedWorkingDirectory> inBuildFolder;
    bool levelRunning = false;
    Point3D spot = {};
};

TEST_F(EnemyTest, ARaptorLiesInWaitThenChasesPouncesOnAndHurtsAHoveringPlayer)
{
    StartLevelAtOpenGround(kLevelForest);
    HoverPlayerAt(spot.x, spot.z, 400); // low enough to be leapt at: a pounce peaks about 520 up
    ObjNode* raptor = CountedRaptorAt(spot.x + 1800, spot.z + 900);
    bool attacked = false, pounced = false;
    int framesToHurt = -1;
    for (int frame = 0; frame < 1200 && framesToHurt < 0; frame++) {
        Play(1);
        attacked |= raptor->Phase == RAPTOR_MODE_ATTACK;
        pounced |= AnimOf(raptor) == RAPTOR_ANIM_POUNCE;
        if (gPlayers[0].health < 1.0f)
            framesToHurt = frame;
    }
    EXPECT_TRUE(attacked) << "it reached its ambush point and turned on the player";
    EXPECT_TRUE(pounced);
    ASSERT_GE(framesToHurt, 0) << "the pounce never struck the player";
    EXPECT_NEAR(gPlayers[0].health, 1.0f - 0.4f, 1e-5f) << "one raptor's damage";
    EXPECT_FLOAT_EQ(gPlayers[0].invincibleTimer, 1.0f) << "a second's grace after the hit";
    EXPECT_NEAR(raptor->Health, 0.7f - 0.3f, 1e-5f) << "the pounce that lands costs the raptor 0.3";
    EXPECT_EQ(AnimOf(raptor), RAPTOR_ANIM_STUNNED);
}

// The player flies level, from 500 in front, through a raptor standing still at mid height.
static void FlyPlayerThrough(ObjNode* raptor)
{
    ObjNode* player = gPlayers[0].objNode;
    for (ObjNode* part = player; part; part = part->ChainNext)
        part->StatusFlags &= ~NODEBIT_FROZEN;
    float midY = raptor->Position.y + (raptor->ModelBounds.minY + raptor->ModelBounds.maxY) / 2;
    player->Position = {raptor->Position.x, midY, raptor->Position.z + 500};
    player->OldPosition = player->Position;
    player->Rotation = {0, 0, 0};
    player->Speed = 900;
    player->Velocity = {0, 0, -900};
    gSpeedCap[0] = gSpeedCapTarget[0] = 900;
    SetSkeletonAnim(player->Skeleton, PLAYER_ANIM_FLY);
    RebuildNodeTransform(player);
    gPlayers[0].invincibleTimer = 0;
}

TEST_F(EnemyTest, BodyContactDrainsAShieldFirstAndAStunnedRaptorStillHurtsButLosesNothing)
{
    StartLevelAtOpenGround(kLevelForest);
    ObjNode* raptor = CountedRaptorAt(spot.x, spot.z);
    raptor->StatusFlags |= NODEBIT_FROZEN; // stands where it is

    gPlayers[0].shieldTimer = 3;
    FlyPlayerThrough(raptor);
    Play(50);
    EXPECT_FLOAT_EQ(gPlayers[0].health, 1.0f) << "the shield takes the blow";
    EXPECT_NEAR(gPlayers[0].shieldTimer, 3.0f - 3 * 0.4f, 1e-5f) << "three times the raptor's damage";
    EXPECT_NEAR(raptor->Health, 0.2f, 1e-5f) << "the body blow costs the raptor 0.5";
    EXPECT_EQ(AnimOf(raptor), RAPTOR_ANIM_STUNNED);

    gPlayers[0].shieldTimer = 0;
    FlyPlayerThrough(raptor);
    Play(50);
    EXPECT_NEAR(gPlayers[0].health, 0.6f, 1e-5f) << "without a shield the player is hurt";
    EXPECT_NEAR(raptor->Health, 0.2f, 1e-5f) << "a stunned raptor loses nothing to the touch";
}

TEST_F(EnemyTest, AStunnedRaptorRecoversAfterFiveSecondsAndAKilledSplineRaptorIsCountedDead)
{
    StartLevelAtOpenGround(kLevelForest);
    ObjNode* raptor = CountedRaptorAt(spot.x + 1500, spot.z);
    Play(2);
    HitWith(raptor, 0.3f);
    EXPECT_EQ(AnimOf(raptor), RAPTOR_ANIM_STUNNED);
    Play(int(4.9f / kStep));
    EXPECT_EQ(AnimOf(raptor), RAPTOR_ANIM_STUNNED) << "still stunned at 4.9 s";
    Play(int(0.2f / kStep));
    EXPECT_NE(AnimOf(raptor), RAPTOR_ANIM_STUNNED) << "up again after 5 s";
    EXPECT_NEAR(raptor->Health, 0.4f, 1e-5f);

    HitWith(raptor, 1.0f);
    EXPECT_EQ(AnimOf(raptor), RAPTOR_ANIM_DEAD);
    EXPECT_EQ(raptor->WeaponHitProc, nullptr) << "the dead are not shot again";
    EXPECT_EQ(raptor->CType & CTYPE_AIMABLE, 0u) << "nor aimed at";

    ObjNode* onSpline = nullptr;
    for (int i = 0; i < gNumSplineObjects && !onSpline; i++) {
        ObjNode* node = gSplineObjects[i];
        if (node && node->Genre == SKELETON_GENRE && node->ArtIndex == SKELETON_TYPE_RAPTOR)
            onSpline = node;
    }
    ASSERT_NE(onSpline, nullptr) << "level1 has raptors on patrol paths";
    int counted = gNumEnemies;
    HitWith(onSpline, 1.0f);
    EXPECT_FALSE(onSpline->StatusFlags & NODEBIT_SPLINE_DRIVEN);
    EXPECT_EQ(onSpline->MoveProc, MoveRaptor);
    EXPECT_EQ(AnimOf(onSpline), RAPTOR_ANIM_DEAD);
    EXPECT_EQ(gNumEnemies, counted + 1) << "off its path it counts";
}

TEST_F(EnemyTest, AGrazingBrachPlaysAnIdleNowAndThenAndTakesTwoGoodHitsToKill)
{
    StartLevelAtOpenGround(kLevelDesert);
    ObjNode* brach = MakeBrach(spot.x + 1500, spot.z, BRACH_ANIM_GRAZE);
    CountEnemy(ENEMY_KIND_BRACH);
    const Point3D home = brach->Position;
    brach->FloatSlots[ENEMY_SLOT_TIMER] = 0.5f;
    Play(int(0.4f / kStep));
    EXPECT_EQ(AnimOf(brach), BRACH_ANIM_GRAZE);
    Play(int(0.2f / kStep));
    int idle = AnimOf(brach);
    EXPECT_TRUE(idle == BRACH_ANIM_LOOK || idle == BRACH_ANIM_SWISH) << "anim " << idle;
    bool grazing = false;
    for (int frame = 0; frame < 900 && !grazing; frame++) {
        Play(1);
        grazing = AnimOf(brach) == BRACH_ANIM_GRAZE;
    }
    EXPECT_TRUE(grazing) << "the idle ends in grazing";
    EXPECT_NEAR(brach->Position.x, home.x, 1.0f) << "a grazing brach stays where it is";
    EXPECT_NEAR(brach->Position.z, home.z, 1.0f);

    HitWith(brach, 0.5f);
    EXPECT_NEAR(brach->Health, 0.6f, 1e-5f);
    EXPECT_NE(AnimOf(brach), BRACH_ANIM_DEAD);
    HitWith(brach, 0.6f);
    EXPECT_EQ(AnimOf(brach), BRACH_ANIM_DEAD);
    EXPECT_EQ(brach->WeaponHitProc, nullptr);
}

TEST_F(EnemyTest, ARaptorLeftBehindComesBackWhenItsGroundIsScannedAgainButAKilledOneDoesNot)
{
    StartLevelAtOpenGround(kLevelForest);
    gMaxEnemies = 100; // the far side's enemies must not take the places this test needs
    MapItemType* item = nullptr;
    for (int i = 0; i < gNumMapItems && !item; i++) {
        if (gMapItems[i].type == 15)
            item = &gMapItems[i];
    }
    ASSERT_NE(item, nullptr);
    item->parm[3] |= 1;
    item->flags &= ~ITEM_FLAG_ADDED;

    auto findRaptorOf = [&]() -> ObjNode* {
        for (ObjNode* node = gObjectListHead; node; node = node->NextInList) {
            if (node->TerrainItem == item)
                return node;
        }
        return nullptr;
    };
    auto visit = [&](float x, float z) {
        HoverPlayerAt(x, z, 600);
        Play(30);
    };
    float nearX = float(item->x) + 300, nearZ = float(item->z) + 300;
    float farX = float(item->x) < gMapWidthUnits / 2 ? gMapWidthUnits - 500.0f : 500.0f;
    float farZ = float(item->z) < gMapDepthUnits / 2 ? gMapDepthUnits - 500.0f : 500.0f;

    visit(nearX, nearZ);
    ASSERT_NE(findRaptorOf(), nullptr) << "the raptor is made when its ground comes into view";
    visit(farX, farZ);
    EXPECT_EQ(findRaptorOf(), nullptr) << "out of range it is deleted";
    EXPECT_FALSE(item->flags & ITEM_FLAG_ADDED) << "and its item re-armed";
    visit(nearX, nearZ);
    ObjNode* raptor = findRaptorOf();
    ASSERT_NE(raptor, nullptr) << "back in range it is made again";

    HitWith(raptor, 1.0f);
    visit(farX, farZ);
    visit(nearX, nearZ);
    EXPECT_EQ(findRaptorOf(), nullptr) << "a killed raptor stays dead";
    EXPECT_TRUE(item->flags & ITEM_FLAG_ADDED) << "its item is spent";
}

TEST_F(EnemyTest, TheSeventeenthEnemyIsNotMadeAndKindLimitsGiveWayToParm3)
{
    StartLevelAtOpenGround(kLevelDesert);
    ASSERT_EQ(gNumEnemies, 0) << "the area was cleared";
    std::vector<MapItemType> items(20);
    auto add = [&](int i, uint16_t type, uint8_t parm3) {
        items[i] = {int32_t(spot.x) + i * 40, int32_t(spot.z), type, {0, 0, 0, parm3}, 0, spot.y};
        return gMapItemAddRoutines[type](&items[i], float(items[i].x), float(items[i].z));
    };
    for (int i = 0; i < 7; i++)
        EXPECT_TRUE(add(i, 15, 0));
    EXPECT_FALSE(add(7, 15, 0)) << "an eighth raptor waits";
    EXPECT_TRUE(add(7, 15, 1)) << "unless its item says to ignore the kind limit";
    for (int i = 8; i < 15; i++)
        EXPECT_TRUE(add(i, 26, 0));
    EXPECT_FALSE(add(15, 26, 0)) << "an eighth brach waits";
    EXPECT_TRUE(add(15, 26, 1));
    EXPECT_EQ(gNumEnemies, MAX_ENEMIES);
    EXPECT_FALSE(add(16, 26, 1)) << "the 17th enemy is not made";
    EXPECT_FALSE(add(16, 15, 1));
    EXPECT_EQ(gNumEnemies, MAX_ENEMIES);

    // One goes, and there is room again.
    ObjNode* brach = nullptr;
    for (ObjNode* node = gObjectListHead; node && !brach; node = node->NextInList) {
        if (node->TerrainItem == &items[15])
            brach = node;
    }
    ASSERT_NE(brach, nullptr);
    DeleteEnemy(brach);
    EXPECT_EQ(gNumEnemies, MAX_ENEMIES - 1);
    EXPECT_TRUE(add(16, 26, 1));

    // A count that would go negative is reported and repaired.
    ScopedAlertCapture alerts;
    gNumEnemiesOfKind[ENEMY_KIND_RAMPHOR] = 0;
    ObjNode* stray = MakeRaptor(spot.x, spot.z, RAPTOR_ANIM_RUN);
    stray->Variant = ENEMY_KIND_RAMPHOR;
    DeleteEnemy(stray);
    EXPECT_EQ(alerts.LastMessage(), "DeleteEnemy: < 0");
    EXPECT_EQ(gNumEnemiesOfKind[ENEMY_KIND_RAMPHOR], 0);
    ASSERT_EQ(alerts.Alerts().size(), 1u);
    EXPECT_FALSE(alerts.Alerts()[0].isFatal);

    // The items die with the test: their enemies must not hold on to them.
    for (ObjNode* node = gObjectListHead; node; node = node->NextInList) {
        if (node->TerrainItem >= items.data() && node->TerrainItem < items.data() + items.size())
            node->TerrainItem = nullptr;
    }
}

TEST_F(EnemyTest, EasyModeHasNoRaptorsAndTheirPounceAndTouchDoNoHarm)
{
    gPrefs.easyMode = 1;
    StartLevelAtOpenGround(kLevelForest);
    MapItemType item = {int32_t(spot.x), int32_t(spot.z), 15, {0, 0, 0, 1}, 0, spot.y};
    EXPECT_FALSE(AddRaptor(&item, spot.x, spot.z)) << "no map-item raptors in easy mode";
    EXPECT_EQ(gNumEnemiesOfKind[ENEMY_KIND_RAPTOR], 0);

    ObjNode* raptor = CountedRaptorAt(spot.x + 700, spot.z); // a spline raptor knocked off its path
    raptor->Phase = RAPTOR_MODE_ATTACK;
    bool pounced = false;
    Play(300, [&] { pounced |= AnimOf(raptor) == RAPTOR_ANIM_POUNCE; });
    EXPECT_FALSE(pounced);

    RaptorTouchesPlayer(raptor, gPlayers[0].objNode);
    EXPECT_FLOAT_EQ(gPlayers[0].health, 1.0f) << "the touch does no damage";
}

TEST_F(EnemyTest, ARamphorFollowsItsSplineAtItsHeightAndStrikesAPlayerInItsWay)
{
    StartLevelAtOpenGround(kLevelSwamp);
    ObjNode* ramphor = nullptr;
    for (int i = 0; i < gNumSplineObjects && !ramphor; i++) {
        ObjNode* node = gSplineObjects[i];
        if (node && node->Genre == SKELETON_GENRE && node->ArtIndex == SKELETON_TYPE_RAMPHOR)
            ramphor = node;
    }
    ASSERT_NE(ramphor, nullptr) << "level3 has ramphors on patrol";

    // Watch it from below without getting in its way.
    HoverPlayerAt(ramphor->Position.x + 1500, ramphor->Position.z, 100);
    Play(2);
    float startPos = ramphor->SplinePos;
    float base = ramphor->FloatSlots[ENEMY_SLOT_BASE_HEIGHT];
    float maxOffPath = 0, lowest = 1e9f, highest = -1e9f;
    Play(120, [&] {
        float x, z;
        SplinePoint(ramphor->SplineIndex, ramphor->SplinePos, &x, &z);
        maxOffPath = std::max(maxOffPath, std::hypot(ramphor->Position.x - x, ramphor->Position.z - z));
        lowest = std::min(lowest, ramphor->Position.y);
        highest = std::max(highest, ramphor->Position.y);
    });
    EXPECT_NE(ramphor->SplinePos, startPos) << "it moves along its path";
    EXPECT_LT(maxOffPath, 1.0f) << "and stays on it";
    EXPECT_GE(lowest, base - 270 - 0.5f);
    EXPECT_LE(highest, base + 270 + 0.5f);
    EXPECT_GT(highest - lowest, 50.0f) << "it rises and sinks";

    // A player hanging in its way is struck.
    for (int frame = 0; frame < 60 && gPlayers[0].health == 1.0f; frame++) {
        Point3D beak, talons;
        FindJointPosition(ramphor, 3, &beak);
        FindJointPosition(ramphor, 31, &talons);
        ObjNode* player = gPlayers[0].objNode;
        player->Position = {(beak.x + talons.x) / 2, (beak.y + talons.y) / 2, (beak.z + talons.z) / 2};
        RebuildNodeTransform(player);
        Play(1);
    }
    EXPECT_NEAR(gPlayers[0].health, 0.6f, 1e-5f) << "struck: the ramphor's damage";
    EXPECT_NEAR(ramphor->Health, 0.6f, 1e-5f) << "the strike costs it 0.2";
    EXPECT_EQ(AnimOf(ramphor), RAMPHOR_ANIM_HURT);

    HitWith(ramphor, 1.0f);
    EXPECT_EQ(AnimOf(ramphor), RAMPHOR_ANIM_FALL);
    EXPECT_EQ(gNumEnemiesOfKind[ENEMY_KIND_RAMPHOR], 1) << "falling, it counts";
    Play(240);
    EXPECT_EQ(gNumEnemiesOfKind[ENEMY_KIND_RAMPHOR], 0) << "it crashed and is gone";
}

// The generated levels: raptors in packs on the adventure maps, no enemies on the race courses.
TEST_F(EnemyTest, AdventureRaptorsComeInPacksAndRaceLevelsHoldNoEnemies)
{
    auto isEnemyItem = [](int type) { return type == 15 || type == 26; };
    gPlayMode = kPlayMode_Race;
    InitPlayerRecords(false);
    gFixedFrameSeconds = kStep;
    HarnessStartLevel(3, kPlayMode_Race, 2, 1);
    levelRunning = true;
    for (int i = 0; i < gNumMapItems; i++)
        EXPECT_FALSE(isEnemyItem(gMapItems[i].type)) << "race1 item " << i;
    for (int i = 0; i < gNumSplines; i++) {
        for (int j = 0; j < gSplines[i].numItems; j++) {
            int type = gSplines[i].items[j].type;
            EXPECT_FALSE(isEnemyItem(type) || type == 48) << "race1 spline " << i;
        }
    }
    HarnessEndLevel();
    levelRunning = false;

    StartLevelAtOpenGround(kLevelForest);
    int raptors = 0, inPacks = 0;
    for (int i = 0; i < gNumMapItems; i++) {
        const MapItemType& a = gMapItems[i];
        if (a.type != 15)
            continue;
        raptors++;
        for (int j = 0; j < gNumMapItems; j++) {
            const MapItemType& b = gMapItems[j];
            if (j != i && b.type == 15 && std::hypot(float(a.x - b.x), float(a.z - b.z)) < 900) {
                inPacks++;
                break;
            }
        }
    }
    EXPECT_GE(raptors, 10);
    EXPECT_GE(inPacks, raptors * 9 / 10) << "a raptor alone is rare";
}

// --- Pictures ---

void KeepScreenshot(const WindowPixels& pixels, const std::string& name)
{
    const char* folder = std::getenv("QUORVEL_SCREENSHOTS");
    if (!folder)
        return;
    Image image;
    image.width = pixels.width;
    image.height = pixels.height;
    image.pixels = pixels.rgba;
    WritePngFile(std::filesystem::path(folder) / ("enemy-" + name + ".png"), image);
}

// Draws the level from `from` toward `target` and returns what it showed.
WindowPixels DrawFromTo(const Point3D& from, const Point3D& target)
{
    OGL_UpdateCameraFromTo(&from, &target, 0);
    UpdateSuperTileWindows();
    DrawSceneAndCapture(DrawLevel);
    UpdateSuperTileWindows();
    return DrawSceneAndCapture(DrawLevel);
}

// Pixels of the middle of the picture that changed by more than 40 in some channel.
int ChangedInCentre(const WindowPixels& before, const WindowPixels& after)
{
    int changed = 0;
    for (int y = after.height / 4; y < after.height * 3 / 4; y++) {
        for (int x = after.width / 4; x < after.width * 3 / 4; x++) {
            Rgba p = after.At(x, y), q = before.At(x, y);
            if (std::abs(p.r - q.r) > 40 || std::abs(p.g - q.g) > 40 || std::abs(p.b - q.b) > 40)
                changed++;
        }
    }
    return changed;
}

struct PictureCase
{
    const char* name;
    int level;
    int kind;
    float distance, height; // of the camera from the creature
};

class EnemyPictureTest : public EnemyTest, public ::testing::WithParamInterface<PictureCase>
{
};

TEST_P(EnemyPictureTest, EachKindStandsOutInItsLevel)
{
    const PictureCase& c = GetParam();
    StartLevelAtOpenGround(c.level);
    Play(60); // past the fade-in
    for (ObjNode* part = gPlayers[0].objNode; part; part = part->ChainNext)
        part->StatusFlags |= NODEBIT_INVISIBLE;
    Point3D target = spot;
    target.y += c.kind == ENEMY_KIND_RAMPHOR ? 300 : 150;
    Point3D from = {spot.x, spot.y + c.height, spot.z + c.distance};
    WindowPixels before = DrawFromTo(from, target);

    ObjNode* enemy = nullptr;
    if (c.kind == ENEMY_KIND_RAPTOR) {
        enemy = MakeRaptor(spot.x, spot.z, RAPTOR_ANIM_RUN);
    } else if (c.kind == ENEMY_KIND_BRACH) {
        enemy = MakeBrach(spot.x, spot.z, BRACH_ANIM_WALK);
    } else {
        enemy =
            MakeEnemy(SKELETON_TYPE_RAMPHOR, RAMPHOR_ANIM_FLY, spot.x, spot.z, 2.2f, 0, nullptr, 0.8f, 0.9f);
        enemy->Position.y = target.y;
    }
    enemy->StatusFlags |= NODEBIT_FROZEN;
    enemy->Rotation.y = 1.2f; // a three-quarter view
    RebuildNodeTransform(enemy);
    HarnessPlayFrames(3, nullptr, nullptr);
    WindowPixels after = DrawFromTo(from, target);
    KeepScreenshot(after, c.name);

    int centre = (after.width / 2) * (after.height / 2);
    EXPECT_GT(ChangedInCentre(before, after), centre / 100) << "the creature fills part of the view";
    EXPECT_LT(ChangedInCentre(before, after), centre * 3 / 4) << "and not all of it";
}

INSTANTIATE_TEST_SUITE_P(Kinds, EnemyPictureTest,
                         ::testing::Values(PictureCase{"raptor", kLevelForest, ENEMY_KIND_RAPTOR, 550, 120},
                                           PictureCase{"brach", kLevelDesert, ENEMY_KIND_BRACH, 2000, 500},
                                           PictureCase{"ramphor", kLevelSwamp, ENEMY_KIND_RAMPHOR, 600, 150}),
                         [](const ::testing::TestParamInfo<PictureCase>& info) { return info.param.name; });

} // namespace
