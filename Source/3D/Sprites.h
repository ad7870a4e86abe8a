// Sprites.h: sprite groups (numbered lists of single images, each wrapped in a material, kept in
// gSpriteGroupList of MetaObjects.h) and sprite objects (one sprite of a group as an ObjNode drawn in the
// 2D overlay). Every failure is fatal.
#pragma once

#include <cstdint>

#include "3D/MetaObjects.h"

struct ObjNode;
struct ObjectDefinition;

void InitSpriteManager(); // start-up: every group slot empty

// The group must be empty; gives it `count` zeroed entries.
void AllocSpriteGroup(int groupNum, int count);
// One sprite from the image at a colon path (no extension).
void LoadSpriteGroupFromFile(int groupNum, const char* path);
// `count` sprites, one per colon path, in order.
void LoadSpriteGroupFromFiles(int groupNum, int count, const char* const* paths);
// `count` sprites from ":sprites:<series>:<series>000" upward.
void LoadSpriteGroupFromSeries(int groupNum, int count, const char* seriesName);
// The image at path (".jpg" with an optional ".png" mask, or ".png") as one sprite entry; the material
// always blends when a PNG was found.
SpriteGroupEntry LoadSpriteFromDualImage(const char* path);

void DisposeSpriteGroup(int groupNum); // drops every material reference and empties the slot
void DisposeAllSpriteGroups();

// Adds MO_MATERIAL_FLAG_ALWAYS_BLEND to one sprite's material, or to every sprite of the group.
void BlendASprite(int groupNum, int type);
void BlendAllSpritesInGroup(int groupNum);

// A SPRITE_GENRE node showing sprite def->artIndex of group def->artGroup, placed at the node's
// Position and sized by Scale.x overlay units; null when no node can be made.
ObjNode* MakeSpriteObject(ObjectDefinition* def, bool centered);
