// EffectsLocal.h: what the effect systems' files share and the rest of the game does not see.
#pragma once

#include <cstdint>

#include "Gameplay/Effects.h"
#include "Objects/ObjNode.h"

// The material of particle sprite n; a sprite the group does not hold is a programming error.
MetaObject* ParticleTexture(int spriteIndex);
// Every quad of a particle mesh: its four corners' texture coordinates (u, v pairs in corner
// order) and its two triangles; only the corner positions and colours change from frame to frame.
void FillQuadUVsAndTriangles(VertexArrayGeometry* geometry, int quads, const float cornerUVs[8]);

// A CUSTOM_DRAW_GENRE manager at the origin with scale 1.
ObjNode* MakeEffectManager(uint16_t slot, uint32_t statusFlags, ObjNodeProc move, ObjNodeProc draw);

// Eye of pane p's camera; the origin with no game view.
Point3D PaneEyePosition(int pane);

// The emitter pattern: true when the timer ran out this frame (it is refilled by interval).
bool EmitterIsDue(EffectEmitter* emitter, float interval);
// The emitter's group, made afresh from def (with a new stamp) when it has none or it was freed; -1 when
// no group can be made this time.
int16_t EmitterGroup(EffectEmitter* emitter, ParticleGroupSpec* def);
// Adds one particle to the emitter's group; when the group is full (or gone) the emitter forgets it and
// false is returned so the caller stops adding this time.
bool EmitterAdd(EffectEmitter* emitter, ParticleSpec* particle);
