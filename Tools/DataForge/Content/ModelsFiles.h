// The game's model files, one builder each. A builder returns the finished description with every
// model number the game refers to; ForgeModels writes them into Data/Models.
#pragma once

#include "DataForge/Writers/TQ3DWriter.h"

TQ3DFile BuildGlobalModels();     // Global.tq3d: eggs, nests, power-ups, wormhole, hazards' parts
TQ3DFile BuildWeaponModels();     // Weapons.tq3d: shots, missile, bomb, blast ring, shield bubble
TQ3DFile BuildPlayerPartModels(); // playerparts.tq3d: the jet pack and its flames
TQ3DFile BuildLevelIntroModels(); // levelintro.tq3d: scenery of the level-intro screen
TQ3DFile BuildForestModels();     // forest.tq3d
TQ3DFile BuildDesertModels();     // desert.tq3d
TQ3DFile BuildSwampModels();      // swamp.tq3d
