// Hazards.h: the power-ups and the hazards of a level. Power-ups (weapon ammunition, fuel, health,
// shield, an extra life) bob and turn until a player flies through them. Hazards hurt or catch the
// player: electrodes that zap each other, pylons whose destruction opens their doors, air mines on
// chains, tower turrets that aim and fire, laser orbs, crystals that shatter into a shock ring, dust
// devils that spin the player, worms that leap between burrows, gas plants, and trees that burn
// when shot. Each is an ObjNode made by its row of the item tables (Items.h); hazards reach the
// player through DamagePlayer, CrashPlayer and ShieldHit, and are destroyed through their
// WeaponHitProc, which reads the striking node's Damage and Variant.
//
// Item flags bit 1 (ITEM_FLAG_SPENT) is the spent mark: an item made again with it set builds the
// spent form (a dimmed electrode, a pylon base, a crystal base). An object that clears its
// TerrainItem before deletion never comes back in that level.
#pragma once

#include <cstdint>

#include "3D/MetaObjects.h"
#include "Gameplay/Weapons.h" // CTYPE_AIMABLE
#include "Objects/ObjNode.h"
#include "Terrain/Terrain.h"

// ---------------------------------------------------------------------------------------------------------
// Level state (all reset by InitLevelItems)
// ---------------------------------------------------------------------------------------------------------

constexpr int MAX_DOORS = 64;
extern uint8_t gDoorOpen[MAX_DOORS]; // 1 once a pylon of that door index is destroyed

constexpr int MAX_ZAPS = 30;
constexpr int MAX_ZAP_POINTS = 30;
constexpr float ZAP_START_LIFE = 1.3f;

struct ZapRecord
{
    bool inUse;
    int16_t numPoints; // 2 .. MAX_ZAP_POINTS
    float life;        // seconds of fading left; the ribbon's opacity
    int16_t sparkles[2];
    Point3D points[MAX_ZAP_POINTS];
    VertexArrayGeometry ribbons[2]; // one per frame parity, arrays in pools 8 and 9
};
extern ZapRecord gZaps[MAX_ZAPS];

constexpr int MAX_DUST_DEVILS = 20;
struct DustDevilSlot
{
    bool inUse;
    ObjNode* node;
};
extern DustDevilSlot gDustDevils[MAX_DUST_DEVILS];
extern int gNumDustDevils;

// Collision types the hazards give their parts.
constexpr uint32_t CTYPE_POWERUP = 0x210;
constexpr uint32_t CTYPE_ELECTRODE_ACTIVE = 0x870000;
constexpr uint32_t CTYPE_ELECTRODE_SPENT = 0x830000;

// ItemTag values for searches over the object list.
constexpr int32_t ITEMTAG_ACTIVE_ELECTRODE = 1;
constexpr int32_t ITEMTAG_WORM_BURROW = 4;

// ---------------------------------------------------------------------------------------------------------
// Level cycle (HazardsLevel.cpp)
// ---------------------------------------------------------------------------------------------------------

// Level start, before the first items are added: doors closed, zaps and dust devils ready, the sky.
void InitLevelItems();
// Level end, while the vertex-array pools still exist: every live zap released.
void FreeAllZaps();

// Area damage: every world node whose CType shares a bit with typeMask and that lies within
// 10 x source's scale of the source is hit with the source's Damage per second of this frame.
void BlastNearbyObjects(ObjNode* source, uint32_t typeMask);

// ---------------------------------------------------------------------------------------------------------
// Zaps (ElectrodeZaps.cpp)
// ---------------------------------------------------------------------------------------------------------

void InitZaps(); // every record free, and the node that moves and draws them
// A crackling ribbon between two electrodes; nothing when both are culled in every pane or every
// record is in use. Returns the record, or -1.
int MakeZap(ObjNode* from, ObjNode* to);
void FreeZap(int index); // releases its arrays and sparkles; a record not in use is fatal
int CountLiveZaps();

// ---------------------------------------------------------------------------------------------------------
// Objects of map items and spline items
// ---------------------------------------------------------------------------------------------------------

// Power-ups (PowerUps.cpp).
bool AddWeaponPOW(MapItemType* item, float x, float z);
bool AddFuelPOW(MapItemType* item, float x, float z);
bool AddHealthPOW(MapItemType* item, float x, float z);
bool AddShieldPOW(MapItemType* item, float x, float z);
bool AddLifePOW(MapItemType* item, float x, float z);
// What a weapon power-up of `weapon` holds in this play mode (0 for a weapon that has none).
int WeaponPowerUpAmount(int weapon);

bool AddElectrode(MapItemType* item, float x, float z); // Electrodes.cpp
bool AddPylon(MapItemType* item, float x, float z);     // Pylons.cpp
bool AddForestDoor(MapItemType* item, float x, float z);
bool AddAirMine(MapItemType* item, float x, float z);     // Mines.cpp
bool AddTowerTurret(MapItemType* item, float x, float z); // Turrets.cpp

// Laser orbs (LaserOrbs.cpp); none in easy mode.
ObjNode* MakeLaserOrb(float x, float z);
bool AddLaserOrb(MapItemType* item, float x, float z);
bool AddLaserOrbOnSpline(int splineIndex, SplineItemType* item);
void MoveLaserOrb(ObjNode* orb);

// Dust devils (DustDevils.cpp), in the desert only.
void InitDustDevils();
ObjNode* MakeDustDevil(float x, float z); // null when all 20 slots are taken
bool AddDustDevil(MapItemType* item, float x, float z);
bool AddDustDevilOnSpline(int splineIndex, SplineItemType* item);
void SwirlDustDevils(); // once per frame of play: the texture turns around the funnels

bool AddWormBurrow(MapItemType* item, float x, float z); // Worms.cpp, swamp levels only
bool AddGasPlant(MapItemType* item, float x, float z);   // GasPlants.cpp

// Scenery that reacts to shots (HazardTrees.cpp, Crystals.cpp).
bool TreeHitByWeapon(ObjNode* weapon, ObjNode* tree, const Point3D* hitPoint, const Vector3D* hitNormal);
// Gives a crystal's top its shatter routine and its collision.
void MakeCrystalShatterable(ObjNode* crystal);
