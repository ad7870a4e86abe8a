// The clean-quit sequence. It runs once: a fatal alert raised while it runs (a failing disposal,
// say) goes straight to the quit request instead of disposing twice.

#include "System/GameShell.h"

#include "3D/OGL_Support.h"
#include "Objects/ObjNode.h"
#include "Sound/GameSound.h"
#include "System/Prefs.h"
#include "Tarnet/Tarnet.h"

#include <SDL.h>

bool gQuitting = false;

void QuitCleanly()
{
    if (!gQuitting) {
        gQuitting = true;

        WritePrefsFile();
        DisposeAllObjects();
        // The terrain, the model groups, the sprite groups and the sprite atlases are disposed
        // here as their subsystems arrive.
        if (gGameViewInfoPtr)
            OGL_DisposeGameView();
        OGL_DisposeDrawContext();
        ShutdownGameSound();
    }

    SDL_ShowCursor(SDL_ENABLE);
    Tarnet::ExitToShell();
}
