// Level clean-up, in the reverse order of what the level made, so nothing is freed while something
// else still points at it.

#include "System/Level.h"

#include "3D/CustomSplines.h"
#include "3D/OGL_Support.h"
#include "3D/Sprites.h"
#include "3D/TQ3D.h"
#include "Gameplay/Effects.h"
#include "Gameplay/Hazards.h"
#include "Gameplay/Player.h"
#include "Interface/Infobar.h"
#include "Objects/ObjNode.h"
#include "Skeleton/Skeleton.h"
#include "Sound/GameSound.h"
#include "Terrain/SplineObjects.h"
#include "Terrain/Terrain.h"

void EndLevel()
{
    ReleaseAllCustomSplines();
    SilenceAllEffects();
    EmptySplineObjectList(); // unlinked ones are not in the list DisposeAllObjects walks
    DisposeAllObjects();
    DisposePlayerArt();
    FreeAllSkeletonFiles(-1); // after their instances, before the model files that hold their meshes
    FreeTerrainData();
    FreeAllParticleGroups(); // their managers went with the objects
    FreeAllConfettiGroups();
    DisposeInfobar(); // its map mesh holds the map picture
    DisposeSpriteGroup(SPRITE_GROUP_LEVELSPECIFIC);
    DisposeSpriteGroup(SPRITE_GROUP_INFOBAR_MAP);
    TQ3D_DisposeAllContainers();
    FreeContrailMeshes(); // while the vertex-array pools still exist
    FreeAllZaps();
    OGL_DisposeGameView();

    gNumPanes = 1;
    gPlayMode = kPlayMode_Adventure;
}
