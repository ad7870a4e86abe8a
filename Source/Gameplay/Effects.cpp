// Effects.cpp: the named effects built on the particle engine. One-off effects make a fresh group per
// call; continuous ones follow the emitter pattern with the EffectEmitter their owner keeps.
//
// Random numbers are drawn in the order the fields are listed (brace initialisers evaluate left to right),
// so a replayed game sees the same effects.
#include "Gameplay/EffectsLocal.h"
#include "Sound/GameSound.h"
#include "System/Random.h"
#include "Terrain/Terrain.h"
#include "Terrain/Water.h"

#include <cmath>

static ParticleGroupSpec GroupSpec(uint32_t flags, float gravity, float baseSize, float shrinkRate,
                                   float fadeSpeed, int texture, bool additive)
{
    ParticleGroupSpec def = {};
    def.flags = flags;
    def.gravity = gravity;
    def.baseSize = baseSize;
    def.shrinkRate = shrinkRate;
    def.fadeSpeed = fadeSpeed;
    def.spriteIndex = uint8_t(texture);
    def.blendSource = EFFECT_BLEND_SRC_ALPHA;
    def.blendDest = additive ? EFFECT_BLEND_ONE : EFFECT_BLEND_ONE_MINUS_SRC_ALPHA;
    return def;
}

static ParticleSpec Particle(const Point3D* position, const Vector3D* velocity, float scale, float spin,
                             float spinRate, float alpha)
{
    return ParticleSpec{-1, position, velocity, scale, spin, spinRate, alpha};
}

// ---------------------------------------------------------------------------------------------------------
// The player's effects
// ---------------------------------------------------------------------------------------------------------

void KickUpGroundDust(ObjNode*, EffectEmitter* emitter)
{
    if (!EmitterIsDue(emitter, 0.04f))
        return;
    ParticleGroupSpec def =
        GroupSpec(PGROUP_BOUNCE | PGROUP_FACE_EACH, 1000, 10, -2, 1.0f, PARTICLE_SObjType_GroundDust, false);
    if (EmitterGroup(emitter, &def) == -1)
        return;
    float x = gWorkPos.x, z = gWorkPos.z;
    float ground = TerrainHeightAt(x, z);
    for (int i = 0; i < 3; i++) {
        Point3D p = {x + RandomSigned() * 5, ground + 10 + RandomUnit() * 5, z + RandomSigned() * 5};
        Vector3D v = {RandomSigned() * 90, RandomUnit() * 400, RandomSigned() * 90};
        float scale = RandomUnit() * 0.5f + 1;
        float spin = RandomUnit() * PI2;
        float spinRate = RandomSigned() * 10;
        float alpha = RandomUnit() * 0.2f + 0.4f;
        ParticleSpec particle = Particle(&p, &v, scale, spin, spinRate, alpha);
        if (!EmitterAdd(emitter, &particle))
            break;
    }
}

void SplashIntoWater(const Point3D* point, float size)
{
    ParticleGroupSpec def =
        GroupSpec(PGROUP_FACE_EACH, 400, 15 * size, -0.6f, 0.8f, PARTICLE_SObjType_Splash, true);
    int16_t group = CreateParticleGroup(&def);
    if (group != -1) {
        for (int i = 0; i < 30; i++) {
            Point3D p = {point->x + RandomSigned() * 30 * size, point->y,
                         point->z + RandomSigned() * 30 * size};
            Vector3D v = {RandomSigned() * 200 * size, RandomUnit() * 150 * size,
                          RandomSigned() * 200 * size};
            float scale = RandomUnit() + 1;
            float spinRate = RandomSigned() * PI2;
            ParticleSpec particle = Particle(&p, &v, scale, 0, spinRate, 1);
            particle.group = group;
            if (AddParticleToGroup(&particle))
                break;
        }
    }
    SpawnRipple(point, 25, 150, 0.5f);
    PlayEffectAtRate(EFFECT_SPLASH, point, kNormalRate, 1.5f);
}

void SkimWaterSpray(ObjNode* node, EffectEmitter* emitter, float x, float y, float z)
{
    if (!EmitterIsDue(emitter, 0.05f))
        return;
    ParticleGroupSpec def = GroupSpec(0, 800, 10, -1.7f, 1.5f, PARTICLE_SObjType_Splash, true);
    int16_t group = EmitterGroup(emitter, &def);
    if (group == -1)
        return;
    for (int i = 0; i < 6; i++) {
        Point3D p = {x + RandomSigned() * 20, y, z + RandomSigned() * 20};
        Vector3D v = {node->MotionDir.x * 200 + RandomSigned() * 40, RandomUnit() * 200 + 200,
                      node->MotionDir.z * 200 + RandomSigned() * 40};
        float scale = RandomUnit() * 0.5f + 1;
        ParticleSpec particle = Particle(&p, &v, scale, 0, 0, 1);
        particle.group = group;
        // The spray keeps its group when it fills: the next time finds it gone or emptier.
        if (AddParticleToGroup(&particle))
            break;
    }
}

void BurstSparks(const Point3D* position, float force, float size, int texture, int maxCount, float fadeSpeed)
{
    ParticleGroupSpec def = GroupSpec(PGROUP_BOUNCE, 200, 15 * size, 0, fadeSpeed, texture, true);
    int16_t group = CreateParticleGroup(&def);
    if (group == -1)
        return;
    int count = int(force * 0.3f);
    if (maxCount != 0 && count > maxCount)
        count = maxCount;
    for (int i = 0; i < count; i++) {
        Point3D p = {position->x + RandomSigned() * 30 * size, position->y + RandomSigned() * 30 * size,
                     position->z + RandomSigned() * 30 * size};
        Vector3D out;
        Normalize3XYZ(p.x - position->x, p.y - position->y, p.z - position->z, &out);
        Vector3D v = {out.x * size * force, out.y * size * force, out.z * size * force};
        float scale = RandomUnit() * 0.5f + 1;
        ParticleSpec particle = Particle(&p, &v, scale, 0, 0, 1);
        particle.group = group;
        if (AddParticleToGroup(&particle))
            break;
    }
}

void PuffDamageSmoke(const Point3D* point, EffectEmitter* emitter)
{
    if (!EmitterIsDue(emitter, 0.02f))
        return;
    ParticleGroupSpec def =
        GroupSpec(PGROUP_IGNORE_GROUND, -60, 20, -0.8f, 0.9f, PARTICLE_SObjType_BlackSmoke, false);
    if (EmitterGroup(emitter, &def) == -1)
        return;
    for (int i = 0; i < 2; i++) {
        Point3D p = {point->x + RandomSigned() * 10, point->y + RandomSigned() * 10,
                     point->z + RandomSigned() * 10};
        Vector3D v = {RandomSigned() * 30, RandomUnit() * 40 + 40, RandomSigned() * 30};
        float scale = RandomUnit() * 0.5f + 1;
        float spin = RandomUnit() * PI2;
        float spinRate = RandomSigned();
        ParticleSpec particle = Particle(&p, &v, scale, spin, spinRate, 0.6f);
        if (!EmitterAdd(emitter, &particle))
            break;
    }
}

// ---------------------------------------------------------------------------------------------------------
// Hazards' continuous effects
// ---------------------------------------------------------------------------------------------------------

void PuffSmoke(ObjNode*, EffectEmitter* emitter, float x, float y, float z)
{
    if (!EmitterIsDue(emitter, 0.05f))
        return;
    ParticleGroupSpec def =
        GroupSpec(PGROUP_IGNORE_GROUND, 0, 36, -0.2f, 0.2f, PARTICLE_SObjType_BlackSmoke, false);
    if (EmitterGroup(emitter, &def) == -1)
        return;
    for (int i = 0; i < 2; i++) {
        Point3D p = {x + RandomSigned() * 72, y + RandomUnit() * 90, z + RandomSigned() * 72};
        Vector3D v = {RandomSigned() * 36, RandomUnit() * 72 + 150, RandomSigned() * 36};
        float scale = RandomUnit() + 1;
        float spin = RandomUnit() * PI2;
        float spinRate = RandomSigned();
        ParticleSpec particle = Particle(&p, &v, scale, spin, spinRate, 0.7f);
        if (!EmitterAdd(emitter, &particle))
            break;
    }
}

void EmitGas(const Point3D* point, EffectEmitter* emitter)
{
    if (!EmitterIsDue(emitter, 0.05f))
        return;
    ParticleGroupSpec def =
        GroupSpec(PGROUP_IGNORE_GROUND, 100, 15, -2.5f, 0.25f, PARTICLE_SObjType_Gas, false);
    if (EmitterGroup(emitter, &def) == -1)
        return;
    for (int i = 0; i < 2; i++) {
        Point3D p = {point->x + RandomSigned() * 15, point->y + RandomUnit() * 10,
                     point->z + RandomSigned() * 15};
        Vector3D v = {RandomSigned() * 30, 300 + RandomUnit() * 150, RandomSigned() * 30};
        float scale = 1 + RandomUnit();
        float spin = RandomUnit() * PI2;
        ParticleSpec particle = Particle(&p, &v, scale, spin, 0, 0.6f);
        if (!EmitterAdd(emitter, &particle))
            break;
    }
}

void EmitFire(const Point3D* point, EffectEmitter* emitter)
{
    if (!EmitterIsDue(emitter, 0.04f))
        return;
    ParticleGroupSpec def = GroupSpec(PGROUP_IGNORE_GROUND, -200, 40, 0, 0.6f, PARTICLE_SObjType_Fire, true);
    if (EmitterGroup(emitter, &def) == -1)
        return;
    for (int i = 0; i < 3; i++) {
        Point3D p = {point->x + RandomSigned() * 25, point->y + RandomSigned() * 15,
                     point->z + RandomSigned() * 25};
        Vector3D v = {0, 400 + RandomSigned() * 30, 0};
        float scale = RandomUnit() * 0.5f + 1;
        ParticleSpec particle = Particle(&p, &v, scale, 0, 0, 1);
        if (!EmitterAdd(emitter, &particle))
            break;
    }
}

void EmitDustDevilDust(const Point3D* point, EffectEmitter* emitter)
{
    if (!EmitterIsDue(emitter, 0.08f))
        return;
    ParticleGroupSpec def = GroupSpec(PGROUP_IGNORE_GROUND | PGROUP_FACE_EACH, -40, 30, -0.5f, 0.5f,
                                      PARTICLE_SObjType_GroundDust, false);
    if (EmitterGroup(emitter, &def) == -1)
        return;
    for (int i = 0; i < 2; i++) {
        float dx = RandomSigned() * 190, dz = RandomSigned() * 190;
        Point3D p = {point->x + dx, point->y + RandomUnit() * 30, point->z + dz};
        Vector3D out;
        Normalize3XYZ(dx, 0, dz, &out);
        Vector3D v = {out.x * 250, 0, out.z * 250};
        float scale = RandomUnit() + 1;
        float spin = RandomUnit() * PI2;
        float spinRate = RandomSigned() * 2;
        ParticleSpec particle = Particle(&p, &v, scale, spin, spinRate, 0.6f);
        if (!EmitterAdd(emitter, &particle))
            break;
    }
}

void ThrowDirt(const Point3D* point, EffectEmitter* emitter)
{
    if (!EmitterIsDue(emitter, 0.03f))
        return;
    ParticleGroupSpec def = GroupSpec(PGROUP_FACE_EACH, 2000, 20, 0.3f, 0.4f, PARTICLE_SObjType_Dirt, false);
    if (EmitterGroup(emitter, &def) == -1)
        return;
    for (int i = 0; i < 4; i++) {
        Point3D p = {point->x + RandomSigned() * 160, point->y, point->z + RandomSigned() * 160};
        Vector3D v = {RandomSigned() * 450, 900 + RandomUnit() * 300, RandomSigned() * 450};
        float scale = 1 + RandomUnit() * 1.5f;
        float spin = RandomUnit() * PI2;
        float spinRate = RandomSigned() * 5;
        ParticleSpec particle = Particle(&p, &v, scale, spin, spinRate, 1);
        if (!EmitterAdd(emitter, &particle))
            break;
    }
}

void EmitSmokeTrail(const Point3D* point, EffectEmitter* emitter)
{
    if (!EmitterIsDue(emitter, 0.03f))
        return;
    ParticleGroupSpec def =
        GroupSpec(PGROUP_IGNORE_GROUND, -30, 20, -1.0f, 1.2f, PARTICLE_SObjType_GreySmoke, false);
    if (EmitterGroup(emitter, &def) == -1)
        return;
    for (int i = 0; i < 4; i++) {
        Point3D p = {point->x + RandomSigned() * 10, point->y + RandomSigned() * 10,
                     point->z + RandomSigned() * 10};
        Vector3D v = {RandomSigned() * 20, RandomSigned() * 20, RandomSigned() * 20};
        float scale = RandomUnit() * 0.5f + 1;
        float spin = RandomUnit() * PI2;
        ParticleSpec particle = Particle(&p, &v, scale, spin, 0, 0.5f);
        if (!EmitterAdd(emitter, &particle))
            break;
    }
}

void EmitExhaust(const Point3D* point, EffectEmitter* emitter)
{
    if (!EmitterIsDue(emitter, 0.015f))
        return;
    ParticleGroupSpec def =
        GroupSpec(PGROUP_IGNORE_GROUND, 0, 12, 1.0f, 1.5f, PARTICLE_SObjType_Exhaust, true);
    if (EmitterGroup(emitter, &def) == -1)
        return;
    for (int i = 0; i < 2; i++) {
        Point3D p = {point->x + RandomSigned() * 6, point->y + RandomSigned() * 6,
                     point->z + RandomSigned() * 6};
        Vector3D v = {RandomSigned() * 10, RandomSigned() * 10, RandomSigned() * 10};
        float scale = 1 + RandomUnit() * 0.5f;
        float alpha = 0.4f + RandomUnit() * 0.1f;
        ParticleSpec particle = Particle(&p, &v, scale, 0, 0, alpha);
        if (!EmitterAdd(emitter, &particle))
            break;
    }
}

// ---------------------------------------------------------------------------------------------------------
// Explosions and bursts
// ---------------------------------------------------------------------------------------------------------

// count particles of a fresh group from where, velocities from velocityOf.
template <typename VelocityOf>
static void Burst(const ParticleGroupSpec& def, const Point3D* where, int count, float scatter,
                  float spinRate, float alpha, VelocityOf velocityOf)
{
    ParticleGroupSpec spec = def;
    int16_t group = CreateParticleGroup(&spec);
    if (group == -1)
        return;
    for (int i = 0; i < count; i++) {
        Point3D p = {where->x + RandomSigned() * scatter, where->y + RandomSigned() * scatter,
                     where->z + RandomSigned() * scatter};
        Vector3D v = velocityOf();
        float scale = RandomUnit() + 1;
        float spin = RandomUnit() * PI2;
        float rate = RandomSigned() * spinRate;
        ParticleSpec particle = Particle(&p, &v, scale, spin, rate, alpha);
        particle.group = group;
        if (AddParticleToGroup(&particle))
            break;
    }
}

void MakeFireExplosion(const Point3D* where, int count, float spread)
{
    ParticleGroupSpec def =
        GroupSpec(PGROUP_IGNORE_GROUND, -100, 35, -0.6f, 1.3f, PARTICLE_SObjType_Fireball, true);
    Burst(def, where, count, 20, 3, 0.6f, [spread] {
        return Vector3D{RandomSigned() * spread, RandomSigned() * spread, RandomSigned() * spread};
    });
}

void MakeSmokeBurst(const Point3D* where, int count, float spread)
{
    ParticleGroupSpec def =
        GroupSpec(PGROUP_IGNORE_GROUND, -50, 40, -0.7f, 0.7f, PARTICLE_SObjType_GreySmoke, false);
    Burst(def, where, count, 30, 1, 0.8f, [spread] {
        return Vector3D{RandomSigned() * spread, RandomSigned() * spread, RandomSigned() * spread};
    });
}

void MakeRisingFire(const Point3D* where, int count, float riseSpeed)
{
    ParticleGroupSpec def = GroupSpec(PGROUP_IGNORE_GROUND, 0, 40, -0.4f, 1.0f, PARTICLE_SObjType_Fire, true);
    float side = riseSpeed / 3;
    Burst(def, where, count, 30, 1, 1, [side, riseSpeed] {
        float x = RandomSigned() * side, y = RandomUnit() * riseSpeed, z = RandomSigned() * side;
        return Vector3D{x, y, z};
    });
}

void MakeParticleRing(const Point3D* centre, int count, float radius, int texture)
{
    // The ring reaches radius as it fades out: speed x lifetime = radius.
    constexpr float kFadeSpeed = 1.5f;
    ParticleGroupSpec def = GroupSpec(PGROUP_IGNORE_GROUND, 0, 25, 0.5f, kFadeSpeed, texture, true);
    int16_t group = CreateParticleGroup(&def);
    if (group == -1)
        return;
    float speed = radius * kFadeSpeed;
    for (int i = 0; i < count; i++) {
        float angle = PI2 * float(i) / float(count);
        Vector3D v = {std::sin(angle) * speed, 0, std::cos(angle) * speed};
        ParticleSpec particle = Particle(centre, &v, 1, 0, 0, 1);
        particle.group = group;
        if (AddParticleToGroup(&particle))
            break;
    }
}

void ThrowConfetti(const Point3D* where, int count, int texture)
{
    ConfettiGroupSpec def = {};
    def.flags = 0;
    def.gravity = 150;
    def.baseSize = 12;
    def.shrinkRate = 0;
    def.fadeSpeed = 1.0f;
    def.spriteIndex = uint8_t(texture);
    int16_t group = CreateConfettiGroup(&def);
    if (group == -1)
        return;
    for (int i = 0; i < count; i++) {
        Point3D p = {where->x + RandomSigned() * 60, where->y + RandomSigned() * 60,
                     where->z + RandomSigned() * 60};
        Vector3D v = {RandomSigned() * 300, RandomUnit() * 300 + 100, RandomSigned() * 300};
        ConfettiSpec flake = {};
        flake.group = group;
        flake.position = &p;
        flake.velocity = &v;
        flake.scale = RandomUnit() * 0.5f + 1;
        flake.rotation = {RandomUnit() * PI2, RandomUnit() * PI2, RandomUnit() * PI2};
        flake.rotationRate = {RandomSigned() * 8, RandomSigned() * 8, RandomSigned() * 8};
        flake.holdTime = 1 + RandomUnit();
        flake.alpha = 1;
        if (AddConfettiToGroup(&flake))
            break;
    }
}
