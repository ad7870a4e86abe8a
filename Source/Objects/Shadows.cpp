// Shadows.cpp: a shadow is a flat custom-drawn node that follows its owner over the ground.
//
// A shadow node keeps its kind (the sprite index) in Variant, its base X and Z scales in FloatSlots[0]
// and [1], and whether objects under the owner can catch it in EventFlags[0].
#include "Objects/ObjectsLocal.h"

constexpr float kShadowOpacity = 0.9f; // of the owner's opacity

void MoveShadowNode(ObjNode* owner)
{
    ObjNode* shadow = owner->Shadow;
    if (!shadow)
        return;

    // The shadow shows, hides and fades with its owner.
    shadow->StatusFlags =
        (shadow->StatusFlags & ~NODEBIT_INVISIBLE) | (owner->StatusFlags & NODEBIT_INVISIBLE);
    shadow->Tint.a = owner->Tint.a * kShadowOpacity;
    shadow->Position = owner->Position;
    shadow->Rotation.y = owner->Rotation.y;

    // Then it drops onto whatever lies below the owner.
    SettleShadowOnSurface(owner);
}
