// Shadows.cpp: a shadow is a flat custom-drawn node that follows its owner over the ground.
//
// A shadow node keeps its kind (the sprite index in the global sprite group) in Variant, its base X and Z
// scales in FloatSlots[0] and [1], and whether objects under the owner can catch it in EventFlags[0].
// Each time its owner commits a move the shadow comes to rest either on the top of a box below the owner
// (objects whose CType carries the shadow-surface bit), at full size, or on the ground, turned to the
// slope and shrinking as the owner rises.
#include <GL/gl.h>
#include <algorithm>

#include "3D/OGL_Support.h"
#include "Objects/ObjectsLocal.h"
#include "Objects/Shadows.h"
#include "System/Alerts.h"
#include "Terrain/Terrain.h"
#include "Terrain/Water.h"

constexpr float kShadowOpacity = 0.9f;         // of the owner's opacity
constexpr float kShadowLift = 2.1f;            // above the surface it lies on, clear of its polygons
constexpr float kShrinkPerUnit = 0.001f;       // of the base size per unit of the owner's height
constexpr float kNoSurface = -100000.0f;       // below anything a shadow can rest on
constexpr float kShadowHalfSize = 20.0f;       // the quad before scaling
constexpr uint32_t kShadowSurfaceCType = 0x80; // collision-type bit: shadows may rest on the boxes

enum
{
    kBaseScaleX = 0, // FloatSlots
    kBaseScaleZ = 1,
    kCheckBlockers = 0, // EventFlags
};

// The sprite of the shadow's kind, flat on the shadow's local ground plane.
static void DrawShadowNode(ObjNode* shadow)
{
    GAME_ASSERT(shadow->Variant >= 0 && shadow->Variant < gNumSpritesInGroupList[SPRITE_GROUP_GLOBAL]);

    OGL_PushState();
    OGL_DisableCullFace(); // seen from below too, through water or from a low camera
    glMultMatrixf(shadow->Transform.value);
    MO_DrawMaterial(gSpriteGroupList[SPRITE_GROUP_GLOBAL][shadow->Variant].materialObject); // at gDrawOpacity

    const float s = kShadowHalfSize;
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(-s, 0, s);
    glTexCoord2f(1, 0);
    glVertex3f(s, 0, s);
    glTexCoord2f(1, 1);
    glVertex3f(s, 0, -s);
    glTexCoord2f(0, 1);
    glVertex3f(-s, 0, -s);
    glEnd();
    gTrianglesDrawn += 2;
    OGL_PopState();
}

ObjNode* MakeShadowNode(ObjNode* owner, int kind, float scaleX, float scaleZ, bool checkBlockers)
{
    float x = owner->Position.x, z = owner->Position.z;

    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.position = {x, TerrainHeightAt(x, z) + kShadowLift, z};
    // After every world object (collision scans stop before it), and after an owner drawn late.
    def.slot = int16_t(owner->Slot > SLOT_OF_FIRST_NON_WORLD ? owner->Slot + 1 : SHADOW_SLOT);
    def.statusFlags = NODEBIT_LIGHTING_OFF | NODEBIT_DEPTH_WRITE_OFF;
    if (gFadeStartDistance != 0.0f)
        def.statusFlags |= NODEBIT_DISTANCE_FADE; // fades out with the level's distant objects
    def.drawProc = DrawShadowNode;
    def.rotationY = owner->Rotation.y;
    def.scale = scaleX;
    ObjNode* shadow = MakeNewObject(&def);

    shadow->Variant = kind;
    shadow->FloatSlots[kBaseScaleX] = scaleX;
    shadow->FloatSlots[kBaseScaleZ] = scaleZ;
    shadow->EventFlags[kCheckBlockers] = checkBlockers ? 1 : 0;
    // Drawable at once, even under an owner that never moves.
    RebuildNodeTransform(shadow);
    owner->Shadow = shadow;
    return shadow;
}

// The highest surface below the owner that can catch its shadow: the top of a shadow-surface box under
// (x, z) that lies below the owner's base or below `reach`. False when there is none.
static bool FindBlockerBelow(const ObjNode* owner, float base, float reach, float* best)
{
    float x = owner->Position.x, z = owner->Position.z;
    bool found = false;
    int count;
    ObjNode* const* world = WorldNodesInListOrder(&count);
    for (int i = 0; i < count; i++) {
        FetchWorldNodeAhead(world, count, i);
        const ObjNode* node = world[i];
        // The owner's own boxes would catch the shadow on its own top.
        if (node == owner || !(node->CType & kShadowSurfaceCType))
            continue;
        for (int i = 0; i < node->HitBoxCount; i++) {
            const CollisionBox* box = &node->HitBoxes[i];
            if (x < box->left || x > box->right || z < box->back || z > box->front)
                continue;
            if (box->top <= base || box->top <= reach) {
                found = true;
                *best = std::max(*best, box->top);
            }
        }
    }
    return found;
}

// Flat on a box top at the base size.
static void RestShadowOn(ObjNode* shadow, float surface)
{
    shadow->Position.y = surface + kShadowLift;
    shadow->Scale.x = shadow->FloatSlots[kBaseScaleX];
    shadow->Scale.z = shadow->FloatSlots[kBaseScaleZ];
    shadow->StatusFlags &= ~NODEBIT_USE_ROT_MATRIX; // the ground's tilt from an earlier frame is gone
    RebuildNodeTransform(shadow);
}

// On the ground, turned to its slope, smaller the higher the owner's base is above it.
static void LayShadowOnGround(ObjNode* shadow, float base)
{
    float groundY = TerrainHeightAt(shadow->Position.x, shadow->Position.z) + kShadowLift;
    float shrink = 1.0f - std::max(0.0f, (base - groundY) * kShrinkPerUnit);
    shadow->Scale.x = std::max(0.0f, shrink * shadow->FloatSlots[kBaseScaleX]);
    shadow->Scale.z = std::max(0.0f, shrink * shadow->FloatSlots[kBaseScaleZ]);
    AlignToTerrain(shadow, kShadowLift, nullptr);
}

void MoveShadowNode(ObjNode* owner)
{
    ObjNode* shadow = owner->Shadow;
    if (!shadow)
        return;

    // 1. The shadow shows, hides and fades with its owner, and stands under it.
    shadow->StatusFlags =
        (shadow->StatusFlags & ~NODEBIT_INVISIBLE) | (owner->StatusFlags & NODEBIT_INVISIBLE);
    shadow->Tint.a = owner->Tint.a * kShadowOpacity;
    shadow->Position = owner->Position;
    shadow->Rotation.y = owner->Rotation.y;
    float base = owner->Position.y + owner->CollisionOffsets.bottom;

    // 2. An object below the owner catches the shadow before the ground does.
    if (shadow->EventFlags[kCheckBlockers]) {
        // Over water the surface catches the shadow unless the ground rises through it.
        float reach = owner->Position.y + owner->CollisionOffsets.top;
        float best = kNoSurface;
        bool found = false;
        float waterY;
        if (WaterHeightAt(owner->Position.x, owner->Position.z, &waterY)) {
            reach = waterY + kShadowLift;
            found = TerrainHeightAt(owner->Position.x, owner->Position.z) < reach;
            if (found)
                best = waterY;
        }
        found |= FindBlockerBelow(owner, base, reach, &best);
        if (found) {
            RestShadowOn(shadow, best);
            return;
        }
    }

    // 3. Otherwise it lies on the ground.
    LayShadowOnGround(shadow, base);
}
