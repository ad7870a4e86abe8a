// HazardsLocal.h: what the power-up and hazard files share: object makers for their parts, the
// nearest player, the approximate ground distance, sparkles and the per-object emitter.
#pragma once

#include "Gameplay/Effects.h"
#include "Gameplay/Hazards.h"
#include "Objects/ObjNode.h"

// A display group of `model` in `group` at `where`, with the given slot, heading and scale; the move
// routine may be null. Distant ones fade with the level.
ObjNode* MakeHazardPart(int group, int model, const Point3D& where, int slot, float heading, float scale,
                        uint32_t status, ObjNodeProc move);
// The same, appended to head's chain.
ObjNode* AppendHazardPart(ObjNode* head, int group, int model, const Point3D& where, int slot, float heading,
                          float scale, uint32_t status);

// The object will never be made again in this level: deleting it leaves its map item taken.
void ForgetMapItem(ObjNode* obj);
// Marks the object's map item spent (made again, it builds its spent form).
void MarkMapItemSpent(ObjNode* obj);

// The larger of |dx|, |dz| plus 0.375 x the smaller: a cheap ground distance.
float ApproxDistance2D(float dx, float dz);
// The nearest live player to `where` (3D distance); -1 with none. *distance gets it.
int NearestPlayerTo(const Point3D& where, float* distance);
// Is this player flying and hittable (object alive, not dead)?
bool IsPlayerLive(int player);

// A sparkle on owner (flags GLINT_..., white, half-size `size`) at `where` (owner-local with
// GLINT_OWNER_SPACE); -1 when the tables are full.
int16_t AddHazardSparkle(ObjNode* owner, uint32_t flags, float size, const Point3D& where, int texture);
// Removes the sparkle from its owner's slots and the table; -1 is ignored. *index becomes -1.
void RemoveHazardSparkle(ObjNode* owner, int16_t* index);

// The effect emitter a node keeps in its GeneralBlock.
EffectEmitter* NodeEffectEmitter(ObjNode* node);

// Runs target's WeaponHitProc with the source as the weapon; true when one ran.
bool HitWithWeapon(ObjNode* source, ObjNode* target, const Point3D* point, const Vector3D* normal);

// Keeps the node's looping effect playing and following `where` (LoopChannel); it is started again
// when it ended or went out of hearing.
void KeepLoopPlaying(ObjNode* node, int16_t effect, const Point3D* where, float rate, float volume);
