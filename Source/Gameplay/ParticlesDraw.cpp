// ParticlesDraw.cpp: the particle manager's draw routine. Sparkles first, then every visible group in
// slot order as one draw call with its own blend.
#include "3D/OGL_Support.h"
#include "Gameplay/EffectsLocal.h"

void RenderParticleGroups(ObjNode*)
{
    int pane = gCurrentPane;
    if (pane < 0 || pane >= gNumPanes || pane >= 2)
        return;
    int parity = EffectFrameParity();

    // 1. Glints are pinned to other objects but drawn with the particles' render state.
    RenderSparkles(pane);

    // 2. The groups blend each in their own way over one saved state.
    OGL_PushState();
    OGL_EnableBlend();
    OGL_SetColor4f(1, 1, 1, 1);

    // 3. One draw call per group, culled as a whole by its box.
    for (ParticleGroupRecord* group : gParticleGroupTable) {
        if (!group || group->pendingFree || !group->visibleInPane[pane])
            continue;
        MetaObject* mesh = group->meshes[parity][pane];
        if (!mesh || MO_GetGeometryData(mesh)->numTriangles == 0)
            continue;
        if (!IsBoxVisible(&group->bounds, nullptr))
            continue;
        OGL_BlendFunc(group->blendSource, group->blendDest);
        MO_DrawObject(mesh);
    }

    // 4. Back to the state the object engine expects.
    OGL_PopState();
    OGL_SetColor4f(1, 1, 1, 1);
}
