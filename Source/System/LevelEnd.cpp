// Level clean-up, in the reverse order of what the level made, so nothing is freed while something
// else still points at it.

#include "System/Level.h"

#include "3D/CustomSplines.h"
#include "3D/OGL_Support.h"
#include "3D/Sprites.h"
#include "3D/TQ3D.h"
#include "Gameplay/Player.h"
#include "Objects/ObjNode.h"
#include "Skeleton/Skeleton.h"
#include "Sound/GameSound.h"
#include "Terrain/Terrain.h"

void EndLevel()
{
    ReleaseAllCustomSplines();
    SilenceAllEffects();
    // PENDING(Items): delete the spline-driven objects.
    DisposeAllObjects();
    DisposePlayerArt();
    FreeAllSkeletonFiles(-1); // after their instances, before the model files that hold their meshes
    FreeTerrainData();
    // PENDING(Effects): reset the effect systems and confetti groups.
    DisposeSpriteGroup(SPRITE_GROUP_LEVELSPECIFIC);
    DisposeSpriteGroup(SPRITE_GROUP_INFOBAR_MAP);
    TQ3D_DisposeAllContainers();
    // PENDING(Effects): free the contrail meshes.
    // PENDING(Hazards): free the live zaps.
    OGL_DisposeGameView();

    gNumPanes = 1;
    gPlayMode = kPlayMode_Adventure;
}
