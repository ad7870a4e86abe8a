// EffectsItems.cpp: the level items that are effects, and the shock ring.
//
// Node fields used:
//  - effect emitter (item 34): Variant = kind 0..3 (texture and blend), GeneralBlock = its EffectEmitter;
//  - flying sprite (item 35): IntSlots[0] = animation frame 0..10, FloatSlots[0] = time to the next frame,
//    FloatSlots[1] = frames per second;
//  - ground ring: FloatSlots[0] = fade (opacity, starting above 1 so the ring stays solid a moment).
#include "3D/OGL_Support.h"
#include "Gameplay/EffectsLocal.h"
#include "System/FrameRate.h"
#include "System/Random.h"
#include "Terrain/Terrain.h"
#include "Terrain/Water.h"

static_assert(sizeof(EffectEmitter) <= sizeof(ObjNode::GeneralBlock), "the emitter lives in GeneralBlock");

static EffectEmitter* NodeEmitter(ObjNode* node)
{
    return reinterpret_cast<EffectEmitter*>(node->GeneralBlock);
}

// The ground, or the water over it.
static float SurfaceHeightAt(float x, float z)
{
    float y = TerrainHeightAt(x, z);
    float waterY;
    if (WaterHeightAt(x, z, &waterY) && waterY > y)
        y = waterY;
    return y;
}

// ---------------------------------------------------------------------------------------------------------
// Effect emitter
// ---------------------------------------------------------------------------------------------------------

static const uint8_t kEmitterTexture[4] = {PARTICLE_SObjType_WhitePuff, PARTICLE_SObjType_BlackSmoke,
                                           PARTICLE_SObjType_OrangeGlow, PARTICLE_SObjType_BlueGlow};

bool AddEffectEmitter(MapItemType* item, float x, float z)
{
    ObjectDefinition def = {};
    def.genre = INVISIBLE_GENRE;
    def.slot = EFFECT_EMITTER_SLOT;
    def.position = {x, SurfaceHeightAt(x, z), z};
    def.moveProc = UpdateEmitterItem;
    def.scale = 1;
    ObjNode* node = MakeNewObject(&def);
    // A kind the game does not know (a damaged level file) emits the first kind rather than reading past
    // the texture table.
    node->Variant = item->parm[0] < 4 ? item->parm[0] : 0;
    node->TerrainItem = item;
    InitEffectEmitter(NodeEmitter(node));
    return true;
}

void UpdateEmitterItem(ObjNode* node)
{
    if (IsObjectOutOfRange(node)) {
        DisposeObject(node);
        return;
    }
    float x = node->Position.x, z = node->Position.z;
    node->Position.y = TerrainHeightAt(x, z);
    float y = node->Position.y;

    EffectEmitter* emitter = NodeEmitter(node);
    if (!EmitterIsDue(emitter, 0.06f))
        return;
    int kind = node->Variant & 3;
    ParticleGroupSpec def = {};
    def.flags = PGROUP_IGNORE_GROUND;
    def.gravity = 100;
    def.baseSize = 25;
    def.shrinkRate = -0.7f;
    def.fadeSpeed = 0.3f;
    def.spriteIndex = kEmitterTexture[kind];
    def.blendSource = EFFECT_BLEND_SRC_ALPHA;
    def.blendDest = kind < 2 ? EFFECT_BLEND_ONE_MINUS_SRC_ALPHA : EFFECT_BLEND_ONE;
    if (EmitterGroup(emitter, &def) == -1)
        return;
    for (int i = 0; i < 2; i++) {
        Point3D p = {x + RandomSigned() * 50, y + RandomUnit() * 10, z + RandomSigned() * 50};
        Vector3D v = {RandomSigned() * 80, RandomUnit() * 75 + 300, RandomSigned() * 80};
        ParticleSpec particle = {};
        particle.position = &p;
        particle.velocity = &v;
        particle.scale = RandomUnit() + 1;
        particle.spin = RandomUnit() * PI2;
        particle.spinRate = RandomSigned() * 1.2f;
        particle.alpha = 0.8f;
        if (!EmitterAdd(emitter, &particle))
            break;
    }
}

// ---------------------------------------------------------------------------------------------------------
// Flying sprite
// ---------------------------------------------------------------------------------------------------------

static constexpr uint32_t kFlyingSpriteFlags =
    NODEBIT_LIGHTING_OFF | NODEBIT_SHOW_BACKFACES | NODEBIT_DEPTH_WRITE_OFF;

bool AddFlyingSprites(MapItemType* item, float x, float z)
{
    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = FLYING_SPRITE_SLOT;
    def.position = {x, SurfaceHeightAt(x, z), z};
    def.statusFlags = kFlyingSpriteFlags;
    def.moveProc = AnimateFlyingSprite;
    def.drawProc = RenderFlyingSprite;
    def.scale = 1.0f + RandomUnit() * 0.8f;
    ObjNode* node = MakeNewObject(&def);
    node->TerrainItem = item;
    node->IntSlots[0] = RandomInt(0, FLYING_SPRITE_FRAMES - 1);
    node->FloatSlots[0] = 0;
    node->FloatSlots[1] = 20 + RandomUnit() * 2;
    return true;
}

void AnimateFlyingSprite(ObjNode* node)
{
    if (IsObjectOutOfRange(node)) {
        DisposeObject(node);
        return;
    }
    node->FloatSlots[0] -= gFrameSeconds * node->FloatSlots[1];
    if (node->FloatSlots[0] <= 0) {
        node->IntSlots[0] = (node->IntSlots[0] + 1) % FLYING_SPRITE_FRAMES;
        node->FloatSlots[0] += 1;
    }
}

void RenderFlyingSprite(ObjNode* node)
{
    static const Vector3D kUp = {0, 1, 0};
    float s = node->Scale.x;
    const Point3D corners[4] = {
        {-100 * s, 200 * s, 0}, {100 * s, 200 * s, 0}, {100 * s, 0, 0}, {-100 * s, 0, 0}};
    Point3D eye = PaneEyePosition(gCurrentPane);
    Matrix4x4 orient;
    MatrixOrientToward(&orient, &kUp, &node->Position, &eye);
    Point3D quad[4];
    TransformPoints(corners, &orient, quad, 4);

    int frame = node->IntSlots[0];
    if (frame < 0 || frame >= FLYING_SPRITE_FRAMES)
        frame = 0;
    gDrawTint[0] = 1, gDrawTint[1] = 0.8f, gDrawTint[2] = 0.8f;
    MO_DrawMaterial(ParticleTexture(PARTICLE_SObjType_FlyingSprite0 + frame));
    static const float kUVs[4][2] = {{0, 0}, {0.99f, 0}, {0.99f, 0.99f}, {0, 0.99f}};
    glBegin(GL_QUADS);
    for (int c = 0; c < 4; c++) {
        glTexCoord2f(kUVs[c][0], kUVs[c][1]);
        glVertex3f(quad[c].x, quad[c].y, quad[c].z);
    }
    glEnd();
    gFrameStats.drawCalls++;
    gDrawTint[0] = gDrawTint[1] = gDrawTint[2] = 1;
}

// ---------------------------------------------------------------------------------------------------------
// Shock ring
// ---------------------------------------------------------------------------------------------------------

static constexpr uint32_t kGroundRingFlags = NODEBIT_ADDITIVE | NODEBIT_DEPTH_WRITE_OFF |
                                             NODEBIT_LIGHTING_OFF | NODEBIT_SHOW_BACKFACES |
                                             NODEBIT_NO_CULLING | NODEBIT_CLAMP_UV;

static void MoveGroundRing(ObjNode* node)
{
    float& fade = node->FloatSlots[0];
    fade -= 2 * gFrameSeconds;
    if (fade <= 0) {
        DisposeObject(node);
        return;
    }
    float size = node->Scale.z + 1500 * gFrameSeconds;
    node->Scale = {size, size, size};
}

static void DrawGroundRing(ObjNode* node)
{
    float x = node->Position.x, y = node->Position.y, z = node->Position.z;
    float s = node->Scale.x;
    gDrawOpacity = node->FloatSlots[0];
    MO_DrawMaterial(ParticleTexture(PARTICLE_SObjType_ShockRing));
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0.99f);
    glVertex3f(x - s, y, z + s);
    glTexCoord2f(0.99f, 0.99f);
    glVertex3f(x - s, y, z - s);
    glTexCoord2f(0.99f, 0);
    glVertex3f(x + s, y, z - s);
    glTexCoord2f(0, 0);
    glVertex3f(x + s, y, z + s);
    glEnd();
    gFrameStats.drawCalls++;
    gDrawOpacity = 1;
}

void SpawnGroundRing(float x, float y, float z)
{
    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = GROUND_RING_SLOT;
    def.position = {x, y, z};
    def.statusFlags = kGroundRingFlags;
    def.moveProc = MoveGroundRing;
    def.drawProc = DrawGroundRing;
    def.scale = 100;
    ObjNode* node = MakeNewObject(&def);
    node->FloatSlots[0] = 1.5f;
}
