// Enemies.h: the creatures that live on the terrain. Raptors run at the player and pounce, brachs graze
// and wander, ramphors patrol the swamp's splines in the air. Each is a skeleton object whose move
// routine dispatches on the skeleton's current animation through a per-kind handler table; they hurt a
// player by touching its body and die from weapons or from the player's body blows.
//
// Counting: gNumEnemies holds every live enemy that is not on a spline, gNumEnemiesOfKind the same per
// kind. Map-item enemies are counted when made; spline enemies only once they leave their spline. The
// map-item rows refuse a new enemy while 16 are alive, or 7 of its kind unless the item's parm[3] bit 0
// says otherwise. Raptors never come in easy mode, and there raptors and ramphors do no harm.
//
// Node fields: Variant is the kind, Phase the raptor's chase mode, FloatSlots the saved bottom offset,
// a timer, the running speed, the ramphor's bob phase and base height and a water-ripple timer.
#pragma once

#include <cstdint>

#include "Gameplay/Weapons.h" // CTYPE_AIMABLE
#include "Objects/ObjNode.h"
#include "Terrain/Terrain.h"

// Kinds (the node's Variant).
enum
{
    ENEMY_KIND_RAPTOR = 0,
    ENEMY_KIND_BRACH = 1,
    ENEMY_KIND_RAMPHOR = 2,
    NUM_ENEMY_KINDS = 3
};

constexpr int MAX_ENEMIES = 16;           // live counted enemies before the map-item rows refuse more
constexpr int MAX_ENEMIES_OF_KIND = 7;    // raptors, and brachs, unless the item's parm[3] bit 0 is set
constexpr uint32_t CTYPE_ENEMY = 0xF8000; // shot, aimed at, struck by the body, stopped by barriers
constexpr uint32_t CTYPE_HARMFUL = 0x800;

// Collision masks of the move handlers: what an enemy collides with while running (with water), while
// standing (without), when dead (fences only) and on a spline (harmful objects only).
constexpr uint32_t ENEMY_MASK_RUNNING = 0x809948;
constexpr uint32_t ENEMY_MASK_STANDING = 0x809848;
constexpr uint32_t ENEMY_MASK_DEAD = 0x1000;
constexpr uint32_t ENEMY_MASK_SPLINE = 0x800;

constexpr float ENEMY_GRAVITY = 6500;

// Animations of each kind's skeleton.
enum
{
    RAPTOR_ANIM_RUN = 0,
    RAPTOR_ANIM_WAIT = 1,
    RAPTOR_ANIM_DEAD = 2,
    RAPTOR_ANIM_STUNNED = 3,
    RAPTOR_ANIM_POUNCE = 4,
    RAPTOR_ANIM_RUN_B = 5,
    RAPTOR_ANIM_RUN_C = 6,
    RAPTOR_ANIM_TURN_LEFT = 7,
    RAPTOR_ANIM_TURN_RIGHT = 8,
    NUM_RAPTOR_ANIMS = 9
};

enum
{
    BRACH_ANIM_GRAZE = 0,
    BRACH_ANIM_WALK = 1,
    BRACH_ANIM_DEAD = 2,
    BRACH_ANIM_LOOK = 3, // one-shot idles that end in graze
    BRACH_ANIM_SWISH = 4,
    NUM_BRACH_ANIMS = 5
};

enum
{
    RAMPHOR_ANIM_GLIDE = 0,
    RAMPHOR_ANIM_FLY = 1,
    RAMPHOR_ANIM_HURT = 2,
    RAMPHOR_ANIM_FALL = 3,
    RAMPHOR_ANIM_ATTACK = 4,
    NUM_RAMPHOR_ANIMS = 5
};

// Raptor chase modes (Phase).
enum
{
    RAPTOR_MODE_AMBUSH = 0, // toward a point far ahead of the nearest player
    RAPTOR_MODE_ATTACK = 1, // straight at the player
    RAPTOR_MODE_RETREAT = 2 // back home after running into a fence
};

// FloatSlots of an enemy.
enum
{
    ENEMY_SLOT_BOTTOM = 0, // the bottom offset saved at creation
    ENEMY_SLOT_TIMER = 1,  // retreat, stun or graze timer
    ENEMY_SLOT_RUN_SPEED = 2,
    ENEMY_SLOT_BOB_PHASE = 3,   // ramphor
    ENEMY_SLOT_BASE_HEIGHT = 4, // ramphor
    ENEMY_SLOT_RIPPLE_TIMER = 5
};

extern int gNumEnemies;
extern int gNumEnemiesOfKind[NUM_ENEMY_KINDS];
extern int gMaxEnemies;

// --- Shared bookkeeping (EnemyManager.cpp) ---
void InitEnemyManager(); // level start: every count 0
// A skeleton enemy of `skeletonType` standing on the terrain at (x, z) in animation startAnim at a
// random time into it, with the enemy collision type and a box from its model (halfWidth and height
// fractions of the model's box). Not counted.
ObjNode* MakeEnemy(int skeletonType, int startAnim, float x, float z, float scale, float heading,
                   ObjNodeProc moveProc, float halfWidth, float height);
void CountEnemy(int kind); // a new counted enemy of that kind
// Every enemy removal: the counts go down unless it is on a spline ("DeleteEnemy: < 0" and a repair
// to 0 should a count go negative), then the node is deleted.
void DeleteEnemy(ObjNode* enemy);
// A spline enemy leaves its path: linked again, moved by moveProc from now on, and counted.
void DetachEnemyFromSpline(ObjNode* enemy, ObjNodeProc moveProc);
// Objects, harmful touches, the ground and water for the enemy being moved (gWorkPos / gWorkVel). The
// bottom is the box's, or the saved one when useBottomOffset is false. True when the enemy died in it.
bool EnemyCollide(ObjNode* enemy, uint32_t collisionMask, bool useBottomOffset);
void UpdateEnemy(ObjNode* enemy); // Speed from gWorkVel, then the node update is committed
// The nearest live player object to (x, z) by the quick 2D distance; null when there is none.
ObjNode* FindNearestPlayer(float x, float z, float* distance);
float QuickDistance2D(float x1, float z1, float x2, float z2); // max + 0.375 min of |dx|, |dz|
// The player's side of an enemy's touch: the shield or health hit, a second of invincibility, the egg
// dropped, the body-hit sound and rumble. Nothing while the player is invincible.
void EnemyHurtsPlayer(ObjNode* enemy, ObjNode* player);
// Does the segment between two joints of the enemy cross the player's skinned body?
bool EnemyJointsStrikePlayer(ObjNode* enemy, int jointA, int jointB, ObjNode* player);
int CurrentEnemyAnim(const ObjNode* enemy);
void MorphEnemyTo(ObjNode* enemy, int anim, float rate); // only when not already in it
bool IsEasyMode();

// --- Raptor (Raptor.cpp) ---
ObjNode* MakeRaptor(float x, float z, int startAnim);
void MoveRaptor(ObjNode* raptor);
bool RaptorHitByWeapon(ObjNode* weapon, ObjNode* raptor, const Point3D* hitPoint, const Vector3D* hitNormal);
bool RaptorTouchesPlayer(ObjNode* raptor, ObjNode* player);
bool AddRaptor(MapItemType* item, float x, float z);           // map item 15
bool AddRaptorOnSpline(int splineIndex, SplineItemType* item); // spline item 15

// --- Brach (Brach.cpp) ---
ObjNode* MakeBrach(float x, float z, int startAnim);
void MoveBrach(ObjNode* brach);
bool BrachHitByWeapon(ObjNode* weapon, ObjNode* brach, const Point3D* hitPoint, const Vector3D* hitNormal);
bool AddBrach(MapItemType* item, float x, float z);           // map item 26, heading parm[0] x 45 degrees
bool AddBrachOnSpline(int splineIndex, SplineItemType* item); // spline item 26

// --- Ramphor (Ramphor.cpp) ---
bool AddRamphorOnSpline(int splineIndex, SplineItemType* item); // spline item 48 (swamp levels only)
bool RamphorHitByWeapon(ObjNode* weapon, ObjNode* ramphor, const Point3D* hitPoint,
                        const Vector3D* hitNormal);
bool RamphorTouchesPlayer(ObjNode* ramphor, ObjNode* player);
