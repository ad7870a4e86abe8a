// The flight model, damage, death and respawn and the chase camera, flown on the generated levels
// with scripted needs at a fixed frame time of 1/60 s.

#include "Gameplay/Camera.h"
#include "Gameplay/Player.h"
#include "Objects/ObjNode.h"
#include "Skeleton/Skeleton.h"
#include "Support/GameWindowTest.h"
#include "Support/TempFolder.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/Level.h"
#include "System/LevelHarness.h"
#include "System/Prefs.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/Water.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

namespace {

constexpr float kStep = 1.0f / 60.0f;

class PlayerFlightTest : public GameWindowTest
{
protected:
    void SetUp() override
    {
        GameWindowTest::SetUp();
        if (GameReady())
            SetNeedsScripted(true);
    }

    void TearDown() override
    {
        if (GameReady()) {
            if (levelRunning)
                HarnessEndLevel();
            SetNeedsScripted(false);
            gFixedFrameSeconds = 0;
        }
        GameWindowTest::TearDown();
    }

    void StartLevel(int levelIndex, int16_t playMode, int numPanes)
    {
        gPlayMode = playMode;
        InitPlayerRecords(false);
        gFixedFrameSeconds = kStep;
        HarnessStartLevel(levelIndex, playMode, numPanes, 1);
        levelRunning = true;
        if (playMode == kPlayMode_Race)
            gRaceStartTimer = 0; // steer from the first frame
        HarnessSkipArrival();
    }

    // Plays frames at the fixed step; `eachFrame` (may be empty) runs after each.
    void Play(int frames, const std::function<void()>& eachFrame = {})
    {
        for (int frame = 0; frame < frames; frame++) {
            PlayLevelFrame();
            if (eachFrame)
                eachFrame();
        }
    }

    // Puts player 0 high above the ground, level, at `speed`, facing along its heading.
    static void PlaceHigh(float speed)
    {
        ObjNode* node = gPlayers[0].objNode;
        node->Position.y = TerrainHeightAt(node->Position.x, node->Position.z) + 1000;
        node->Rotation = {0, node->Rotation.y, 0};
        node->Speed = speed;
        node->Velocity = {-std::sin(node->Rotation.y) * speed, 0, -std::cos(node->Rotation.y) * speed};
        gSpeedCap[0] = gSpeedCapTarget[0] = speed;
        RebuildNodeTransform(node);
    }

    bool levelRunning = false;
};

TEST_F(PlayerFlightTest, FullSteerRollsTo54DegreesTurnsAndBleedsSpeed)
{
    StartLevel(1, kPlayMode_Adventure, 1);
    PlaceHigh(900);
    SetScriptedNeedValue(0, kNeedRight, 1);
    Play(60); // 0.53 s to reach the roll limit
    ObjNode* node = gPlayers[0].objNode;
    EXPECT_NEAR(node->Rotation.z, -PLAYER_MAX_ROLL, 1e-5f) << "full right steer rolls to -54 degrees";

    float heading = node->Rotation.y;
    float speed = node->Speed;
    Play(30);
    float turnRate = (node->Rotation.y - heading) / (30 * kStep);
    EXPECT_NEAR(turnRate, -PLAYER_MAX_ROLL * 1.9f, 0.01f);
    float speedLoss = (speed - node->Speed) / (30 * kStep);
    EXPECT_NEAR(speedLoss, 94.25f, 3.0f) << "banking bleeds |roll| x 100 units/s at level pitch";
}

TEST_F(PlayerFlightTest, WithoutInputRollAndPitchSettleBackToLevel)
{
    StartLevel(1, kPlayMode_Adventure, 1);
    PlaceHigh(900);
    ObjNode* node = gPlayers[0].objNode;
    node->Rotation.z = 0.8f;
    node->Rotation.x = 0.5f;
    Play(1);
    EXPECT_NEAR(node->Rotation.x, 0.5f - 0.4f * kStep, 1e-4f)
        << "a 0.5 rad pitch starts settling at 0.4 rad/s";
    Play(59);
    EXPECT_NEAR(node->Rotation.x, 0.5f * std::exp(-0.8f), 0.01f);
    Play(90);
    EXPECT_FLOAT_EQ(node->Rotation.z, 0.0f) << "a 0.8 rad roll is level again within 2.5 s";
}

TEST_F(PlayerFlightTest, HoldingClimbNeverPassesTheCeiling)
{
    StartLevel(1, kPlayMode_Adventure, 1); // the second level: the ceiling is 2080 everywhere
    PlaceHigh(900);
    SetScriptedNeedValue(0, kNeedDown, 1); // pull back: climb
    SetScriptedNeedValue(0, kNeedBoost, 1);
    float highest = -1e9f;
    Play(900, [&] { highest = std::max(highest, gPlayers[0].coord.y); });
    EXPECT_LE(highest, PLAYER_CEILING);
    EXPECT_GT(highest, PLAYER_CEILING - 300) << "the climb reached the band below the ceiling";
    EXPECT_FALSE(gPlayerDead[0]);
}

// A spot of nearly flat ground near the start of the level.
static bool FindFlatGround(float* outX, float* outZ)
{
    const PlayerStartType& start = gPlayerStarts[0];
    for (int ring = 0; ring < 40; ring++) {
        for (int step = 0; step < 16; step++) {
            float angle = float(step) * PI2 / 16;
            float x = float(start.x) + std::sin(angle) * float(ring) * 200;
            float z = float(start.z) + std::cos(angle) * float(ring) * 200;
            Vector3D normal;
            GetTerrainNormalAt(x, z, &normal);
            if (normal.y > 0.995f && !IsPointOverWater(x, z)) {
                *outX = x;
                *outZ = z;
                return true;
            }
        }
    }
    return false;
}

// Player 0 just above flat ground, gliding down at `sinkRate` units/s along its heading.
static void GlideOnto(float x, float z, float sinkRate)
{
    ObjNode* node = gPlayers[0].objNode;
    float speed = 900;
    float pitch = std::asin(-sinkRate / speed);
    node->Rotation = {pitch, 0, 0};
    node->Speed = speed;
    node->Velocity = {0, -sinkRate, -std::cos(pitch) * speed};
    float ground = TerrainHeightAt(x, z);
    node->Position = {x, ground - node->CollisionOffsets.bottom + 1.0f, z};
    gPlayers[0].invincibleTimer = 0;
    RebuildNodeTransform(node);
}

TEST_F(PlayerFlightTest, GroundTouchesBounceAndOnlyHardOnesHurt)
{
    StartLevel(1, kPlayMode_Adventure, 1);
    float x, z;
    ASSERT_TRUE(FindFlatGround(&x, &z));

    GlideOnto(x, z, 150);
    Play(1);
    EXPECT_FLOAT_EQ(gPlayers[0].health, 1.0f) << "a touch at -150 only bounces";
    EXPECT_GT(gPlayers[0].objNode->Velocity.y, 0.0f);
    EXPECT_FALSE(gPlayerDead[0]);

    GlideOnto(x, z, 250);
    Play(1);
    EXPECT_NEAR(gPlayers[0].health, 1.0f - 0.1f * kStep, 1e-5f) << "a touch at -250 costs 0.1 x dt";
    EXPECT_NEAR(gPlayers[0].objNode->Velocity.y, 25.0f, 3.0f) << "the bounce keeps a tenth, upward";
    EXPECT_FALSE(gPlayerDead[0]);
}

TEST_F(PlayerFlightTest, DivingStraightIntoTheGroundKillsExceptInEasyMode)
{
    StartLevel(1, kPlayMode_Adventure, 1);
    float x, z;
    ASSERT_TRUE(FindFlatGround(&x, &z));

    gPrefs.easyMode = 1;
    GlideOnto(x, z, 850);
    Play(1);
    EXPECT_FALSE(gPlayerDead[0]) << "easy mode forgives flying into the ground";

    gPrefs.easyMode = 0;
    GlideOnto(x, z, 850);
    Play(1);
    EXPECT_TRUE(gPlayerDead[0]);
    EXPECT_TRUE(gPlayers[0].objNode->StatusFlags & NODEBIT_INVISIBLE) << "the crash explodes the player";
    EXPECT_FLOAT_EQ(gRespawnTimer[0], 3.0f - kStep);
}

// A point inside a patch of ooze (water types 2 to 10) of the level; false when it has none.
static bool FindOoze(float* outX, float* outZ)
{
    for (int patch = 0; patch < GetWaterPatchCount(); patch++) {
        BoundingBox bounds;
        GetWaterPatchGeometry(patch, &bounds);
        for (float x = bounds.minX; x <= bounds.maxX; x += 100) {
            for (float z = bounds.minZ; z <= bounds.maxZ; z += 100) {
                int type = WaterTypeAt(x, z);
                if (type >= FIRST_OOZE_WATER_TYPE && type <= LAST_OOZE_WATER_TYPE &&
                    WaterTypeAt(x, z - 400) == type) {
                    *outX = x;
                    *outZ = z;
                    return true;
                }
            }
        }
    }
    return false;
}

TEST_F(PlayerFlightTest, OozeBurnsAndLevelsThePlayerWithoutRipples)
{
    StartLevel(2, kPlayMode_Adventure, 1); // the swamp
    float x, z;
    ASSERT_TRUE(FindOoze(&x, &z)) << "the swamp has ooze";
    float surface = 0;
    ASSERT_TRUE(WaterHeightAt(x, z, &surface));

    ObjNode* node = gPlayers[0].objNode;
    node->Position = {x, surface - node->CollisionOffsets.bottom + 1.0f, z};
    node->Rotation = {-0.3f, 0, 0.5f}; // nose down, banked, heading -z along the ooze
    node->Speed = 300;
    node->Velocity = {0, -50, -300};
    gSpeedCap[0] = gSpeedCapTarget[0] = 300;
    gPlayers[0].invincibleTimer = 0;
    RebuildNodeTransform(node);
    int ripples = GetActiveRippleCount();

    Play(12); // a fifth of a second
    EXPECT_FLOAT_EQ(node->Rotation.z, 0.0f) << "the ooze levels the wings at 2 pi rad/s";
    EXPECT_FLOAT_EQ(node->Rotation.x, 0.0f) << "and lifts the lowered head";
    EXPECT_NEAR(gPlayers[0].health, 1.0f - 12 * kStep, 0.02f) << "it burns 1 health a second";
    EXPECT_EQ(GetActiveRippleCount(), ripples) << "ooze does not ripple";
    EXPECT_FALSE(gPlayerDead[0]);
}

TEST_F(PlayerFlightTest, ShieldAndInvincibilityBlockDamage)
{
    StartLevel(5, kPlayMode_Battle, 2);
    ObjNode shot = {};
    shot.Damage = 0.4f;

    gPlayers[0].invincibleTimer = 0.5f;
    EXPECT_FALSE(DamagePlayer(0, 0.5f, PLAYER_DEATH_FALL, nullptr, false));
    EXPECT_FLOAT_EQ(gPlayers[0].health, 1.0f) << "invincible";

    gPlayers[0].invincibleTimer = 0;
    gPlayers[0].shieldTimer = 3;
    shot.Variant = 0;
    PlayerHitByWeapon(&shot, gPlayers[0].objNode, nullptr, nullptr);
    EXPECT_FLOAT_EQ(gPlayers[0].health, 1.0f) << "the shield stops a stun shot";
    EXPECT_FLOAT_EQ(gPlayers[0].shieldTimer, 3.0f) << "and only the scream drains it";
    shot.Variant = 3;
    PlayerHitByWeapon(&shot, gPlayers[0].objNode, nullptr, nullptr);
    EXPECT_FLOAT_EQ(gPlayers[0].health, 1.0f);
    EXPECT_FLOAT_EQ(gPlayers[0].shieldTimer, 2.6f);

    gPlayers[0].shieldTimer = 0;
    PlayerHitByWeapon(&shot, gPlayers[0].objNode, nullptr, nullptr);
    EXPECT_FLOAT_EQ(gPlayers[0].health, 0.6f) << "without a shield the shot hurts";
}

TEST_F(PlayerFlightTest, AnExplodedPlayerRespawnsAfterThreeSecondsAtTheRespawnPoint)
{
    StartLevel(0, kPlayMode_Adventure, 1);
    gRespawnPoint[0] = {gPlayers[0].coord.x + 500, 0, gPlayers[0].coord.z};
    KillPlayer(0, PLAYER_DEATH_EXPLODE, nullptr);
    ASSERT_TRUE(gPlayerDead[0]);

    Play(int(3.0f / kStep)); // the timer runs out: still dead, the pane fades
    EXPECT_TRUE(gPlayerDead[0]);
    Play(int(0.3f / kStep));
    ASSERT_FALSE(gPlayerDead[0]);
    const PlayerRecord& record = gPlayers[0];
    EXPECT_EQ(record.lives, 2);
    EXPECT_FLOAT_EQ(record.health, 1.0f);
    EXPECT_NEAR(record.coord.x, gRespawnPoint[0].x, 200.0f);
    EXPECT_FALSE(record.objNode->StatusFlags & NODEBIT_INVISIBLE);
}

TEST_F(PlayerFlightTest, LivesRunOutPerMode)
{
    // Adventure: the last death loses the level.
    StartLevel(0, kPlayMode_Adventure, 1);
    gPlayers[0].lives = 0;
    KillPlayer(0, PLAYER_DEATH_EXPLODE, nullptr);
    EXPECT_FLOAT_EQ(gRespawnTimer[0], 6.0f) << "no lives: a longer wait";
    Play(int(6.3f / kStep));
    EXPECT_TRUE(gLevelLost);
    HarnessEndLevel();
    levelRunning = false;

    // Battle: out of lives stays out, and the match is decided.
    StartLevel(5, kPlayMode_Battle, 2);
    EXPECT_EQ(gPlayers[1].lives, 5);
    gPlayers[1].lives = 0;
    KillPlayer(1, PLAYER_DEATH_EXPLODE, nullptr);
    EXPECT_TRUE(gLevelEnding);
    Play(int(3.0f / kStep)); // the level ends 5 s after: still playing
    EXPECT_TRUE(gPlayerDead[1]);
    HarnessEndLevel();
    levelRunning = false;

    // Race: respawns never cost a life.
    StartLevel(3, kPlayMode_Race, 2);
    KillPlayer(0, PLAYER_DEATH_EXPLODE, nullptr);
    Play(int(3.3f / kStep));
    EXPECT_FALSE(gPlayerDead[0]);
    EXPECT_EQ(gPlayers[0].lives, 3);
}

TEST_F(PlayerFlightTest, TheChaseCameraStaysAboveTheGroundAndTheCameraNeedTogglesBack)
{
    StartLevel(0, kPlayMode_Adventure, 1);
    SetScriptedNeedValue(0, kNeedUp, 0.3f); // a slow dive toward the hills
    float lowestClearance = 1e9f;
    Play(300, [&] {
        const Point3D& from = gPlayers[0].cameraFrom;
        lowestClearance = std::min(lowestClearance, from.y - TerrainHeightAt(from.x, from.z));
    });
    EXPECT_GE(lowestClearance, 80.0f - 0.01f);

    SetScriptedNeedValue(0, kNeedUp, 0);
    SetScriptedNeedValue(0, kNeedCameraMode, 1);
    Play(1);
    EXPECT_EQ(gCameraMode[0], CAMERA_MODE_COCKPIT);
    EXPECT_TRUE(PointsEqual(&gPlayers[0].cameraFrom, &gPlayers[0].coord)) << "the cockpit is at the player";
    SetScriptedNeedValue(0, kNeedCameraMode, 0);
    Play(1);
    SetScriptedNeedValue(0, kNeedCameraMode, 1);
    Play(1);
    EXPECT_EQ(gCameraMode[0], CAMERA_MODE_CHASE);
}

TEST_F(PlayerFlightTest, AFallingDeathCirclesTheCameraAroundThePlayerAndLiftsIt)
{
    StartLevel(1, kPlayMode_Adventure, 1);
    PlaceHigh(900);
    Play(30);
    DamagePlayer(0, 2.0f, PLAYER_DEATH_FALL, nullptr, false);
    ASSERT_TRUE(gPlayerDead[0]);
    EXPECT_TRUE(gCameraOrbit[0]);
    EXPECT_EQ(gPlayers[0].objNode->Skeleton->animNum, PLAYER_ANIM_FALL);

    const Point3D before = gPlayers[0].cameraFrom;
    Play(30);
    const Point3D after = gPlayers[0].cameraFrom;
    EXPECT_NEAR(after.y - before.y, 100 * 30 * kStep, 1.0f) << "the orbit climbs at 100 units/s";
    EXPECT_NEAR(gRespawnTimer[0], 8 - 30 * kStep, 1e-4f) << "a fall waits 8 s unless the ground comes first";
}

} // namespace
