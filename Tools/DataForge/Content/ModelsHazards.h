// Hazards that every scene file carries, each several consecutive models: the tower turret (base,
// head, spinning wheel, gun), the air mine (anchor, chain, mine) and the round door frame. Their
// joints match the offsets the game places the parts at.
#pragma once

#include "DataForge/Content/ModelsKit.h"

// Models first..first+3: base, head, wheel (turning about Z at head-local (31.8, 282.5, 0)) and gun
// (at head-local (0, 283.1, 0), muzzle at gun-local (-61, 0, -115)).
void AddTurretModels(ModelFileBuilder& file, int first, Rgb paint);

// Models first..first+2: anchor (chain pivot 48 up), chain (from y = 0 to chainLength) and mine
// (centred on its origin; sphere-mapped, so every mesh is textured).
void AddAirMineModels(ModelFileBuilder& file, int first, float chainLength);

// One model: a stone ring gate in the XY plane whose opening is centred 129.5 up, where the
// game hangs the turning door leaf; a wall closes the lower half.
void AddDoorFrameModel(ModelFileBuilder& file, int number, Rgb stone);
