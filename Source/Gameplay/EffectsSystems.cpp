// EffectsSystems.cpp: the level start of the effect systems and the emitter pattern every continuous
// effect shares.
#include "3D/Sprites.h"
#include "Gameplay/EffectsLocal.h"
#include "System/FrameRate.h"
#include "System/Random.h"

void ResetEffectSystems()
{
    InitParticleSystem();
    ResetConfetti();
    ResetShards();
    BlendASprite(SPRITE_GROUP_PARTICLES, PARTICLE_SObjType_Splash);
}

void InitEffectEmitter(EffectEmitter* emitter)
{
    emitter->group = -1;
    emitter->stamp = 0;
    emitter->timer = 0;
}

bool EmitterIsDue(EffectEmitter* emitter, float interval)
{
    emitter->timer -= gFrameSeconds;
    if (emitter->timer > 0)
        return false;
    emitter->timer += interval;
    return true;
}

int16_t EmitterGroup(EffectEmitter* emitter, ParticleGroupSpec* def)
{
    // The stamp tells our group from another creator's that took the slot after ours was freed.
    if (emitter->group != -1 && IsParticleGroupCurrent(emitter->group, emitter->stamp))
        return emitter->group;
    def->stamp = RandomU32();
    emitter->group = CreateParticleGroup(def);
    emitter->stamp = def->stamp;
    return emitter->group;
}

bool EmitterAdd(EffectEmitter* emitter, ParticleSpec* particle)
{
    particle->group = emitter->group;
    if (AddParticleToGroup(particle)) {
        emitter->group = -1;
        return false;
    }
    return true;
}
