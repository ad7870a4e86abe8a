// Tower turrets: a tower whose head turns toward the nearest player, pitches its gun and fires
// glowing shots while the player is in range and in its sights. Shot down, the whole tower breaks
// apart and never returns.
//
// Node fields used:
//  - base: Health hit points, FloatSlots[0] the gun's fire timer, IntSlots[0] the muzzle sparkle
//    (-1 none); ChainNext head, then the wheel (part 3), the gun and the glow;
//  - shot: Health lifetime left, Damage, Velocity.

#include "Gameplay/HazardsLocal.h"

#include "3D/Picking.h"
#include "3D/TQ3D.h"
#include "Gameplay/ItemsLocal.h"
#include "Gameplay/Player.h"
#include "Objects/Collision.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"
#include "System/LevelGlobals.h"
#include "System/Prefs.h"
#include "System/Random.h"

#include <initializer_list>

#include <cmath>

static constexpr float kTurretScale = 2.5f;
static constexpr int kBaseSlot = 331;
static constexpr int kGlowModel = 21;
static constexpr int kShotModel = 22;
static constexpr int kGlowSlot = 3000;
static constexpr int kShotSlot = 2999;
static constexpr float kTurretHealth = 0.8f;
static constexpr uint32_t kPartCType = 0x70000;
static constexpr float kTurnSpeed = 1.5707964f;
static constexpr float kFireInterval = 0.3f;
static constexpr float kShotSpeed = 3000;
static constexpr float kShotDamage = 0.08f;
static constexpr uint32_t kShotHitMask = 0x3043;
static constexpr uint32_t kShotStatus = NODEBIT_ADDITIVE | NODEBIT_FOG_OFF | NODEBIT_DEPTH_WRITE_OFF |
                                        NODEBIT_LIGHTING_OFF | NODEBIT_USE_ROT_MATRIX |
                                        NODEBIT_SHOW_BACKFACES | NODEBIT_CLAMP_UV;

static const Point3D kWheelOnHead = {31.837f, 282.548f, 0};
static const Point3D kGunOnHead = {0, 283.141f, 0};
static const Point3D kMuzzleOnGun = {-61, 0, -115};

static int TurretBaseModel()
{
    switch (gItemLevel.levelIndex) {
    case 1:
    case 4:
    case 6:
        return 48;
    case 2:
    case 3:
    case 7:
        return 33;
    default: // the forest levels; indexes past the table were refused by the art check
        return 46;
    }
}

struct TurretParts
{
    ObjNode *base, *head, *wheel, *gun, *glow;
};

static TurretParts PartsOf(ObjNode* base)
{
    TurretParts parts = {base, nullptr, nullptr, nullptr, nullptr};
    parts.head = base->ChainNext;
    parts.wheel = parts.head ? parts.head->ChainNext : nullptr;
    parts.gun = parts.wheel ? parts.wheel->ChainNext : nullptr;
    parts.glow = parts.gun ? parts.gun->ChainNext : nullptr;
    return parts;
}

// The wheel, the gun and the glow follow the head.
static void PlaceTurretParts(const TurretParts& parts)
{
    RebuildNodeTransform(parts.head);
    TransformPoint(&kWheelOnHead, &parts.head->Transform, &parts.wheel->Position);
    parts.wheel->Rotation.y = parts.head->Rotation.y;
    RebuildNodeTransform(parts.wheel);
    TransformPoint(&kGunOnHead, &parts.head->Transform, &parts.gun->Position);
    parts.gun->Rotation.y = parts.head->Rotation.y;
    RebuildNodeTransform(parts.gun);
    parts.glow->Position = parts.head->Position;
    parts.glow->Rotation = parts.head->Rotation;
    RebuildNodeTransform(parts.glow);
}

// ---------------------------------------------------------------------------------------------------------
// Shots
// ---------------------------------------------------------------------------------------------------------

static void MoveTurretShot(ObjNode* shot)
{
    float dt = gFrameSeconds;

    // 1. Burnt out.
    shot->Health -= dt;
    if (shot->Health <= 0) {
        DisposeObject(shot);
        return;
    }

    // 2. Fly, and test the way flown and a little ahead.
    Point3D old = shot->Position;
    shot->Position.x += shot->Velocity.x * dt;
    shot->Position.y += shot->Velocity.y * dt;
    shot->Position.z += shot->Velocity.z * dt;
    RebuildNodeTransform(shot);
    Vector3D dir;
    Normalize3(&shot->Velocity, &dir);
    PickSegment segment = {
        old, {shot->Position.x + dir.x * 50, shot->Position.y + dir.y * 50, shot->Position.z + dir.z * 50}};
    ObjNode* hitNode = nullptr;
    Point3D hitPoint;
    Vector3D hitNormal;
    uint32_t kind = kShotHitMask;
    if (!FindSegmentHit(&segment, &hitNode, &hitPoint, &hitNormal, &kind, true))
        return;

    // 3. The hit: what was struck is hurt, dirt or sparks fly, and the shot is gone.
    if (kind == 0 && hitNode)
        HitWithWeapon(shot, hitNode, &hitPoint, &hitNormal);
    if (kind == CT_TERRAIN)
        ThrowConfetti(&hitPoint, 130, PARTICLE_SObjType_Dirt);
    else
        BurstSparks(&hitPoint, 167, 1, PARTICLE_SObjType_Sparks, 50, 1.0f);
    PlayEffectAt(EFFECT_IMPACTSIZZLE, &hitPoint);
    DisposeObject(shot);
}

static void FireTurret(const TurretParts& parts)
{
    ObjNode* base = parts.base;
    base->FloatSlots[0] = kFireInterval;
    Point3D muzzle;
    TransformPoint(&kMuzzleOnGun, &parts.gun->Transform, &muzzle);

    // 1. The muzzle flash.
    int16_t flash = base->IntSlots[0];
    RemoveHazardSparkle(parts.gun, &flash);
    base->IntSlots[0] = AddHazardSparkle(parts.gun, GLINT_ALL_DIRECTIONS | GLINT_FLICKER, 200, muzzle,
                                         PARTICLE_SObjType_WhiteGlow);

    // 2. The shot, along the gun.
    ObjNode* shot =
        MakeHazardPart(MODEL_GROUP_GLOBAL, kShotModel, muzzle, kShotSlot, 0, 3, kShotStatus, MoveTurretShot);
    MatrixRotateXYZ(&shot->RotMatrix, parts.gun->Rotation.x, parts.gun->Rotation.y, 0);
    RebuildNodeTransform(shot);
    const Vector3D forward = {0, 0, -1};
    Vector3D dir;
    TransformVector(&forward, &shot->RotMatrix, &dir);
    shot->Velocity = {dir.x * kShotSpeed, dir.y * kShotSpeed, dir.z * kShotSpeed};
    shot->Variant = 0;
    shot->Tint.a = 0.99f;
    shot->Health = 1.0f;
    shot->Damage = kShotDamage;
    AddHazardSparkle(shot, GLINT_ALL_DIRECTIONS | GLINT_OWNER_SPACE, 350, {0, 0, 0},
                     PARTICLE_SObjType_WhiteGlow);
    PlayEffectAt(EFFECT_TURRETFIRE, &muzzle);
}

// ---------------------------------------------------------------------------------------------------------
// The turret
// ---------------------------------------------------------------------------------------------------------

static void AimAndFire(const TurretParts& parts, float dt)
{
    ObjNode* base = parts.base;
    base->FloatSlots[0] -= dt;
    float distance;
    int player = NearestPlayerTo(base->Position, &distance);
    float range = gLevelIndex == 0 ? 2000.0f : 3000.0f;
    if (player < 0 || distance >= 1.2f * range) {
        parts.head->Rotation.y += dt;
        return;
    }
    const Point3D inFront = {0, 0, -150};
    Point3D aim, muzzle;
    TransformPoint(&inFront, &gPlayers[player].objNode->Transform, &aim);
    TransformPoint(&kMuzzleOnGun, &parts.gun->Transform, &muzzle);
    float headingError = TurnTowardOnY(parts.head, &muzzle, aim.x, aim.z, kTurnSpeed, false, nullptr);
    float pitchError = TurnTowardOnX(parts.gun, nullptr, &aim, kTurnSpeed);
    PlaceTurretParts(parts);
    if (std::fabs(headingError) < PI / 4 && std::fabs(pitchError) < 1.0471976f && distance < range &&
        base->FloatSlots[0] <= 0)
        FireTurret(parts);
}

static void MoveTurret(ObjNode* base)
{
    // 1. Gone with its window.
    if (IsObjectOutOfRange(base)) {
        DisposeObject(base);
        return;
    }
    TurretParts parts = PartsOf(base);
    if (!parts.glow)
        return;
    float dt = gFrameSeconds;

    // 2. Turn idly, or track the nearest player and fire.
    if (gPrefs.easyMode)
        parts.head->Rotation.y += dt;
    else
        AimAndFire(parts, dt);

    // 3. The parts follow the head; the wheel spins.
    parts.wheel->Rotation.z += PI2 * dt;
    PlaceTurretParts(parts);

    // 4. The muzzle flash fades.
    int16_t flash = int16_t(base->IntSlots[0]);
    if (flash >= 0) {
        SparkleRecord& sparkle = gSparkleTable[flash];
        sparkle.color[3] -= 4 * dt;
        if (sparkle.color[3] <= 0) {
            RemoveHazardSparkle(parts.gun, &flash);
            base->IntSlots[0] = -1;
        }
    }
}

static bool TurretHitByWeapon(ObjNode* weapon, ObjNode* self, const Point3D*, const Vector3D*)
{
    ObjNode* base = self->ChainRoot ? self->ChainRoot : self;
    base->Health -= weapon->Damage;
    if (base->Health > 0)
        return true;
    Point3D where = base->Position;
    PlayEffectAtRate(EFFECT_TURRETEXPLOSION, &where, kNormalRate, 2);
    ShatterObject(base, 240 + RandomUnit() * 50, SHATTER_RADIAL, 1, 0.6f);
    MakeRisingFire(&where, 150, 1000);
    Point3D ring = {where.x, where.y + 550, where.z};
    MakeParticleRing(&ring, 200, 600, PARTICLE_SObjType_Fire);
    ForgetMapItem(base);
    DisposeObject(base);
    return true;
}

bool AddTowerTurret(MapItemType* item, float x, float z)
{
    int model = TurretBaseModel();
    for (int part = 0; part < 4; part++)
        RequireLevelModel("AddTowerTurret", model + part);
    float y = LowestTerrainUnderModel(x, z, MODEL_GROUP_LEVELSPECIFIC, model, kTurretScale);
    Point3D where = {x, y, z};
    float heading = RandomItemHeading();

    ObjNode* base = MakeHazardPart(MODEL_GROUP_LEVELSPECIFIC, model, where, kBaseSlot, heading, kTurretScale,
                                   0, MoveTurret);
    base->TerrainItem = item;
    base->CType = 0x40;
    base->SolidSides = ALL_SOLID_SIDES;
    BoxFromModelBounds(base, 1, 1);
    base->Health = kTurretHealth;
    base->IntSlots[0] = -1;

    TurretParts parts = {base, nullptr, nullptr, nullptr, nullptr};
    parts.head = AppendHazardPart(base, MODEL_GROUP_LEVELSPECIFIC, model + 1, where, kBaseSlot + 1, heading,
                                  kTurretScale, 0);
    parts.head->WeaponHitProc = TurretHitByWeapon;
    parts.head->HomingOffset = {0, 300, 0};
    parts.wheel = AppendHazardPart(base, MODEL_GROUP_LEVELSPECIFIC, model + 2, where, kBaseSlot + 2, heading,
                                   kTurretScale, NODEBIT_ROT_ZXY);
    parts.gun = AppendHazardPart(base, MODEL_GROUP_LEVELSPECIFIC, model + 3, where, kBaseSlot + 3, heading,
                                 kTurretScale, 0);
    for (ObjNode* part : {parts.head, parts.wheel, parts.gun}) {
        part->CType = kPartCType;
        part->SolidSides = ALL_SOLID_SIDES;
    }
    parts.glow = AppendHazardPart(base, MODEL_GROUP_GLOBAL, kGlowModel, where, kGlowSlot, heading,
                                  kTurretScale, NODEBIT_ADDITIVE);
    PlaceTurretParts(parts);
    return true;
}
