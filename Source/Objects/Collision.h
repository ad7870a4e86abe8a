// Collision.h: axis-aligned box collision between object nodes, and the queries that ask the solid
// world (objects, terrain, fences, water) where something stands or what a line first strikes.
//
// Only world nodes take part: the list walks stop at the first node whose Slot is 3000 or more, so
// effects, overlays and shadows live in the slots above. Every query takes a mask of CType bits and
// considers only nodes that share one of them.
//
// The collision list is scratch state: each ResolveCollisions and BoxTouchesAnything starts it anew,
// and gameplay reads it right after the call (for example to find which enemy the player touched).
#pragma once

#include <cstdint>

#include "3D/Math3D.h"

struct ObjNode;
struct PickSegment;
struct PickRay;

// ---------------------------------------------------------------------------------------------------------
// Collision types and sides
// ---------------------------------------------------------------------------------------------------------

// CType bits this module interprets; the gameplay modules define the rest and use them through masks.
constexpr uint32_t CT_TRIGGER_B = 0x8;        // touching the node calls its TriggerProc
constexpr uint32_t CT_TRIGGER = 0x10;         // the same
constexpr uint32_t CT_SHADOW_SURFACE = 0x80;  // shadows may rest on the node's boxes
constexpr uint32_t CT_WATER = 0x100;          // in a query mask: water surfaces
constexpr uint32_t CT_FENCE = 0x1000;         // in a query mask: fences
constexpr uint32_t CT_TERRAIN = 0x2000;       // in a query mask: the terrain height field
constexpr uint32_t CT_ENEMY_BARRIER = 0x8000; // the enemy-barrier fences stop only nodes with this bit

// Sides of a box, in SolidSides (which sides of a node's boxes are solid) and in the struck-side results.
constexpr uint32_t SIDE_BITS_TOP = 0x1;
constexpr uint32_t SIDE_BITS_BOTTOM = 0x2;
constexpr uint32_t SIDE_BITS_LEFT = 0x4;   // -X
constexpr uint32_t SIDE_BITS_RIGHT = 0x8;  // +X
constexpr uint32_t SIDE_BITS_FRONT = 0x10; // +Z
constexpr uint32_t SIDE_BITS_BACK = 0x20;  // -Z
constexpr uint32_t ALL_SOLID_SIDES = 0x3f;
// SolidSides only: report a touch even when no solid side was crossed.
constexpr uint32_t SIDE_BITS_REPORT_TOUCH = 0x40;
// SolidSides only: estimate the struck sides from the relative position, and let that collision alone
// decide the push.
constexpr uint32_t SIDE_BITS_ESTIMATE = 0x80;

constexpr int MAX_COLLISIONS = 60;

struct CollisionRecord
{
    uint8_t myBox;    // always 0
    uint8_t theirBox; // index of the other node's box
    uint16_t sides;   // sides of the mover that were struck; 0 for a mere touch
    uint8_t type;     // 0: an object node
    ObjNode* node;    // the other node
};

extern CollisionRecord gCollisionRecords[MAX_COLLISIONS];
extern int gNumCollisions;
// OR of the sides of every record added; the handler overwrites it with its result when it ends.
extern uint8_t gSidesHit;
// For trigger routines: the sides of the record that touched them, and their way to ask the handler
// for a bounce of 1 (the mover keeps its speed) instead of the caller's.
extern uint8_t gTriggerSides;
extern bool gTriggerBounce;

// ---------------------------------------------------------------------------------------------------------
// Box collision (Collision.cpp)
// ---------------------------------------------------------------------------------------------------------

// Appends, from record startIndex on, the world boxes that the node's box 0 overlaps and the sides of it
// that crossed a solid side of theirs since the last StoreOldBoxes. More than 60 records is fatal.
void CollisionDetect(ObjNode* node, uint32_t typeMask, int startIndex);
// The collision handler, between BeginNodeUpdate and CommitNodeUpdate: pushes gWorkPos out of what it
// struck (up to three passes), bounces gWorkVel by -|bounceFactor| per struck axis, runs trigger
// routines, then fences, terrain and water as the mask asks. Returns the sides struck (also gSidesHit).
uint8_t ResolveCollisions(ObjNode* node, uint32_t typeMask, float bounceFactor);
// Does the box overlap a world box of the mask's types? The first one becomes collision record 0.
bool BoxTouchesAnything(float top, float bottom, float left, float right, float front, float back,
                        uint32_t typeMask);
// Does the box overlap any of node's boxes? Records nothing.
bool BoxTouchesNode(float top, float bottom, float left, float right, float front, float back,
                    const ObjNode* node);

// ---------------------------------------------------------------------------------------------------------
// World queries (CollisionQueries.cpp)
// ---------------------------------------------------------------------------------------------------------

// Height of the highest solid top under (x, z) among boxes with a solid top, the terrain and water as the
// mask asks; -10000000 when there is nothing.
float HighestSurfaceAtXZ(float x, float z, uint32_t typeMask);
// Nearest hit of a segment on objects, terrain, fences and water. typeMask is read as the mask and set to
// the kind hit: 0 for an object (hitNode), CT_TERRAIN, CT_FENCE or CT_WATER. hitNode keeps the nearest
// object even when other geometry is nearer. gridReject skips objects far from both ends (see Picking.h).
bool FindSegmentHit(const PickSegment* segment, ObjNode** hitNode, Point3D* hitPoint, Vector3D* hitNormal,
                    uint32_t* typeMask, bool gridReject);
// The same for a ray against objects and terrain only; ray->distance gets the nearest distance. A nearer
// terrain hit clears hitNode.
bool FindRayHit(PickRay* ray, ObjNode** hitNode, Point3D* hitPoint, Vector3D* hitNormal, uint32_t* typeMask);
// Is (px, pz) inside the triangle? Points on an edge may count either way.
bool IsPointInTriangle2D(float px, float pz, float x0, float z0, float x1, float z1, float x2, float z2);
