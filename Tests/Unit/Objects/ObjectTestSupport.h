// Shared by the object-node tests: every test starts with an empty pool and leaves one behind.
#pragma once

#include "Objects/ObjNode.h"
#include "System/Pause.h"

#include <gtest/gtest.h>

#include <vector>

class ObjectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InitObjectPool();
        gPaused = false;
    }
    void TearDown() override
    {
        DisposeAllObjects();
        gPaused = false;
    }
};

inline ObjNode* MakeNode(int slot, ObjNodeProc move = nullptr, uint32_t flags = 0,
                         uint8_t genre = CUSTOM_DRAW_GENRE)
{
    ObjectDefinition def = {};
    def.genre = genre;
    def.slot = int16_t(slot);
    def.moveProc = move;
    def.statusFlags = flags;
    def.scale = 1.0f;
    return MakeNewObject(&def);
}

// The list from the head, in order.
inline std::vector<ObjNode*> ListedNodes()
{
    std::vector<ObjNode*> nodes;
    for (ObjNode* node = gObjectListHead; node; node = node->NextInList)
        nodes.push_back(node);
    return nodes;
}
