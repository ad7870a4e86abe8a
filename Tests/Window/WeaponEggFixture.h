// A level played with scripted needs at 1/60 s per frame, with helpers to put player 0 somewhere
// quiet and to make plain targets that record what hits them.
#pragma once

#include "3D/TQ3D.h"
#include "Gameplay/Player.h"
#include "Objects/DisplayGroups.h"
#include "Objects/ObjNode.h"
#include "Support/TempFolder.h"
#include "Support/TestWindow.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/Level.h"
#include "System/LevelGlobals.h"
#include "System/LevelHarness.h"
#include "System/Prefs.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/Terrain.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace weapon_egg_test {

constexpr float kStep = 1.0f / 60.0f;

// What a plain target was hit with, in order.
inline std::vector<float> gTargetDamage;
inline std::vector<int> gTargetVariant;

inline bool RecordHit(ObjNode* weapon, ObjNode*, const Point3D*, const Vector3D*)
{
    gTargetDamage.push_back(weapon->Damage);
    gTargetVariant.push_back(weapon->Variant);
    return true;
}

class LevelPlayTest : public WindowTest
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
        gTargetDamage.clear();
        gTargetVariant.clear();
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

    void StartLevel(int levelIndex, int16_t playMode, int numPanes)
    {
        gPlayMode = playMode;
        InitPlayerRecords(false);
        gFixedFrameSeconds = kStep;
        HarnessStartLevel(levelIndex, playMode, numPanes, 1);
        levelRunning = true;
    }

    // Plays frames; false as soon as the level has ended.
    bool Play(int frames)
    {
        for (int frame = 0; frame < frames; frame++)
            if (!PlayLevelFrame())
                return false;
        return true;
    }

    // Player `player` high above the ground at (x, z), level, flying along heading at `speed`, unhurt
    // and without a shield.
    static void PlaceHigh(int player, float x, float z, float heading, float speed, float height = 1000)
    {
        PlayerRecord& record = gPlayers[player];
        ObjNode* node = record.objNode;
        node->Position = {x, TerrainHeightAt(x, z) + height, z};
        node->Rotation = {0, heading, 0};
        node->Speed = speed;
        node->Velocity = {-std::sin(heading) * speed, 0, -std::cos(heading) * speed};
        node->MotionDir = {-std::sin(heading), 0, -std::cos(heading)};
        gSpeedCap[player] = gSpeedCapTarget[player] = speed;
        record.shieldTimer = 0;
        record.invincibleTimer = 0;
        record.health = 1;
        record.coord = node->Position;
        RebuildNodeTransform(node);
        StoreOldBoxes(node);
        RefreshBoxFromPosition(node);
    }

    // Keeps a player where it is, nearly stopped, so that only the shots move.
    static void HoldStill(int player)
    {
        ObjNode* node = gPlayers[player].objNode;
        node->Speed = 0.01f;
        node->Velocity = {-std::sin(node->Rotation.y) * 0.01f, 0, -std::cos(node->Rotation.y) * 0.01f};
        node->Rotation.x = node->Rotation.z = 0;
        gSpeedCap[player] = gSpeedCapTarget[player] = 0.01f;
        RebuildNodeTransform(node);
    }

    // The scenery items present now (trees, rocks) go, so that nothing stands between a shot and its target.
    static void ClearSceneryAround()
    {
        for (ObjNode* node = gObjectListHead; node && node->Slot < SLOT_OF_FIRST_NON_WORLD;
             node = node->NextInList)
            if (node->TerrainItem && node->CType != INVALID_NODE_FLAG && (node->CType & 0x10000))
                DisposeObject(node);
    }

    // Where player 0 will be `ahead` units along its heading.
    static Point3D AheadOfPlayer(float ahead, float sideways = 0, float up = 0)
    {
        ObjNode* node = gPlayers[0].objNode;
        float h = node->Rotation.y;
        return {node->Position.x - std::sin(h) * ahead + std::cos(h) * sideways, node->Position.y + up,
                node->Position.z - std::cos(h) * ahead - std::sin(h) * sideways};
    }

    // A big plain target (the power-up base of the global models) that stops shots and can be aimed at,
    // recording every hit.
    static ObjNode* MakeTarget(const Point3D& at, float scale = 12)
    {
        ObjectDefinition def = {};
        def.artGroup = MODEL_GROUP_GLOBAL;
        def.artIndex = 9;
        def.position = at;
        def.slot = 400;
        def.scale = scale;
        ObjNode* target = MakeNewDisplayGroupObject(&def);
        target->CType = 0x10000 | 0x40000;
        target->WeaponHitProc = RecordHit;
        BoxFromModelBounds(target, 1, 1);
        return target;
    }

    std::unique_ptr<TempFolder> configFolder;
    std::unique_ptr<ScopedWorkingDirectory> inBuildFolder;
    bool levelRunning = false;
};

} // namespace weapon_egg_test
