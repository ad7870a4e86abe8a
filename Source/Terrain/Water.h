// Water.h: the level's water patches and the ripples on them. A patch is a flat polygon at one height
// (a fixed height or the ground under its hot spot), drawn as a fan with two texture layers that scroll
// at the rates of its water type. Objects ask whether a point lies over water and at what height;
// effects drop expanding ripple rings on the surface.
//
// A point is over a patch when it lies inside the patch's x/z bounds and inside its polygon; the first
// patch in list order wins.
#pragma once

#include <cstdint>

#include "3D/Math3D.h"
#include "3D/MetaObjects.h"

struct ObjNode;

constexpr int MAX_RIPPLES = 100;
constexpr int WATER_DRAW_SLOT = 2950;
constexpr int RIPPLE_SLOT_WATER = 3011; // ripple object made by SpawnWaterRipples
constexpr int RIPPLE_SLOT_POINT = 3001; // ripple object made by SpawnRipple

// Level start: clears the ripple pool, builds every patch and the water-drawing object. Limits broken
// are fatal.
void PrimeTerrainWater();
// Frees the patch geometry (the patch records go with the terrain data). Safe to repeat.
void DisposeWaterGeometry();
// Draw routine of the water object, once per pane.
void DrawTerrainWater(ObjNode* node);
// Height of the first patch whose x/z bounds (inclusive) and polygon hold (x, z); else outY = 0, false.
bool WaterHeightAt(float x, float z, float* outY);
// The type of that same patch; -1 over dry ground.
int WaterTypeAt(float x, float z);
// Types 2 to 10 are the ooze of the swamp (one texture, churning or flowing eight ways): it burns.
constexpr int FIRST_OOZE_WATER_TYPE = 2;
constexpr int LAST_OOZE_WATER_TYPE = 10;
// The same test with strict bounds, without the height.
bool IsPointOverWater(float x, float z);
// The in-water test of moving objects: sets NODEBIT_IN_WATER when (x, z) lies over water (outY gets the
// surface height), clears it when not.
bool IsNodeInWater(ObjNode* node, float x, float z, float* outY);
// The collision handler's water step for the node being moved: a box bottom below the surface is lifted
// onto it, a sinking velocity stops. Returns the sides struck (bottom, or 0).
uint32_t CollideWithWater(ObjNode* node);

// Ripples: count rings at (x, surface + 0.5, z) when (x, z) is over water; nothing over dry ground.
void SpawnWaterRipples(float x, float z, float baseSize, float baseGrowth, float fadeRate, int count);
// One ring at point, 0.5 above it.
void SpawnRipple(const Point3D* point, float baseSize, float growth, float fadeRate);
int GetActiveRippleCount();
void ClearRipplePool(); // every ripple inactive; the ripple object is forgotten (level start)

// For picking: the patches as built, each with its bounds and fan mesh.
int GetWaterPatchCount();
const VertexArrayGeometry* GetWaterPatchGeometry(int patch, BoundingBox* bounds);

extern int32_t gWaterPatchesDrawn; // by the last water draw, for the statistics
