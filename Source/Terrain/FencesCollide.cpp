// FencesCollide.cpp: pushing moving objects back from fences.
//
// Fences are lines on the ground plane. The mover's path this frame, shifted by its radius toward the
// fence, is crossed with every section; a crossing puts the mover back on its own side, just clear of the
// fence, and bounces its velocity off the section. A mover that keeps being thrown back and forth by
// one fence ends its move where it started.
#include <algorithm>
#include <cmath>

#include "Objects/Collision.h"
#include "Objects/ObjNode.h"
#include "Terrain/Fences.h"
#include "Terrain/Terrain.h"

constexpr float kBoundsMargin = 20.0f;  // beyond the radius, when skipping whole fences
constexpr float kClearance = 8.0f;      // the mover stops this far beyond its radius from the fence
constexpr float kCrossingBounce = 0.6f; // speed kept after bouncing off a section
constexpr float kNubBounce = 0.5f;      // speed kept after bumping a fence post
constexpr int kMaxHitsPerFence = 4;

static bool IsBeyondSameSide(float a, float b, float low, float high)
{
    return (a < low && b < low) || (a > high && b > high);
}

// Both the start and the end of the move lie beyond the same side of the fence's grown bounds.
static bool MoveMissesFence(const FenceRecordType* fence, const Point3D* from, float margin)
{
    const BoundingBox& b = fence->bounds;
    return IsBeyondSameSide(from->x, gWorkPos.x, b.minX - margin, b.maxX + margin) ||
           IsBeyondSameSide(from->z, gWorkPos.z, b.minZ - margin, b.maxZ + margin);
}

static float ApproxDistance(float dx, float dz)
{
    dx = std::fabs(dx), dz = std::fabs(dz);
    return std::max(dx, dz) + 0.375f * std::min(dx, dz);
}

// The section's normal turned toward the side the mover came from.
static Vector2D NormalTowardMover(const FenceRecordType* fence, int section, const Point3D* from)
{
    Vector2D n = fence->sectionNormals[section];
    Vector2D toMover = {from->x - fence->nubs[section].x, from->z - fence->nubs[section].z};
    Normalize2(&toMover, &toMover);
    if (Cross2(&fence->sectionVectors[section], &toMover) < 0) {
        n.x = -n.x;
        n.y = -n.y;
    }
    return n;
}

static void BounceWorkVelocity(const Vector2D* n, float keep)
{
    Vector2D velocity = {gWorkVel.x, gWorkVel.z};
    Reflect2D(&velocity, n, &velocity);
    gWorkVel.x = velocity.x * keep;
    gWorkVel.z = velocity.y * keep;
}

// Outcome of one fence.
enum FenceResult
{
    kFence_Missed,
    kFence_Hit,
    kFence_HitPost, // the move is undone and the whole test ends
};

static FenceResult CollideWithOneFence(ObjNode* node, const FenceRecordType* fence, float r)
{
    const Point3D* from = &node->OldPosition;
    int hits = 0;
    for (int j = 0; j < fence->numNubs - 1; j++) {
        Vector2D n = NormalTowardMover(fence, j, from);
        Point2D pathStart = {from->x - n.x * r, from->z - n.y * r};
        Point2D pathEnd = {gWorkPos.x - n.x * r, gWorkPos.z - n.y * r};
        Point2D nubA = {fence->nubs[j].x, fence->nubs[j].z};
        Point2D nubB = {fence->nubs[j + 1].x, fence->nubs[j + 1].z};
        float ix, iz;
        if (SegmentsIntersect2D(&pathStart, &pathEnd, &nubA, &nubB, &ix, &iz)) {
            gWorkPos.x = ix + n.x * r + n.x * kClearance;
            gWorkPos.z = iz + n.y * r + n.y * kClearance;
            BounceWorkVelocity(&n, kCrossingBounce);
            if (++hits >= kMaxHitsPerFence) {
                gWorkPos = *from; // thrown back and forth: the move is undone
                return kFence_Hit;
            }
            j = -1; // the new position may cross a section already passed
            continue;
        }
        bool nearPost = ApproxDistance(nubA.x - gWorkPos.x, nubA.y - gWorkPos.z) < r ||
                        ApproxDistance(nubB.x - gWorkPos.x, nubB.y - gWorkPos.z) < r;
        if (nearPost) {
            gWorkPos.x = from->x;
            gWorkPos.z = from->z;
            BounceWorkVelocity(&n, kNubBounce);
            return kFence_HitPost;
        }
    }
    return hits > 0 ? kFence_Hit : kFence_Missed;
}

bool CollideWithFences(ObjNode* node)
{
    if (gWorkPos.x == node->OldPosition.x && gWorkPos.z == node->OldPosition.z)
        return false;
    float r = node->BoundingRadius;
    bool hit = false;
    for (int i = 0; i < gNumFences; i++) {
        const FenceRecordType* fence = &gFences[i];
        if (fence->type == FENCE_TYPE_ENEMY_BARRIER && !(node->CType & CT_ENEMY_BARRIER))
            continue;
        if (!fence->sectionNormals || MoveMissesFence(fence, &node->OldPosition, r + kBoundsMargin))
            continue;
        FenceResult result = CollideWithOneFence(node, fence, r);
        if (result == kFence_HitPost)
            return true;
        hit |= result == kFence_Hit;
    }
    return hit;
}
