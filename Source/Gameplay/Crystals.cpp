// Crystals: a shot shatters a crystal off its base with a shock ring that spreads over the ground
// and breaks what it reaches, other crystals too. The base stays, and comes back alone.
//
// Node fields used: the crystal top has no fields of its own (its base is ChainRoot); the shock
// ring keeps its opacity in Tint.a and its Damage.

#include "Gameplay/HazardsLocal.h"

#include "3D/TQ3D.h"
#include "Objects/Collision.h"
#include "Sound/GameSound.h"
#include "System/FrameRate.h"
#include "System/Random.h"

static constexpr uint32_t kCrystalCType = 0x830040;
static constexpr int kRingModel = 4; // of the weapons models
static constexpr int kRingSlot = 3040;
static constexpr float kRingDamage = 0.8f;
static constexpr uint32_t kRingBlastMask = 0x18003;

static void SpreadShockRing(ObjNode* ring)
{
    float dt = gFrameSeconds;
    ring->Tint.a -= 1.4f * dt;
    if (ring->Tint.a <= 0) {
        DisposeObject(ring);
        return;
    }
    float scale = ring->Scale.x + 220 * dt;
    ring->Scale = {scale, scale, scale};
    RebuildNodeTransform(ring);
    BlastNearbyObjects(ring, kRingBlastMask);
}

static bool ShatterCrystal(ObjNode*, ObjNode* crystal, const Point3D*, const Vector3D*)
{
    ObjNode* base = crystal->ChainRoot;
    Point3D where = crystal->Position;
    uint32_t rate = uint32_t(float(kNormalRate) * (1 + RandomUnit() * 0.25f));
    PlayEffectAtRate(EFFECT_CRYSTALSHATTER, &where, rate, 2);
    Point3D middle = {where.x, where.y + 100, where.z};
    BurstSparks(&middle, 733, 1.5f, PARTICLE_SObjType_StarSparkle, 220, 0.8f);
    ShatterObject(crystal, 600, SHATTER_RADIAL, 1, 1);

    Point3D ringAt = base ? base->Position : where;
    ObjNode* ring =
        MakeHazardPart(MODEL_GROUP_WEAPONS, kRingModel, ringAt, kRingSlot, 0, 1,
                       NODEBIT_ADDITIVE | NODEBIT_LIGHTING_OFF | NODEBIT_DEPTH_WRITE_OFF, SpreadShockRing);
    ring->Tint.a = 0.8f;
    ring->Damage = kRingDamage;

    if (base) {
        base->ChainNext = nullptr;
        MarkMapItemSpent(base);
    }
    DisposeObject(crystal);
    return true;
}

void MakeCrystalShatterable(ObjNode* crystal)
{
    crystal->CType = kCrystalCType;
    crystal->SolidSides = ALL_SOLID_SIDES;
    crystal->WeaponHitProc = ShatterCrystal;
    crystal->HomingOffset = {0, 50, 0};
}
