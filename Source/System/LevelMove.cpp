// The logic of a level frame, in its order: input is read before anything moves, everything moves
// before the cameras follow, and the cameras settle before the terrain window is updated around them.

#include "System/Level.h"

#include "Gameplay/Camera.h"
#include "Gameplay/Hazards.h"
#include "Gameplay/Player.h"
#include "Objects/ObjNode.h"
#include "System/FrameRate.h"
#include "System/Input.h"
#include "System/ProgramState.h"
#include "Terrain/Fences.h"
#include "Terrain/SplineObjects.h"
#include "Terrain/Terrain.h"

void MoveLevelFrame()
{
    for (int player = 0; player < gNumPanes; player++)
        UpdatePlayerInputs(player);

    MoveObjects();
    MoveSplineObjects();
    MoveCameras();
    FadeFencesByDistance(); // with the cameras' new distance
    SwirlDustDevils();

    if (gPlayMode == kPlayMode_Race) {
        gRaceStartTimer -= gFrameSeconds;
        UpdateRacePlaces();
    }

    UpdateSuperTileWindows();
}
