// CollisionBoxes.cpp: building a node's collision boxes and its bounding radius.
//
// Boxes are in world coordinates. Box 0 follows the node through CollisionOffsets; every builder leaves
// the "old" values equal to the new ones so the first collision test after it sees no crossing.
#include <algorithm>
#include <cmath>

#include "Objects/ObjectsLocal.h"
#include "System/Alerts.h"

static void PlaceBox(CollisionBox* box, const Point3D* at, const CollisionBoxOffsets* offsets)
{
    box->left = at->x + offsets->left;
    box->right = at->x + offsets->right;
    box->front = at->z + offsets->front;
    box->back = at->z + offsets->back;
    box->top = at->y + offsets->top;
    box->bottom = at->y + offsets->bottom;
}

static void SetOldBoxToCurrent(CollisionBox* box)
{
    box->oldLeft = box->left;
    box->oldRight = box->right;
    box->oldFront = box->front;
    box->oldBack = box->back;
    box->oldTop = box->top;
    box->oldBottom = box->bottom;
}

// The one box of a node at Position + offsets, with nothing moved yet.
static void SetBoxZero(ObjNode* node, const CollisionBoxOffsets* offsets)
{
    node->HitBoxCount = 1;
    node->CollisionOffsets = *offsets;
    PlaceBox(&node->HitBoxes[0], &node->Position, offsets);
    SetOldBoxToCurrent(&node->HitBoxes[0]);
    node->OldPosition = node->Position;
}

void SetSingleCollisionBox(ObjNode* node, float top, float bottom, float left, float right, float front,
                           float back)
{
    CollisionBoxOffsets offsets = {left, right, front, back, top, bottom};
    SetBoxZero(node, &offsets);
}

void AppendCollisionBox(ObjNode* node, float top, float bottom, float left, float right, float front,
                        float back)
{
    GAME_ASSERT(node->HitBoxCount < MAX_COLLISION_BOXES);
    CollisionBoxOffsets offsets = {left, right, front, back, top, bottom};
    CollisionBox* box = &node->HitBoxes[node->HitBoxCount++];
    PlaceBox(box, &node->Position, &offsets);
    SetOldBoxToCurrent(box);
    node->OldPosition = node->Position;
}

void BoxFromModelBounds(ObjNode* node, float tweakXZ, float tweakY)
{
    // A skeleton's box is already posed at its scale.
    bool isSkeleton = node->Genre == SKELETON_GENRE;
    float sx = isSkeleton ? tweakXZ : node->Scale.x * tweakXZ;
    float sz = isSkeleton ? tweakXZ : node->Scale.z * tweakXZ;
    float sy = isSkeleton ? 1.0f : node->Scale.y;
    const BoundingBox* bounds = &node->ModelBounds;

    CollisionBoxOffsets offsets;
    offsets.left = sx * bounds->minX;
    offsets.right = sx * bounds->maxX;
    offsets.front = sz * bounds->maxZ;
    offsets.back = sz * bounds->minZ;
    offsets.bottom = sy * bounds->minY;
    offsets.top = (bounds->maxY - bounds->minY) * sy * tweakY + sy * bounds->minY; // tweakY keeps the base
    SetBoxZero(node, &offsets);
}

void SquareBoxFromModelBounds(ObjNode* node, float tweak)
{
    float s = (node->Genre == SKELETON_GENRE) ? tweak : node->Scale.x * tweak;
    const BoundingBox* bounds = &node->ModelBounds;
    float m = std::max({std::fabs(s * bounds->minZ), std::fabs(s * bounds->maxZ), std::fabs(s * bounds->maxX),
                        std::fabs(s * bounds->minX)});

    CollisionBoxOffsets offsets;
    offsets.left = -m;
    offsets.back = -m;
    offsets.right = m;
    offsets.front = m;
    offsets.bottom = s * bounds->minY;
    offsets.top = s * bounds->maxY;
    SetBoxZero(node, &offsets);
}

void CalcBoundingRadius(ObjNode* node)
{
    const BoundingBox* bounds = &node->ModelBounds;
    float largest = std::max({std::fabs(bounds->minX), std::fabs(bounds->minY), std::fabs(bounds->minZ),
                              std::fabs(bounds->maxX), std::fabs(bounds->maxY), std::fabs(bounds->maxZ)});
    float radius = 1.41f * largest; // a little over the corner of a cube of that half-size
    if (node->Genre == DISPLAY_GROUP_GENRE)
        radius *= node->Scale.x;
    node->BoundingRadius = radius;
}

void RefreshBoxFromPosition(ObjNode* node)
{
    PlaceBox(&node->HitBoxes[0], &node->Position, &node->CollisionOffsets);
}

void RefreshBoxFromWorkPos(ObjNode* node)
{
    PlaceBox(&node->HitBoxes[0], &gWorkPos, &node->CollisionOffsets);
}

void StoreOldBoxes(ObjNode* node)
{
    for (int i = 0; i < node->HitBoxCount; i++)
        SetOldBoxToCurrent(&node->HitBoxes[i]);
    node->OldPosition = node->Position;
}
