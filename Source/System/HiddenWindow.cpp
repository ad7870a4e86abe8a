#include "System/HiddenWindow.h"

#include "3D/OGL_Support.h"
#include "System/Prefs.h"
#include "System/ProgramState.h"
#include "System/Window.h"

#include <SDL.h>

bool OpenHiddenWindow(const char* title, int width, int height, bool shown)
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    RequestOpenGLAttributes(0);
    // Whole-level views span thousands of units: 16 depth bits would band.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);

    gGameWindow = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                                   SDL_WINDOW_OPENGL | (shown ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN));
    if (!gGameWindow) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    gPrefs.vsync = 0; // nothing to wait for off screen, and a tool or test should not
    OGL_CreateDrawContext();
    return true;
}

void CloseHiddenWindow()
{
    if (!gGameWindow)
        return;
    OGL_DisposeDrawContext();
    SDL_DestroyWindow(gGameWindow);
    gGameWindow = nullptr;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
