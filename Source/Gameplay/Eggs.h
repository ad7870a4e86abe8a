// Eggs.h: the level goal. Nests hold eggs of five colours (map item 3); the player picks an egg up in
// its claw, carries it and flies it into an egg wormhole (map item 4) from the wormhole's open side.
// In adventure mode, once every egg is in, the egg wormholes shrink away and an exit wormhole grows
// where the last one vanished; flying into its mouth ends the level. In capture mode the same eggs and
// wormholes decide the match. The start wormhole brings the player into an adventure level. This
// module also shows the win, lose and draw pictures of the two-player modes.
#pragma once

#include <cstdint>

#include "3D/Math3D.h"

struct ObjNode;
struct MapItemType;

constexpr int NUM_EGG_COLORS = 5;

// Searches over the object list find these in ItemTag.
enum
{
    ITEM_TAG_EGG_WORMHOLE = 2,
    ITEM_TAG_EGG = 3
};

enum
{
    WINLOSE_WIN = 0,
    WINLOSE_LOSE = 1,
    WINLOSE_DRAW = 2
};

extern uint8_t gEggsInLevel[NUM_EGG_COLORS];   // eggs of each colour placed in the level
extern uint8_t gEggsDelivered[NUM_EGG_COLORS]; // eggs of each colour flown into a wormhole
extern bool gAllEggsDelivered;                 // adventure: every colour complete; wormholes vanish
extern ObjNode* gExitWormhole;                 // once made, else null

// Level load, once the item list is built: clears both counts and counts the eggs by colour. A colour
// above 4 is fatal ("FindAllEggItems: bad egg color!").
void FindAllEggItems();
// Level start, before the first items: clears the goal state and gives the wormhole skeleton's and the
// start/exit wormhole model's material the second texture layer.
void ModifyWormholeTextures();

// Map item rows (item 3 and item 4).
bool AddEgg(MapItemType* item, float x, float z);
bool AddEggWormhole(MapItemType* item, float x, float z);

// The egg wormhole that swallows an egg of `colour` at `point`: at its open side and within 1600 of its
// mouth, the nearest; in capture mode never one whose owner is the egg's colour. Null when none.
ObjNode* FindEggWormhole(int colour, const Point3D* point);
void DropEgg(int player); // the player lets go of its egg, which falls with 0.8 of the player's speed
// Adventure start: the wormhole the player arrives through, kept until it has shrunk away.
ObjNode* MakeStartWormhole(int player);
ObjNode* StartWormholeOf(int player); // null once it is gone
ObjNode* MakeExitWormhole(float x, float z);
// The two-player result picture in that player's pane: WINLOSE_WIN, WINLOSE_LOSE or WINLOSE_DRAW.
void ShowWinLoseSprite(int player, int result);
