// Items.h: what the level's map items become. The playfield places scenery, plants, power-ups,
// hazards, enemies and eggs as map items; when a supertile enters a player's window its items are
// added through the 49-entry table gMapItemAddRoutines (Terrain.h), one routine per item type. This
// module fills that table and the spline item table, and builds the scenery and plant rows itself:
// trees, ground cover, flowers, rocks and boulders sunk into the ground, thorny plants, cacti and
// crystals. Rows whose objects belong to other gameplay modules count their items as added until
// those modules fill them.
//
// Level models are the models of the scene's model file (model group 1). A routine whose model the
// file lacks, or whose subtype lies beyond its models, stops the game with a fatal alert naming the
// routine and the level, never with an out-of-range table index.
#pragma once

#include <cstdint>

#include "Terrain/Terrain.h"

// Collision types of item objects. 0x10 calls the TriggerProc on touch, 0x40 is ground a player can
// stand on, 0x10000 stops shots, 0x20000 is struck by the player's body segments, 0x40000 can be
// aimed at, 0x800000 is counted as a hazard.
constexpr uint32_t CTYPE_ITEM_SOLID = 0x10050;
constexpr uint32_t CTYPE_ITEM_TOUCH_ONLY = 0x10;
constexpr uint32_t CTYPE_ITEM_CROWN = 0x30000;
constexpr uint32_t CTYPE_ITEM_SPIKY = 0x830000;

// Damage of the thorny plants on contact (health 1.0 is a full bar).
constexpr float DESERT_BUSH_DAMAGE = 0.25f;
constexpr float PALM_BUSH_DAMAGE = 0.5f;
constexpr float THORN_BUSH_DAMAGE = 0.9f;
constexpr float GECKO_PLANT_DAMAGE = 0.6f;
constexpr float SPIKY_PLANT_DAMAGE = 0.25f;
constexpr float TREE_CROWN_DAMAGE = 0.2f;

// The level the items are made for: its index in the level table, its scene and its file name
// (named in the fatal alerts for missing art).
struct ItemLevel
{
    int levelIndex;
    int scene; // 0 forest, 1 desert, 2 swamp
    const char* name;
};
extern ItemLevel gItemLevel;

// Level start, before the first supertile is scanned: fills both item tables for this level.
void InstallItemRoutines(int levelIndex, const char* levelName);
// The scene of a level index: forest 0, 5, 8; desert 1, 4, 6; swamp 2, 3, 7. -1 beyond the table.
int SceneOfLevel(int levelIndex);
