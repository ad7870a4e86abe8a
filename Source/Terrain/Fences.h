// Fences.h: the level's fences. A fence is a list of nubs on the ground plane, stored in the playfield;
// at level start each becomes a vertical textured strip that follows the ground, and one custom-draw
// object draws them all. Moving objects are pushed back from fences by the collision handler.
//
// Fence types: 0 the scene's visible fence (sprite group 6 entry 1, lit), 1 the enemy barrier (sprite
// group 6 entry 0, drawn only in debug display mode 2, stopping only nodes with CT_ENEMY_BARRIER).
#pragma once

#include <cstdint>

#include "3D/MetaObjects.h"

struct ObjNode;

constexpr int FENCE_TYPE_ENEMY_BARRIER = 1;
constexpr int FENCE_DRAW_SLOT = 4;

// Level start, after the playfield is read: nubs to world units on the ground, section directions and
// normals, two geometry copies per fence, and the fence-drawing object. Limits broken are fatal.
void PrimeFences();
// Frees the fence geometry (the fence records go with the terrain data). Safe to repeat.
void DisposeFenceGeometry();
// Per frame after the cameras moved: with distance fading on and one pane, far fence nubs fade out.
void FadeFencesByDistance();
// Draw routine of the fence object, once per pane.
void DrawFences(ObjNode* node);
// Pushes the node being moved (gWorkPos, gWorkVel) back from the fences it crossed since OldPosition;
// true when any fence was hit.
bool CollideWithFences(ObjNode* node);
// The first geometry copy of fence i, for picking; null before PrimeFences.
const VertexArrayGeometry* GetFenceGeometry(int fence);

extern int32_t gFencesDrawn; // by the last fence draw, for the statistics
