// ItemsLocal.h: what the item routines share: the subtype and model checks with their fatal alerts,
// and the makers of a standing item object.
#pragma once

#include "Gameplay/Items.h"
#include "Objects/ObjNode.h"

constexpr float ITEM_HEADING_STEP = 0.7853982f; // item parms give headings in eighths of a turn

// Level model base + parm[0] of `routine`; fatal "<routine>: illegal subtype" when parm[0] > maxSubtype
// (maxSubtype < 0: no fixed limit), and fatal naming the level when the scene's file lacks the model.
int ItemModel(const char* routine, const MapItemType* item, int base, int maxSubtype);
// The same check for a model index computed by the routine itself.
void RequireLevelModel(const char* routine, int model);

float RandomItemHeading();                  // uniform in [0, 2 pi)
float ItemScaleBetween(float lo, float hi); // uniform in [lo, hi]
// Height that sinks model `model` at `scale` into the lowest ground under its box at (x, z), so no
// edge floats on a slope.
float SunkItemY(float x, float z, int model, float scale);

// A display-group object of level model `model` for `item` at (x, y, z), remembered as the item's
// object so that deleting it lets the item come back. Deleted when out of range.
ObjNode* MakeItemObject(MapItemType* item, int model, float x, float y, float z, int slot, float scale,
                        float heading, uint32_t extraStatus);
// A part chained after `head` (a crown, a second model) at head's place, turn and scale.
ObjNode* AddItemPart(ObjNode* head, int model, int slot, uint32_t extraStatus);
// One collision box from the model's bounds (narrowed by tweakXZ, lowered by tweakY), all sides solid.
void MakeItemSolid(ObjNode* obj, uint32_t ctype, float tweakXZ, float tweakY, TriggerProcType touch);

// Touch routines (TriggerProc): the player crashes into solid scenery, and thorns hurt.
bool CrashIntoItem(ObjNode* item, ObjNode* player);
bool HurtByThorns(ObjNode* plant, ObjNode* player);
bool HurtByTreeCrown(ObjNode* crown, ObjNode* player);

// The move routine of every standing item: deleted once no player's window covers it.
void MoveStaticItem(ObjNode* obj);

// Rows of the map item table (ItemsScenery.cpp, ItemsPlants.cpp).
bool AddTreeA(MapItemType* item, float x, float z);
bool AddTreeB(MapItemType* item, float x, float z);
bool AddSceneryA(MapItemType* item, float x, float z);
bool AddSceneryB(MapItemType* item, float x, float z);
bool AddSceneryC(MapItemType* item, float x, float z);
bool AddSceneryD(MapItemType* item, float x, float z);
bool AddSceneryE(MapItemType* item, float x, float z);
bool AddSceneryF(MapItemType* item, float x, float z);
bool AddGroundCover(MapItemType* item, float x, float z);
bool AddFlowers(MapItemType* item, float x, float z);
bool AddGrass(MapItemType* item, float x, float z);
bool AddReeds(MapItemType* item, float x, float z);
bool AddRock(MapItemType* item, float x, float z);
bool AddBoulder(MapItemType* item, float x, float z);
bool AddBigRock(MapItemType* item, float x, float z);
bool AddLeafyTree(MapItemType* item, float x, float z);
bool AddBreakablePlant(MapItemType* item, float x, float z);
bool AddStingPlant(MapItemType* item, float x, float z);
bool AddDesertTree(MapItemType* item, float x, float z);
bool AddDesertBush(MapItemType* item, float x, float z);
bool AddCactus(MapItemType* item, float x, float z);
bool AddCrystal(MapItemType* item, float x, float z);
bool AddSwampTree(MapItemType* item, float x, float z);
bool AddPalmBush(MapItemType* item, float x, float z);
bool AddThornBush(MapItemType* item, float x, float z);
bool AddGeckoPlant(MapItemType* item, float x, float z);
bool AddSpikyPlant(MapItemType* item, float x, float z);
