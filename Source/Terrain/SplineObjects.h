// SplineObjects.h: objects that travel along the level's splines. Every spline item becomes its object
// when the level starts (PrimeSplines); those objects are kept in a list of at most 100, moved once per
// frame by MoveSplineObjects and, while no player's window covers them, unlinked so that they are
// neither drawn nor collided with.
//
// An object on a spline has NODEBIT_SPLINE_DRIVEN, its SplineItem, SplineIndex, SplinePos (placement,
// 0 .. 0.999 of the way along the spline's points), SplineObjectIndex (its place in the list, -1 when
// not listed) and a SplineMoveProc. DisposeObject takes a deleted object off the list.
#pragma once

#include "Objects/ObjNode.h"
#include "Terrain/Terrain.h"

constexpr int MAX_SPLINE_OBJECTS = 100;
constexpr float MAX_SPLINE_PLACEMENT = 0.999f;

// Creates the object of one spline item type at level start; true when the item counts as added.
typedef bool (*SplineItemAddRoutine)(int splineIndex, SplineItemType* item);

// What each spline item type creates; a null entry creates nothing. The gameplay modules fill it.
extern SplineItemAddRoutine gSplineItemAddRoutines[NUM_SPLINE_ITEM_TYPES];
extern ObjNode* gSplineObjects[MAX_SPLINE_OBJECTS]; // null where an object has left the list
extern int gNumSplineObjects;                       // list slots used; holes are not reused

// Level start, after the players: spline points to world units (once per load), the list emptied,
// then every spline item added through gSplineItemAddRoutines.
void PrimeSplines();
// Lists obj (fatal with the list full) and, with aim, turns it along its spline.
void AddToSplineObjectList(ObjNode* obj, bool aim);
// An object leaving its path: linked again, off the list, moved from now on by moveProc.
void DetachFromSpline(ObjNode* obj, ObjNodeProc moveProc);
// Off the list and no longer spline-driven; from DisposeObject.
void RemoveFromSplineList(ObjNode* obj);
// Level clean-up: deletes every listed object (they may be unlinked, so DisposeAllObjects misses them).
void EmptySplineObjectList();

// The point at placement (0 .. 1) along spline `spline`, between the two points around it.
void SplinePoint(int spline, float placement, float* x, float* z);
// Advances SplinePos by speed points per second; true exactly when it wrapped past the end.
bool IncreaseSplinePlacement(ObjNode* obj, float speed);
// Position x/z from SplinePos; Velocity x/z from the move since OldPosition, y 0.
void SetPositionFromSpline(ObjNode* obj);
// Is a player's window over the object? Links it when it is, unlinks it when not.
bool IsSplineObjectInRange(ObjNode* obj);
// Heading toward the spline point three points ahead (wrapping past the end).
void AimAlongSpline(ObjNode* obj);
// Once per frame after MoveObjects: each listed object's animation and SplineMoveProc.
void MoveSplineObjects();
