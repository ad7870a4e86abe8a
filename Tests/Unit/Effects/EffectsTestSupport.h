// Shared by the effect tests: a particle sprite group of plain materials, the vertex-array pools, an
// empty object list and a game view whose frame counter a test sets, so frames can be driven by hand
// without a window.
#pragma once

#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "3D/Sprites.h"
#include "Gameplay/Effects.h"
#include "Objects/ObjNode.h"
#include "Support/AlertCapture.h"
#include "System/FrameRate.h"
#include "System/Pause.h"
#include "System/ProgramState.h"
#include "Terrain/Water.h"

#include <gtest/gtest.h>

#include <cstring>

inline MetaObject* MakePlainMaterial()
{
    MaterialRecord material;
    memset(&material, 0, sizeof(material));
    material.diffuseColor[0] = material.diffuseColor[1] = material.diffuseColor[2] =
        material.diffuseColor[3] = 1;
    return MO_CreateNewObjectOfType(MO_TYPE_MATERIAL, 0, &material);
}

inline void MakeParticleSprites(int count)
{
    AllocSpriteGroup(SPRITE_GROUP_PARTICLES, count);
    for (int i = 0; i < count; i++)
        gSpriteGroupList[SPRITE_GROUP_PARTICLES][i].materialObject = MakePlainMaterial();
}

class EffectsTest : public ::testing::Test
{
protected:
    GameViewInfo view = {};

    void SetUp() override
    {
        InitObjectPool();
        gPaused = false;
        gNumPanes = 1;
        OGL_InitVertexArrayMemory();
        gGameViewInfoPtr = &view;
        view.cameras[0].eye = {0, 0, 1000};
        view.cameras[1].eye = {1000, 0, 0};
        MakeParticleSprites(PARTICLE_SObjType_COUNT);
        gFrameSeconds = 1.0f / 60;
        ResetContrails();
        ResetEffectSystems();
        ResetSparkles();
    }

    void TearDown() override
    {
        DisposeAllObjects();
        ClearRipplePool(); // the splash's ripple object went with the others
        FreeAllParticleGroups();
        FreeAllConfettiGroups();
        FreeContrailMeshes();
        OGL_DisposeVertexArrayMemory();
        DisposeSpriteGroup(SPRITE_GROUP_PARTICLES);
        gGameViewInfoPtr = nullptr;
        gNumPanes = 1;
    }

    // One move pass of the object engine at the next frame count.
    void RunFrame()
    {
        MoveObjects();
        view.frameCount++;
    }
};

inline ParticleGroupSpec PlainGroupSpec(uint32_t flags = PGROUP_IGNORE_GROUND, uint32_t stamp = 0)
{
    ParticleGroupSpec def = {};
    def.stamp = stamp;
    def.flags = flags;
    def.baseSize = 10;
    def.fadeSpeed = 0.5f;
    def.spriteIndex = PARTICLE_SObjType_Fire;
    def.blendSource = EFFECT_BLEND_SRC_ALPHA;
    def.blendDest = EFFECT_BLEND_ONE;
    return def;
}

// Adds one particle at p with velocity v; returns what AddParticleToGroup returned.
inline bool AddParticleAt(int16_t group, Point3D p, Vector3D v = {0, 0, 0}, float alpha = 1, float scale = 1)
{
    ParticleSpec spec = {};
    spec.group = group;
    spec.position = &p;
    spec.velocity = &v;
    spec.scale = scale;
    spec.alpha = alpha;
    return AddParticleToGroup(&spec);
}
