// What the power-up and hazard tests share: a generated level played with scripted needs at a fixed
// frame time, map items made by the test where it wants them, a plain attacker node standing in for a
// player's shot, and the player parked or flown where a test needs it.
#pragma once

#include "Gameplay/Hazards.h"
#include "Gameplay/Player.h"
#include "Objects/ObjNode.h"
#include "Support/TempFolder.h"
#include "Support/TestWindow.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/Level.h"
#include "System/LevelHarness.h"
#include "System/Prefs.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/Terrain.h"

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <memory>

class HazardPlayTest : public WindowTest
{
protected:
    static constexpr float kStep = 1.0f / 60.0f;

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

    void StartLevel(int levelIndex, int16_t playMode = kPlayMode_Adventure, int numPanes = 1)
    {
        gPlayMode = playMode;
        InitPlayerRecords(false);
        gFixedFrameSeconds = kStep;
        HarnessStartLevel(levelIndex, playMode, numPanes, 1);
        HarnessSkipArrival();
        levelRunning = true;
        if (playMode == kPlayMode_Race)
            gRaceStartTimer = 0;
        // Players start shielded; the tests give a shield where they want one.
        for (int player = 0; player < numPanes; player++) {
            gPlayers[player].invincibleTimer = 0;
            gPlayers[player].shieldTimer = 0;
            DisposeObject(gPlayers[player].shieldObj);
            gPlayers[player].shieldObj = nullptr;
        }
    }

    static void Play(int frames)
    {
        for (int frame = 0; frame < frames; frame++)
            PlayLevelFrame();
    }

    // A map item of the test's own at (x, z) on the ground, not yet added.
    MapItemType* NewItem(uint16_t type, float x, float z, uint8_t p0 = 0, uint8_t p1 = 0)
    {
        MapItemType item = {};
        item.x = int32_t(x);
        item.z = int32_t(z);
        item.type = type;
        item.parm[0] = p0;
        item.parm[1] = p1;
        item.terrainY = TerrainHeightAt(x, z);
        items.push_back(item);
        return &items.back();
    }

    // Adds the item through its row of the item table, as a window scan would.
    static bool AddThroughTable(MapItemType* item)
    {
        bool added = gMapItemAddRoutines[item->type](item, float(item->x), float(item->z));
        if (added)
            item->flags |= ITEM_FLAG_ADDED;
        return added;
    }

    static ObjNode* ObjectOf(const MapItemType* item)
    {
        for (ObjNode* node = gObjectListHead; node; node = node->NextInList) {
            if (node->TerrainItem == item)
                return node;
        }
        return nullptr;
    }

    // Still an object of the scene (a deleted node's memory may be reused, so it is looked up).
    static bool IsInList(const ObjNode* wanted)
    {
        for (ObjNode* node = gObjectListHead; node; node = node->NextInList) {
            if (node == wanted)
                return true;
        }
        return false;
    }

    static int CountNodesInSlot(int slot)
    {
        int count = 0;
        for (ObjNode* node = gObjectListHead; node; node = node->NextInList)
            count += node->Slot == slot ? 1 : 0;
        return count;
    }

    // A spot ahead of player 0 along its heading, `ahead` units away.
    static Point3D AheadOfPlayer(float ahead)
    {
        const ObjNode* node = gPlayers[0].objNode;
        return {node->Position.x - std::sin(node->Rotation.y) * ahead, node->Position.y,
                node->Position.z - std::cos(node->Rotation.y) * ahead};
    }

    // Player 0 level at `where`, flying along its heading at `speed`.
    static void FlyFrom(const Point3D& where, float speed)
    {
        ObjNode* node = gPlayers[0].objNode;
        node->Position = where;
        node->Rotation = {0, node->Rotation.y, 0};
        node->Speed = speed;
        node->Velocity = {-std::sin(node->Rotation.y) * speed, 0, -std::cos(node->Rotation.y) * speed};
        gSpeedCap[0] = gSpeedCapTarget[0] = speed;
        RebuildNodeTransform(node);
    }

    // Player 0 held still at `where` (its routine no longer runs), still hittable.
    static void ParkPlayerAt(const Point3D& where)
    {
        ObjNode* node = gPlayers[0].objNode;
        node->Position = where;
        node->Rotation = {0, node->Rotation.y, 0};
        node->StatusFlags |= NODEBIT_FROZEN;
        RebuildNodeTransform(node);
    }

    static float GroundAt(float x, float z) { return TerrainHeightAt(x, z); }

    // A plain shot: what a target's hit routine reads of a player's weapon.
    static ObjNode Attacker(float damage, int kind = 0)
    {
        ObjNode weapon = {};
        weapon.Damage = damage;
        weapon.Variant = kind;
        weapon.Scale = {1, 1, 1};
        return weapon;
    }

    std::unique_ptr<TempFolder> configFolder;
    std::unique_ptr<ScopedWorkingDirectory> inBuildFolder;
    std::deque<MapItemType> items; // stable addresses: objects keep pointers to their items
    bool levelRunning = false;
};
