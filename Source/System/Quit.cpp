// The clean-quit sequence. It runs once: a fatal alert raised while it runs (a failing disposal,
// say) goes straight to the quit request instead of disposing twice.

#include "System/GameShell.h"

#include "3D/Atlas.h"
#include "3D/OGL_Support.h"
#include "3D/Sprites.h"
#include "3D/TQ3D.h"
#include "Objects/ObjNode.h"
#include "Sound/GameSound.h"
#include "System/Prefs.h"
#include "Tarnet/Tarnet.h"
#include "Terrain/Terrain.h"

#include <SDL.h>

bool gQuitting = false;

void QuitCleanly()
{
    if (!gQuitting) {
        gQuitting = true;

        WritePrefsFile();
        DisposeAllObjects();
        FreeTerrainData();
        TQ3D_DisposeAllContainers();
        // Textures go while the draw context still exists.
        DisposeAllSpriteGroups();
        DisposeAllAtlases();
        if (gGameViewInfoPtr)
            OGL_DisposeGameView();
        OGL_DisposeDrawContext();
        ShutdownGameSound();
    }

    SDL_ShowCursor(SDL_ENABLE);
    Tarnet::ExitToShell();
}
