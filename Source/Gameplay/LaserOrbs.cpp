// Laser orbs: a turning orb that fires a beam at the nearest player within reach, for a moment at
// a time, burning whatever the beam strikes first. Some stand on their map item; others roll along
// a spline. Shot down they burst and never return. None are made in easy mode.
//
// The beam's hit routine may delete the orb that fired it (a target whose hit routine blows up
// what hit it). The orb's destroy routine notes that, and the orb's frame ends there without
// touching the orb again.
//
// Node fields used:
//  - orb: Phase 0 idle, 1 firing; Health hit points; Damage what the beam does this frame;
//    IntSlots[0] the target player; FloatSlots[0..2] the aim offset; FloatSlots[3] firing time left;
//    IntSlots[1], IntSlots[2] the sparkles at the beam's ends (-1 none); LoopChannel the beam's hum;
//    ChainNext the top, then the beam node;
//  - beam node: Position the beam's origin, GameVector its direction, FloatSlots[0] its length,
//    FloatSlots[1] the texture's u offset, FloatSlots[2] its opacity, Phase 1 while drawn.

#include "Gameplay/HazardsLocal.h"

#include "3D/OGL_Support.h"
#include "3D/Picking.h"
#include "3D/TQ3D.h"
#include "Gameplay/Player.h"
#include "Objects/Collision.h"
#include "Objects/Shadows.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"
#include "System/Prefs.h"
#include "System/Random.h"
#include "Terrain/SplineObjects.h"

#include <GL/gl.h>

#include <cmath>

static constexpr int kOrbModel = 30;
static constexpr int kOrbTopModel = 31;
static constexpr int kOrbSlot = 2998;
static constexpr int kBeamSlot = 3100;
static constexpr float kOrbScale = 4;
static constexpr uint32_t kOrbCType = 0x70040;
static constexpr float kOrbHealth = 0.4f;
static constexpr float kSightRange = 3700;
static constexpr float kBeamHeight = 268;
static constexpr float kBeamForward = 84;
static constexpr float kMaxBeamSlope = 0.5f; // 30 degrees above or below level
static constexpr uint32_t kBeamHitMask = 0x81B043;
static constexpr float kBeamDamagePerSecond = 0.15f;
static constexpr float kNoHitLength = 10000;
static constexpr float kSplineSpeed = 100;
static constexpr int kBeamSprite = 8; // of the global sprite group
static constexpr uint32_t kBeamStatus = NODEBIT_ADDITIVE | NODEBIT_FOG_OFF | NODEBIT_DEPTH_WRITE_OFF |
                                        NODEBIT_LIGHTING_OFF | NODEBIT_SHOW_BACKFACES | NODEBIT_NO_CULLING;

// The orb whose beam is hitting something right now, and whether it was deleted meanwhile.
static ObjNode* gFiringOrb = nullptr;
static bool gFiringOrbDeleted = false;

static void NoteOrbDeleted(ObjNode* orb)
{
    if (orb == gFiringOrb)
        gFiringOrbDeleted = true;
}

static ObjNode* BeamOf(ObjNode* orb)
{
    ObjNode* top = orb->ChainNext;
    return top ? top->ChainNext : nullptr;
}

static void SetBeamSparkles(ObjNode* orb, ObjNode* beam, const Point3D& from, const Point3D& to)
{
    const Point3D ends[2] = {from, to};
    for (int i = 0; i < 2; i++) {
        int16_t index = int16_t(orb->IntSlots[1 + i]);
        if (index < 0)
            index = AddHazardSparkle(beam, GLINT_ALL_DIRECTIONS | GLINT_FLICKER, i == 0 ? 90 : 140, ends[i],
                                     PARTICLE_SObjType_WhiteGlow);
        if (index >= 0)
            gSparkleTable[index].position = ends[i];
        orb->IntSlots[1 + i] = index;
    }
}

static void StopFiring(ObjNode* orb, ObjNode* beam)
{
    orb->Phase = 0;
    if (beam) {
        beam->Phase = 0;
        for (int i = 0; i < 2; i++) {
            int16_t index = int16_t(orb->IntSlots[1 + i]);
            RemoveHazardSparkle(beam, &index);
            orb->IntSlots[1 + i] = -1;
        }
    }
    StopEffectChannelIfPlaying(&orb->LoopChannel, EFFECT_LASERBEAM);
}

// Hidden from its own beam, the orb looks for the first thing on the beam's line and burns it.
// Returns false when that thing's hit routine deleted the orb.
static bool CastBeam(ObjNode* orb, const Point3D& origin, const Vector3D& dir, float* length)
{
    HideChain(orb);
    PickRay ray = {origin, dir, 0};
    ObjNode* hitNode = nullptr;
    Point3D hitPoint;
    Vector3D hitNormal;
    uint32_t kind = kBeamHitMask;
    bool hit = FindRayHit(&ray, &hitNode, &hitPoint, &hitNormal, &kind);
    ShowChain(orb);
    *length = hit ? ray.distance : kNoHitLength;
    if (!hit || !hitNode || hitNode == orb)
        return true;

    orb->Damage = kBeamDamagePerSecond * gFrameSeconds;
    gFiringOrb = orb;
    gFiringOrbDeleted = false;
    HitWithWeapon(orb, hitNode, &hitPoint, &hitNormal);
    bool survived = !gFiringOrbDeleted;
    gFiringOrb = nullptr;
    gFiringOrbDeleted = false;
    return survived;
}

void MoveLaserOrb(ObjNode* orb)
{
    float dt = gFrameSeconds;
    ObjNode* beam = BeamOf(orb);

    // 1. A standing orb goes with its window.
    if (!(orb->StatusFlags & NODEBIT_SPLINE_DRIVEN) && IsObjectOutOfRange(orb)) {
        DisposeObject(orb);
        return;
    }

    // 2. Idle: a player in sight becomes the target for a burst of fire.
    if (orb->Phase == 0) {
        float distance;
        int player = NearestPlayerTo(orb->Position, &distance);
        if (player >= 0 && distance < kSightRange) {
            orb->IntSlots[0] = player;
            for (int axis = 0; axis < 3; axis++)
                orb->FloatSlots[axis] = RandomSigned() * 150;
            orb->FloatSlots[3] = 0.3f + RandomUnit() * 1.5f;
            orb->Phase = 1;
        }
    } else {
        orb->FloatSlots[3] -= dt;
        if (orb->FloatSlots[3] <= 0 || !IsPlayerLive(orb->IntSlots[0]))
            StopFiring(orb, beam);
    }

    // 3. Firing: aim from the orb's eye at the target, never steeper than 30 degrees, and burn.
    if (orb->Phase == 1 && beam) {
        const Point3D& target = gPlayers[orb->IntSlots[0]].objNode->Position;
        Point3D aim = {target.x + orb->FloatSlots[0], target.y + orb->FloatSlots[1],
                       target.z + orb->FloatSlots[2]};
        Vector3D ground;
        Normalize3XYZ(aim.x - orb->Position.x, 0, aim.z - orb->Position.z, &ground);
        Point3D origin = {orb->Position.x + ground.x * kBeamForward, orb->Position.y + kBeamHeight,
                          orb->Position.z + ground.z * kBeamForward};
        Vector3D dir;
        Normalize3XYZ(aim.x - origin.x, aim.y - origin.y, aim.z - origin.z, &dir);
        if (dir.y > kMaxBeamSlope || dir.y < -kMaxBeamSlope) {
            StopFiring(orb, beam);
        } else {
            float length;
            if (!CastBeam(orb, origin, dir, &length))
                return; // deleted by what it hit: nothing of it may be touched now
            beam->Phase = 1;
            beam->Position = origin;
            beam->GameVector = dir;
            beam->FloatSlots[0] = length;
            beam->FloatSlots[2] = 2 * orb->FloatSlots[3];
            Point3D end = {origin.x + dir.x * length, origin.y + dir.y * length, origin.z + dir.z * length};
            SetBeamSparkles(orb, beam, origin, end);
            KeepLoopPlaying(orb, EFFECT_LASERBEAM, &target, 0.8f, 0.5f);
        }
    }

    // 4. The orb turns; its top follows, scrolling.
    orb->Rotation.y -= 1.8f * dt;
    RebuildNodeTransform(orb);
    if (ObjNode* top = orb->ChainNext) {
        top->Position = orb->Position;
        top->Rotation = orb->Rotation;
        RebuildNodeTransform(top);
        top->TextureOffset.u -= 2.5f * dt;
    }
    if (beam)
        beam->FloatSlots[1] -= 8 * dt;
}

static void MoveLaserOrbOnSpline(ObjNode* orb)
{
    IncreaseSplinePlacement(orb, kSplineSpeed);
    SetPositionFromSpline(orb);
    orb->Position.y = TerrainHeightAt(orb->Position.x, orb->Position.z);
    RebuildNodeTransform(orb);
    MoveShadowNode(orb);
    if (IsSplineObjectInRange(orb))
        MoveLaserOrb(orb);
    else if (orb->Phase == 1)
        StopFiring(orb, BeamOf(orb));
}

// Two crossed quads along the beam, the texture sliding along it.
static void DrawLaserBeam(ObjNode* beam)
{
    if (beam->Phase != 1)
        return;
    int16_t group = SPRITE_GROUP_GLOBAL;
    if (!gSpriteGroupList[group] || gNumSpritesInGroupList[group] <= kBeamSprite)
        return;
    gDrawTint[0] = gDrawTint[1] = gDrawTint[2] = 1;
    gDrawOpacity = std::min(1.0f, beam->FloatSlots[2]);
    MO_DrawMaterial(gSpriteGroupList[group][kBeamSprite].materialObject);
    gDrawOpacity = 1;

    const Point3D& a = beam->Position;
    const Vector3D& dir = beam->GameVector;
    float length = beam->FloatSlots[0];
    Point3D b = {a.x + dir.x * length, a.y + dir.y * length, a.z + dir.z * length};
    Vector3D across;
    Normalize3XYZ(-dir.z, 0, dir.x, &across);
    float u0 = beam->FloatSlots[1], u1 = u0 + length * 0.007f;
    glBegin(GL_QUADS);
    glTexCoord2f(u0, 0), glVertex3f(a.x, a.y - 20, a.z);
    glTexCoord2f(u1, 0), glVertex3f(b.x, b.y - 20, b.z);
    glTexCoord2f(u1, 1), glVertex3f(b.x, b.y + 20, b.z);
    glTexCoord2f(u0, 1), glVertex3f(a.x, a.y + 20, a.z);
    glTexCoord2f(u0, 0), glVertex3f(a.x - across.x * 20, a.y, a.z - across.z * 20);
    glTexCoord2f(u1, 0), glVertex3f(b.x - across.x * 20, b.y, b.z - across.z * 20);
    glTexCoord2f(u1, 1), glVertex3f(b.x + across.x * 20, b.y, b.z + across.z * 20);
    glTexCoord2f(u0, 1), glVertex3f(a.x + across.x * 20, a.y, a.z + across.z * 20);
    glEnd();
}

static bool OrbHitByWeapon(ObjNode* weapon, ObjNode* self, const Point3D*, const Vector3D*)
{
    ObjNode* orb = self->ChainRoot ? self->ChainRoot : self;
    if (orb == weapon)
        return true; // its own beam
    orb->Health -= weapon->Damage;
    if (orb->Health > 0)
        return true;
    Point3D where = orb->Position;
    Point3D raised = {where.x, where.y + 240, where.z};
    PlayEffectAt(EFFECT_TURRETEXPLOSION, &where);
    SpawnGroundRing(where.x, where.y + 240, where.z);
    BurstSparks(&raised, 500, 1, PARTICLE_SObjType_Sparks, 150, 1.0f);
    MakeParticleRing(&raised, 220, 800, PARTICLE_SObjType_WhiteGlow);
    ShatterObject(orb, 600, SHATTER_RADIAL, 3, 1);
    ForgetMapItem(orb);
    DisposeObject(orb);
    return true;
}

ObjNode* MakeLaserOrb(float x, float z)
{
    if (gPrefs.easyMode)
        return nullptr;
    Point3D where = {x, TerrainHeightAt(x, z), z};
    ObjNode* orb = MakeHazardPart(MODEL_GROUP_GLOBAL, kOrbModel, where, kOrbSlot, RandomUnit() * PI2,
                                  kOrbScale, 0, MoveLaserOrb);
    orb->Phase = 0;
    orb->Health = kOrbHealth;
    orb->CType = kOrbCType;
    orb->SolidSides = ALL_SOLID_SIDES;
    orb->WeaponHitProc = OrbHitByWeapon;
    orb->DestroyProc = NoteOrbDeleted;
    orb->HomingOffset = {0, 40, 0};
    orb->IntSlots[1] = orb->IntSlots[2] = -1;
    BoxFromModelBounds(orb, 1, 1);
    MakeShadowNode(orb, 0, 7, 7, false);

    ObjNode* top = AppendHazardPart(orb, MODEL_GROUP_GLOBAL, kOrbTopModel, where, kOrbSlot + 1,
                                    orb->Rotation.y, kOrbScale, NODEBIT_TEXTURE_SCROLL);
    top->CType = kOrbCType;
    top->SolidSides = ALL_SOLID_SIDES;
    top->WeaponHitProc = OrbHitByWeapon;

    ObjectDefinition def = {};
    def.genre = CUSTOM_DRAW_GENRE;
    def.slot = kBeamSlot;
    def.position = where;
    def.statusFlags = kBeamStatus;
    def.drawProc = DrawLaserBeam;
    def.scale = 1;
    ObjNode* beam = MakeNewObject(&def);
    AppendNodeToChain(orb, beam);
    return orb;
}

bool AddLaserOrb(MapItemType* item, float x, float z)
{
    ObjNode* orb = MakeLaserOrb(x, z);
    if (orb)
        orb->TerrainItem = item;
    return true;
}

bool AddLaserOrbOnSpline(int splineIndex, SplineItemType* item)
{
    float x, z;
    SplinePoint(splineIndex, item->placement, &x, &z);
    ObjNode* orb = MakeLaserOrb(x, z);
    if (!orb)
        return true;
    orb->MoveProc = nullptr;
    orb->StatusFlags |= NODEBIT_SPLINE_DRIVEN;
    orb->SplinePos = item->placement;
    orb->SplineItem = item;
    orb->SplineIndex = uint8_t(splineIndex);
    orb->SplineMoveProc = MoveLaserOrbOnSpline;
    UnlinkObject(orb, true);
    AddToSplineObjectList(orb, false);
    return true;
}
