// Trees that burn: shot with fire, a tree catches alight where it was hit and burns for a while,
// the flames sinking down the trunk as it darkens; the scream weapon shakes its leaves off instead.
//
// Node fields used (on the trunk): FloatSlots[0] the height of the flames, FloatSlots[1] the burn
// time left (above 0 while burning), GeneralBlock the fire emitter.

#include "Gameplay/HazardsLocal.h"

#include "Gameplay/ItemsLocal.h"
#include "System/FrameRate.h"
#include "System/Random.h"

#include <algorithm>

static constexpr int kScreamWeapon = 3;
static constexpr float kBurnTime = 15;

static void MoveBurningTree(ObjNode* tree)
{
    // 1. Gone with its window.
    if (IsObjectOutOfRange(tree)) {
        DisposeObject(tree);
        return;
    }
    if (tree->FloatSlots[1] <= 0)
        return;
    float dt = gFrameSeconds;
    tree->FloatSlots[1] -= dt;

    // 2. The flames creep down the trunk, and every part chars.
    tree->FloatSlots[0] = std::max(tree->Position.y + 100, tree->FloatSlots[0] - 30 * dt);
    for (ObjNode* part = tree; part; part = part->ChainNext) {
        part->Tint.r = std::max(0.3f, part->Tint.r - 0.1f * dt);
        part->Tint.g = std::max(0.3f, part->Tint.g - 0.1f * dt);
        part->Tint.b = std::max(0.3f, part->Tint.b - 0.1f * dt);
    }

    // 3. Fire.
    Point3D flames = {tree->Position.x, tree->FloatSlots[0], tree->Position.z};
    EmitFire(&flames, NodeEffectEmitter(tree));
}

bool TreeHitByWeapon(ObjNode* weapon, ObjNode* tree, const Point3D* hitPoint, const Vector3D*)
{
    tree = tree->ChainRoot ? tree->ChainRoot : tree;
    if (weapon->Variant == kScreamWeapon) {
        Point3D leaves = {tree->Position.x, gWorkPos.y, tree->Position.z};
        ThrowConfetti(&leaves, 200, PARTICLE_SObjType_Leaf);
        return true;
    }
    bool burning = tree->FloatSlots[1] > 0;
    if (!hitPoint || burning || RandomUnit() >= 0.5f)
        return true;
    tree->FloatSlots[0] = hitPoint->y;
    tree->FloatSlots[1] = kBurnTime;
    InitEffectEmitter(NodeEffectEmitter(tree));
    tree->MoveProc = MoveBurningTree;
    return true;
}
