// The program-wide state and the registered way out.

#include "System/ProgramState.h"

#include "Tarnet/Tarnet.h"

SDL_Window* gGameWindow = nullptr;
Tarnet::FSSpec gDataFolderSpec = {};
bool gTimeDemoMode = false;
int gNumPanes = 1;
float gFadeLevel = 1.0f;

static QuitRoutine gQuitRoutine = nullptr;

void SetQuitRoutine(QuitRoutine routine)
{
    gQuitRoutine = routine;
}

void RequestQuit()
{
    if (gQuitRoutine)
        gQuitRoutine();
    // A quit routine that came back did not quit: the host layer's request always does.
    Tarnet::ExitToShell();
}
