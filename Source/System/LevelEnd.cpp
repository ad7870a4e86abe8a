// Level clean-up, in the reverse order of what the level made, so nothing is freed while something
// else still points at it.

#include "System/Level.h"

#include "3D/OGL_Support.h"
#include "3D/Sprites.h"
#include "3D/TQ3D.h"
#include "Objects/ObjNode.h"
#include "Skeleton/Skeleton.h"
#include "Sound/GameSound.h"
#include "Terrain/Terrain.h"

void EndLevel()
{
    // Custom splines are released here once geometry picking exists.
    SilenceAllEffects();
    // Spline-driven objects are deleted here once spline items exist.
    DisposeAllObjects();
    FreeAllSkeletonFiles(-1); // after their instances, before the model files that hold their meshes
    FreeTerrainData();
    // Effect systems and confetti groups are reset here once particles exist.
    DisposeSpriteGroup(SPRITE_GROUP_LEVELSPECIFIC);
    DisposeSpriteGroup(SPRITE_GROUP_INFOBAR_MAP);
    TQ3D_DisposeAllContainers();
    // Contrail meshes and live zaps are freed here once effects and hazards exist.
    OGL_DisposeGameView();

    gNumPanes = 1;
    gPlayMode = kPlayMode_Adventure;
}
