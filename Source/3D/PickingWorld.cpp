// PickingWorld.cpp: segments and rays against the level's own geometry: the built supertiles, the
// fences and the water patches.
#include "3D/PickingLocal.h"
#include "Terrain/Fences.h"
#include "Terrain/Terrain.h"
#include "Terrain/Water.h"

bool SegmentHitsTerrain(const PickSegment* segment, Point3D* outPoint, Vector3D* outNormal,
                        float* outDistance)
{
    PickHit best = {{0, 0, 0}, {0, 0, 0}, PICK_SEGMENT_NO_HIT};
    bool hit = false;
    Vector3D d;
    if (SegmentDirection(segment, &d)) {
        for (int i = 0; i < SUPERTILE_POOL_SIZE; i++) {
            const SuperTileSlot* slot = &gSuperTileSlots[i];
            if (slot->inUse && slot->mesh && SegmentMayCrossBox(segment, &slot->bounds))
                hit |= SegmentAgainstMesh(segment, &d, slot->mesh, nullptr, &best);
        }
    }
    if (hit)
        ReportPickHit(&best, outPoint, outNormal, nullptr);
    if (outDistance)
        *outDistance = best.distance;
    return hit;
}

bool RayHitsTerrain(PickRay* ray, Point3D* outPoint, Vector3D* outNormal)
{
    const Vector3D& d = ray->direction;
    if (d.x == 0 && d.y == 0 && d.z == 0)
        return false;
    PickHit best = {{0, 0, 0}, {0, 0, 0}, PICK_RAY_NO_HIT};
    bool hit = false;
    float radius = gSuperTileSize * 0.5f; // the sphere reaches the middle of each edge, not the corners
    for (int i = 0; i < SUPERTILE_POOL_SIZE; i++) {
        const SuperTileSlot* slot = &gSuperTileSlots[i];
        if (!slot->inUse || !slot->mesh)
            continue;
        Point3D centre = {slot->centerX, slot->centerY, slot->centerZ};
        if (RayHitsSphere(ray, &centre, radius))
            hit |= RayAgainstMesh(ray, slot->mesh, nullptr, &best);
    }
    if (hit) {
        ReportPickHit(&best, outPoint, outNormal, nullptr);
        ray->distance = best.distance;
    }
    return hit;
}

// Both faces count, and the normal is turned to face the segment's start (written even on a miss).
static void FinishTwoSidedHit(const Vector3D* d, PickHit* best, Point3D* outPoint, Vector3D* outNormal,
                              float* outDistance, bool hit)
{
    gPickBothSides = false;
    Vector3D& n = best->normal;
    if (n.x * d->x + n.y * d->y + n.z * d->z > 0)
        n = {-n.x, -n.y, -n.z};
    if (hit && outPoint)
        *outPoint = best->point;
    if (outNormal)
        *outNormal = n;
    if (outDistance)
        *outDistance = best->distance;
}

bool SegmentHitsFences(const PickSegment* segment, Point3D* outPoint, Vector3D* outNormal, float* outDistance)
{
    PickHit best = {{0, 0, 0}, {0, 0, 0}, PICK_SEGMENT_NO_HIT};
    bool hit = false;
    Vector3D d = {0, 0, 0};
    gPickBothSides = true;
    if (SegmentDirection(segment, &d)) {
        for (int i = 0; i < gNumFences; i++) {
            const VertexArrayGeometry* mesh = GetFenceGeometry(i);
            if (!mesh || gFences[i].type == FENCE_TYPE_ENEMY_BARRIER)
                continue;
            if (SegmentMayCrossBox(segment, &gFences[i].bounds))
                hit |= SegmentAgainstMesh(segment, &d, mesh, nullptr, &best);
        }
    }
    FinishTwoSidedHit(&d, &best, outPoint, outNormal, outDistance, hit);
    return hit;
}

bool SegmentHitsWater(const PickSegment* segment, Point3D* outPoint, Vector3D* outNormal, float* outDistance)
{
    PickHit best = {{0, 0, 0}, {0, 0, 0}, PICK_SEGMENT_NO_HIT};
    bool hit = false;
    Vector3D d = {0, 0, 0};
    gPickBothSides = true;
    if (SegmentDirection(segment, &d)) {
        for (int i = 0; i < GetWaterPatchCount(); i++) {
            BoundingBox bounds;
            const VertexArrayGeometry* mesh = GetWaterPatchGeometry(i, &bounds);
            if (SegmentMayCrossBox(segment, &bounds))
                hit |= SegmentAgainstMesh(segment, &d, mesh, nullptr, &best);
        }
    }
    FinishTwoSidedHit(&d, &best, outPoint, outNormal, outDistance, hit);
    return hit;
}
