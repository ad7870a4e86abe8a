// CollisionQueries.cpp: what stands under a point, and what a segment or ray meets first, over every
// kind of solid the world has.
#include <algorithm>

#include "3D/Picking.h"
#include "Objects/Collision.h"
#include "Objects/ObjNode.h"
#include "Terrain/Terrain.h"
#include "Terrain/Water.h"

constexpr float kNoSurface = -10000000.0f;
constexpr float kAboveTop = 0.1f; // what stands on a box rests just above its top

float HighestSurfaceAtXZ(float x, float z, uint32_t typeMask)
{
    float best = kNoSurface;
    int count;
    ObjNode* const* world = WorldNodesInListOrder(&count);
    for (int i = 0; i < count; i++) {
        FetchWorldNodeAhead(world, count, i);
        const ObjNode* node = world[i];
        if (node->CType == INVALID_NODE_FLAG || !(node->CType & typeMask) ||
            !(node->SolidSides & SIDE_BITS_TOP))
            continue;
        for (int b = 0; b < node->HitBoxCount; b++) {
            const CollisionBox* box = &node->HitBoxes[b];
            if (x >= box->left && x <= box->right && z >= box->back && z <= box->front && box->top >= best)
                best = box->top + kAboveTop;
        }
    }
    if (typeMask & CT_TERRAIN)
        best = std::max(best, TerrainHeightAt(x, z));
    float surface;
    if ((typeMask & CT_WATER) && WaterHeightAt(x, z, &surface))
        best = std::max(best, surface);
    return best;
}

// A nearer hit of one kind of world geometry takes over the result.
static void TakeIfNearer(bool hit, float distance, const Point3D* point, const Vector3D* normal,
                         uint32_t kind, float* best, Point3D* hitPoint, Vector3D* hitNormal,
                         uint32_t* typeMask)
{
    if (!hit || distance >= *best)
        return;
    *best = distance;
    *typeMask = kind;
    if (hitPoint)
        *hitPoint = *point;
    if (hitNormal)
        *hitNormal = *normal;
}

bool FindSegmentHit(const PickSegment* segment, ObjNode** hitNode, Point3D* hitPoint, Vector3D* hitNormal,
                    uint32_t* typeMask, bool gridReject)
{
    uint32_t mask = *typeMask;
    *typeMask = 0;
    float best;
    *hitNode =
        OGL_DoLineSegmentCollision(segment, NODEBIT_INVISIBLE, mask, hitPoint, hitNormal, &best, gridReject);
    bool any = *hitNode != nullptr;

    Point3D point;
    Vector3D normal;
    float distance;
    if (mask & CT_TERRAIN) {
        bool hit = SegmentHitsTerrain(segment, &point, &normal, &distance);
        TakeIfNearer(hit, distance, &point, &normal, CT_TERRAIN, &best, hitPoint, hitNormal, typeMask);
        any |= hit;
    }
    if (mask & CT_FENCE) {
        bool hit = SegmentHitsFences(segment, &point, &normal, &distance);
        TakeIfNearer(hit, distance, &point, &normal, CT_FENCE, &best, hitPoint, hitNormal, typeMask);
        any |= hit;
    }
    if (mask & CT_WATER) {
        bool hit = SegmentHitsWater(segment, &point, &normal, &distance);
        TakeIfNearer(hit, distance, &point, &normal, CT_WATER, &best, hitPoint, hitNormal, typeMask);
        any |= hit;
    }
    return any;
}

bool FindRayHit(PickRay* ray, ObjNode** hitNode, Point3D* hitPoint, Vector3D* hitNormal, uint32_t* typeMask)
{
    uint32_t mask = *typeMask;
    *typeMask = 0;
    *hitNode = OGL_DoRayCollision(ray, NODEBIT_INVISIBLE, mask, hitPoint, hitNormal);
    bool any = *hitNode != nullptr;

    if (mask & CT_TERRAIN) {
        PickRay probe = *ray;
        Point3D point;
        Vector3D normal;
        if (RayHitsTerrain(&probe, &point, &normal)) {
            any = true;
            if (probe.distance < ray->distance) {
                ray->distance = probe.distance;
                *hitNode = nullptr;
                *typeMask = CT_TERRAIN;
                if (hitPoint)
                    *hitPoint = point;
                if (hitNormal)
                    *hitNormal = normal;
            }
        }
    }
    return any;
}

// Winding by quadrants: each edge adds the quarter turns it sweeps around the point; the diagonal
// moves across two quadrants take their sign from which side of the edge the point lies.
static int Quadrant(float x, float z, float px, float pz)
{
    if (x > px)
        return z > pz ? 0 : 3;
    return z > pz ? 1 : 2;
}

static int EdgeTurn(float px, float pz, float x0, float z0, float x1, float z1)
{
    int q0 = Quadrant(x0, z0, px, pz), q1 = Quadrant(x1, z1, px, pz);
    int delta = q1 - q0;
    switch (delta) {
    case 3:
        return -1;
    case -3:
        return 1;
    case 2:
    case -2: {
        float cross = (x0 - px) * (z1 - pz) - (z0 - pz) * (x1 - px);
        return cross > 0 ? 2 : -2;
    }
    default:
        return delta;
    }
}

bool IsPointInTriangle2D(float px, float pz, float x0, float z0, float x1, float z1, float x2, float z2)
{
    if (px < std::min({x0, x1, x2}) || px > std::max({x0, x1, x2}) || pz < std::min({z0, z1, z2}) ||
        pz > std::max({z0, z1, z2}))
        return false;
    int winding = EdgeTurn(px, pz, x0, z0, x1, z1) + EdgeTurn(px, pz, x1, z1, x2, z2) +
                  EdgeTurn(px, pz, x2, z2, x0, z0);
    return winding != 0;
}
