// PickingObjects.cpp: segments and rays against the meshes of world objects.
//
// Every level of the walk rejects cheaply before any triangle is touched: the slot cut-off and the two
// masks, then the grid cells (integer compares), then a bounding sphere or box, and only then the
// triangles, from the display group's world-space cache whose planes were computed once per transform.
#include <cstdlib>

#include "3D/PickingLocal.h"
#include "Objects/ObjNode.h"
#include "Skeleton/Skeleton.h"
#include "System/Alerts.h"

constexpr float kGridCellSize = 1024.0f;

bool SegmentDirection(const PickSegment* segment, Vector3D* direction)
{
    Vector3D delta = {segment->end.x - segment->start.x, segment->end.y - segment->start.y,
                      segment->end.z - segment->start.z};
    Normalize3(&delta, direction);
    return direction->x != 0 || direction->y != 0 || direction->z != 0;
}

void CalcObjectWorldPoints(ObjNode* node)
{
    // Any cache left from an earlier transform is overwritten in place, mesh by mesh.
    int meshCount = 0;
    Matrix4x4 identity;
    MatrixIdentity(&identity);
    if (node->BaseGroup)
        MO_CalcWorldPoints_ObjectFrom(node->WorldGeometry, &meshCount, node->BaseGroup, &identity);
    node->WorldPointsValid = 1;
}

static bool IsCacheEntryInUse(const WorldMeshRecord* entry)
{
    return entry->geometry.points && entry->planes && entry->geometry.numTriangles > 0;
}

// The grid cell of a point: truncated to an integer, then divided by 1024 toward zero, as GridCell is.
static void GridCellOf(const Point3D* p, int32_t cell[3])
{
    cell[0] = int32_t(float(int32_t(p->x)) / kGridCellSize);
    cell[1] = int32_t(float(int32_t(p->y)) / kGridCellSize);
    cell[2] = int32_t(float(int32_t(p->z)) / kGridCellSize);
}

// Grid rejection: on every axis the node must lie within reach of the start's cell or the end's.
static bool IsNearEitherEnd(const ObjNode* node, const int32_t startCell[3], const int32_t endCell[3])
{
    for (int axis = 0; axis < 3; axis++) {
        int32_t cell = node->GridCell[axis];
        if (std::abs(cell - startCell[axis]) > PICK_GRID_REACH &&
            std::abs(cell - endCell[axis]) > PICK_GRID_REACH)
            return false;
    }
    return true;
}

// The walk's filters: world slots only (the caller stops there), live, not excluded, of a wanted type.
static bool PassesMasks(const ObjNode* node, uint32_t statusMask, uint32_t cTypeMask)
{
    return node->CType != INVALID_NODE_FLAG && !(node->StatusFlags & statusMask) && (node->CType & cTypeMask);
}

bool SegmentHitsSkinnedMeshes(const PickSegment* segment, const ObjNode* node, Point3D* outPoint,
                              Vector3D* outNormal, float* outDistance)
{
    PickHit best = {{0, 0, 0}, {0, 0, 0}, PICK_SEGMENT_NO_HIT};
    Vector3D d;
    int meshCount = 0;
    const VertexArrayGeometry* meshes = CurrentSkinnedMeshes(node, &meshCount);
    bool any = false;
    if (SegmentDirection(segment, &d)) {
        // Skinned points move every frame, so each triangle's plane is worked out as it is met.
        for (int i = 0; i < meshCount; i++)
            any |= SegmentAgainstMesh(segment, &d, &meshes[i], nullptr, &best);
    }
    if (any)
        ReportPickHit(&best, outPoint, outNormal, outDistance);
    else if (outDistance)
        *outDistance = PICK_SEGMENT_NO_HIT;
    return any;
}

bool RayHitsSkinnedMeshes(PickRay* ray, const ObjNode* node, Point3D* outPoint, Vector3D* outNormal)
{
    PickHit best = {{0, 0, 0}, {0, 0, 0}, PICK_RAY_NO_HIT};
    int meshCount = 0;
    const VertexArrayGeometry* meshes = CurrentSkinnedMeshes(node, &meshCount);
    bool any = false;
    for (int i = 0; i < meshCount; i++)
        any |= RayAgainstMesh(ray, &meshes[i], nullptr, &best);
    if (any)
        ReportPickHit(&best, outPoint, outNormal, nullptr);
    ray->distance = best.distance;
    return any;
}

// The nearest crossing of the node's cached meshes, filling the cache first when its transform changed.
static bool SegmentHitsCachedMeshes(const PickSegment* segment, const Vector3D* d, ObjNode* node,
                                    PickHit* hit)
{
    if (!node->WorldPointsValid)
        CalcObjectWorldPoints(node);
    bool any = false;
    for (int i = 0; i < MAX_MESHES_IN_MODEL; i++) {
        const WorldMeshRecord* entry = &node->WorldGeometry[i];
        if (IsCacheEntryInUse(entry))
            any |= SegmentAgainstMesh(segment, d, &entry->geometry, entry->planes, hit);
    }
    return any;
}

ObjNode* OGL_DoLineSegmentCollision(const PickSegment* segment, uint32_t statusMask, uint32_t cTypeMask,
                                    Point3D* outPoint, Vector3D* outNormal, float* outDistance,
                                    bool gridReject)
{
    PickHit best = {{0, 0, 0}, {0, 0, 0}, PICK_SEGMENT_NO_HIT};
    ObjNode* hitNode = nullptr;
    Vector3D d;
    if (!SegmentDirection(segment, &d)) {
        if (outDistance)
            *outDistance = best.distance;
        return nullptr; // no direction: nothing can be crossed
    }
    int32_t startCell[3], endCell[3];
    GridCellOf(&segment->start, startCell);
    GridCellOf(&segment->end, endCell);

    int count;
    ObjNode* const* world = WorldNodesInListOrder(&count);
    for (int i = 0; i < count; i++) {
        FetchWorldNodeAhead(world, count, i);
        ObjNode* node = world[i];
        if (!PassesMasks(node, statusMask, cTypeMask))
            continue;
        if (gridReject && !IsNearEitherEnd(node, startCell, endCell))
            continue;

        PickHit nodeHit = {{0, 0, 0}, {0, 0, 0}, PICK_SEGMENT_NO_HIT};
        bool hit = false;
        switch (node->Genre) {
        case SKELETON_GENRE: {
            bool mayHit = gridReject ? SegmentMayCrossBox(segment, &node->SkinnedBounds)
                                     : SegmentHitsSphere(segment, &d, &node->Position, node->BoundingRadius);
            if (mayHit)
                hit = SegmentHitsSkinnedMeshes(segment, node, &nodeHit.point, &nodeHit.normal,
                                               &nodeHit.distance);
            break;
        }
        case DISPLAY_GROUP_GENRE:
            if (SegmentHitsSphere(segment, &d, &node->Position, node->BoundingRadius))
                hit = SegmentHitsCachedMeshes(segment, &d, node, &nodeHit);
            break;
        case CUSTOM_DRAW_GENRE:
            break;
        default:
            ShowFatalAlert("OGL_DoLineSegmentCollision: unsupported genre");
        }
        if (hit && nodeHit.distance < best.distance) {
            best = nodeHit;
            hitNode = node;
        }
    }

    if (hitNode)
        ReportPickHit(&best, outPoint, outNormal, nullptr);
    if (outDistance)
        *outDistance = best.distance;
    return hitNode;
}

bool RayHitsCachedMeshes(PickRay* ray, ObjNode* node, Point3D* outPoint, Vector3D* outNormal)
{
    if (!node->WorldPointsValid)
        CalcObjectWorldPoints(node);
    PickHit best = {{0, 0, 0}, {0, 0, 0}, PICK_RAY_NO_HIT};
    bool any = false;
    for (int i = 0; i < MAX_MESHES_IN_MODEL; i++) {
        const WorldMeshRecord* entry = &node->WorldGeometry[i];
        if (IsCacheEntryInUse(entry))
            any |= RayAgainstMesh(ray, &entry->geometry, entry->planes, &best);
    }
    if (any)
        ReportPickHit(&best, outPoint, outNormal, nullptr);
    ray->distance = best.distance;
    return any;
}

ObjNode* OGL_DoRayCollision(PickRay* ray, uint32_t statusMask, uint32_t cTypeMask, Point3D* outPoint,
                            Vector3D* outNormal)
{
    PickHit best = {{0, 0, 0}, {0, 0, 0}, PICK_RAY_NO_HIT};
    ObjNode* hitNode = nullptr;
    const Vector3D& d = ray->direction;
    if (d.x == 0 && d.y == 0 && d.z == 0) {
        ray->distance = best.distance;
        return nullptr; // no direction: nothing can be struck
    }

    for (ObjNode* node = gObjectListHead; node && node->Slot < SLOT_OF_FIRST_NON_WORLD;
         node = node->NextInList) {
        if (!PassesMasks(node, statusMask, cTypeMask))
            continue;
        if (node->Genre == CUSTOM_DRAW_GENRE)
            continue;
        if (node->Genre != SKELETON_GENRE && node->Genre != DISPLAY_GROUP_GENRE)
            ShowFatalAlert("OGL_DoRayCollision: unsupported genre");
        if (!RayHitsSphere(ray, &node->Position, node->BoundingRadius))
            continue;

        PickRay probe = *ray;
        PickHit nodeHit;
        bool hit = node->Genre == SKELETON_GENRE
                       ? RayHitsSkinnedMeshes(&probe, node, &nodeHit.point, &nodeHit.normal)
                       : RayHitsCachedMeshes(&probe, node, &nodeHit.point, &nodeHit.normal);
        if (hit && probe.distance < best.distance) {
            nodeHit.distance = probe.distance;
            best = nodeHit;
            hitNode = node;
        }
    }

    if (hitNode)
        ReportPickHit(&best, outPoint, outNormal, nullptr);
    ray->distance = best.distance;
    return hitNode;
}
