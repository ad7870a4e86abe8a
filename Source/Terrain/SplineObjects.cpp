// The spline object list and the routines that move objects along splines. A spline's points are
// about one map unit apart, so a placement step of one point per second is a slow walk; speeds are
// given in points per second.

#include "Terrain/SplineObjects.h"

#include "Skeleton/Skeleton.h"
#include "System/Alerts.h"
#include "System/FrameRate.h"

#include <cstring>

SplineItemAddRoutine gSplineItemAddRoutines[NUM_SPLINE_ITEM_TYPES];
ObjNode* gSplineObjects[MAX_SPLINE_OBJECTS];
int gNumSplineObjects = 0;

static constexpr int kAimPointsAhead = 3;

static const SplineRecordType* SplineOf(const ObjNode* obj)
{
    GAME_ASSERT(obj->SplineIndex < gNumSplines);
    return &gSplines[obj->SplineIndex];
}

void PrimeSplines()
{
    for (int s = 0; s < gNumSplines; s++) {
        SplineRecordType* spline = &gSplines[s];
        for (int p = 0; p < spline->numPoints; p++) {
            spline->points[p].x *= gMapToWorld;
            spline->points[p].z *= gMapToWorld;
        }
    }

    std::memset(gSplineObjects, 0, sizeof(gSplineObjects));
    gNumSplineObjects = 0;

    for (int s = 0; s < gNumSplines; s++) {
        SplineRecordType* spline = &gSplines[s];
        for (int i = 0; i < spline->numItems; i++) {
            SplineItemType* item = &spline->items[i];
            if (item->type >= NUM_SPLINE_ITEM_TYPES)
                ShowFatalAlert("PrimeSplines: type > MAX_SPLINE_ITEM_NUM");
            SplineItemAddRoutine add = gSplineItemAddRoutines[item->type];
            if (add && add(s, item))
                item->flags |= ITEM_FLAG_ADDED;
        }
    }
}

void AddToSplineObjectList(ObjNode* obj, bool aim)
{
    if (gNumSplineObjects >= MAX_SPLINE_OBJECTS)
        ShowFatalAlert("AddToSplineObjectList: too many spline objects");
    obj->SplineObjectIndex = int16_t(gNumSplineObjects);
    gSplineObjects[gNumSplineObjects++] = obj;
    if (aim)
        AimAlongSpline(obj);
}

static void TakeOffList(ObjNode* obj)
{
    if (obj->SplineObjectIndex >= 0 && obj->SplineObjectIndex < MAX_SPLINE_OBJECTS &&
        gSplineObjects[obj->SplineObjectIndex] == obj)
        gSplineObjects[obj->SplineObjectIndex] = nullptr;
    obj->SplineObjectIndex = -1;
    obj->SplineItem = nullptr;
    obj->SplineMoveProc = nullptr;
}

void DetachFromSpline(ObjNode* obj, ObjNodeProc moveProc)
{
    if (!(obj->StatusFlags & NODEBIT_SPLINE_DRIVEN))
        return;
    if (obj->StatusFlags & NODEBIT_UNLINKED)
        RelinkObject(obj, true);
    obj->StatusFlags &= ~NODEBIT_SPLINE_DRIVEN;
    TakeOffList(obj);
    obj->InitPosition = obj->Position;
    obj->MoveProc = moveProc;
}

void RemoveFromSplineList(ObjNode* obj)
{
    obj->StatusFlags &= ~NODEBIT_SPLINE_DRIVEN;
    if (obj->SplineObjectIndex != -1)
        TakeOffList(obj);
}

void EmptySplineObjectList()
{
    for (int i = 0; i < gNumSplineObjects; i++) {
        if (gSplineObjects[i])
            DisposeObject(gSplineObjects[i]);
        gSplineObjects[i] = nullptr;
    }
    gNumSplineObjects = 0;
}

void SplinePoint(int splineIndex, float placement, float* x, float* z)
{
    GAME_ASSERT(splineIndex >= 0 && splineIndex < gNumSplines);
    const SplineRecordType* spline = &gSplines[splineIndex];
    int n = spline->numPoints;
    GAME_ASSERT(n > 0);

    // The index is held inside the point array whatever the placement: a placement of exactly 1 or a
    // little below 0 (float rounding) must not read past either end.
    float position = float(n) * placement;
    int i = int(position);
    if (i < 0)
        i = 0;
    if (i > n - 1)
        i = n - 1;
    int j = i + 1 < n ? i + 1 : n - 1;
    float f = position - float(i);
    if (f < 0)
        f = 0;
    if (f > 1)
        f = 1;
    *x = (1.0f - f) * spline->points[i].x + f * spline->points[j].x;
    *z = (1.0f - f) * spline->points[i].z + f * spline->points[j].z;
}

bool IncreaseSplinePlacement(ObjNode* obj, float speed)
{
    const SplineRecordType* spline = SplineOf(obj);
    obj->SplinePos += speed * gFrameSeconds / float(spline->numPoints);
    if (obj->SplinePos <= MAX_SPLINE_PLACEMENT)
        return false;
    obj->SplinePos -= MAX_SPLINE_PLACEMENT;
    if (obj->SplinePos > MAX_SPLINE_PLACEMENT) // a step longer than the whole spline starts it over
        obj->SplinePos = 0;
    return true;
}

void SetPositionFromSpline(ObjNode* obj)
{
    if (obj->SplinePos < 0)
        obj->SplinePos = 0;
    if (obj->SplinePos > MAX_SPLINE_PLACEMENT)
        obj->SplinePos = MAX_SPLINE_PLACEMENT;
    float x, z;
    SplinePoint(obj->SplineIndex, obj->SplinePos, &x, &z);
    obj->Position.x = x;
    obj->Position.z = z;
    obj->Velocity.x = (x - obj->OldPosition.x) * gFrameRate;
    obj->Velocity.z = (z - obj->OldPosition.z) * gFrameRate;
    obj->Velocity.y = 0;
}

bool IsSplineObjectInRange(ObjNode* obj)
{
    bool inRange = false;
    float x = obj->Position.x, z = obj->Position.z;
    if (gSuperTileCells && x >= 0 && z >= 0) {
        int col = int(x * gSuperTileSizeInv), row = int(z * gSuperTileSizeInv);
        if (col < gSuperTilesWide && row < gSuperTilesDeep)
            inRange = gSuperTileCells[row][col].windowBits != 0;
    }

    bool unlinked = (obj->StatusFlags & NODEBIT_UNLINKED) != 0;
    if (inRange && unlinked)
        RelinkObject(obj, true);
    else if (!inRange && !unlinked)
        UnlinkObject(obj, true);
    return inRange;
}

void AimAlongSpline(ObjNode* obj)
{
    const SplineRecordType* spline = SplineOf(obj);
    int n = spline->numPoints;
    int k = int(float(n) * obj->SplinePos) + kAimPointsAhead;
    if (k >= n)
        k -= n;
    if (k < 0 || k >= n) // a spline shorter than the look-ahead
        k = n - 1;
    obj->Rotation.y = HeadingFromTo(obj->Rotation.y, obj->Position.x, obj->Position.z, spline->points[k].x,
                                    spline->points[k].z);
}

void MoveSplineObjects()
{
    for (int i = 0; i < gNumSplineObjects; i++) {
        ObjNode* obj = gSplineObjects[i];
        if (!obj)
            continue;

        // 1. The pose advances whether or not the object is in range, so it never freezes mid-stride.
        if (obj->Skeleton)
            AdvanceSkeletonAnimation(obj);

        // 2. The move routine, with the boxes it starts from kept for collision. The object counts as
        //    the one being moved, so a purge forced while it deletes something cannot free it.
        if (obj->SplineMoveProc) {
            StoreOldBoxes(obj);
            ObjNode* previousMover = gMovingNode;
            gMovingNode = obj;
            obj->SplineMoveProc(obj);
            gMovingNode = previousMover;
        }

        // 3. Skinning only for an object that survived its move and is in range. Out of range it is
        //    in no list, so nothing draws, picks or shatters its skin; the frame it comes back into
        //    range its move relinks it before this step skins it.
        bool inList = !(obj->StatusFlags & NODEBIT_UNLINKED);
        if (obj->CType != INVALID_NODE_FLAG && obj->Skeleton && inList)
            UpdateSkinnedGeometry(obj);
    }
}
