#include "System/Window.h"

#include "System/Input.h"
#include "System/Prefs.h"
#include "System/ProgramState.h"

#include <SDL.h>

void RequestOpenGLAttributes(int msaaLevel)
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, msaaLevel != 0 ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, msaaLevel != 0 ? 1 << msaaLevel : 0);
}

void WindowSizeForUsableArea(int usableWidth, int usableHeight, int* width, int* height)
{
    // Single precision and truncation, so a display gives the same size on every machine.
    if (usableHeight < usableWidth) {
        float h = float(usableHeight) * 0.6666667f;
        *width = int(h * 1.6f);
        *height = int(h);
    } else {
        float w = float(usableWidth) * 0.6666667f;
        *width = int(w);
        *height = int(w / 1.6f);
    }
}

void ComputeWindowSize(int display, int* width, int* height)
{
    int usableWidth = 640;
    int usableHeight = 480;
    SDL_Rect bounds;
    if (SDL_GetDisplayUsableBounds(display, &bounds) == 0) {
        usableWidth = bounds.w;
        usableHeight = bounds.h;
    }
    WindowSizeForUsableArea(usableWidth, usableHeight, width, height);
}

int GetPreferredDisplay()
{
    return gPrefs.displayNum < SDL_GetNumVideoDisplays() ? gPrefs.displayNum : 0;
}

void PlaceWindowOnChosenDisplay()
{
    if (!gGameWindow || SDL_GetWindowDisplayIndex(gGameWindow) == gPrefs.displayNum)
        return;

    int display = GetPreferredDisplay();
    int width, height;
    ComputeWindowSize(display, &width, &height);
    SDL_SetWindowSize(gGameWindow, width, height);
    SDL_SetWindowPosition(gGameWindow, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(display));
}

void ApplyFullscreenPref(bool moveToPreferredDisplay)
{
    if (!gGameWindow)
        return;

    if (gPrefs.fullscreen) {
        if (moveToPreferredDisplay && SDL_GetWindowDisplayIndex(gGameWindow) != gPrefs.displayNum) {
            SDL_SetWindowFullscreen(gGameWindow, 0);
            PlaceWindowOnChosenDisplay();
        }
        SDL_SetWindowFullscreen(gGameWindow, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(gGameWindow, 0);
        if (moveToPreferredDisplay)
            PlaceWindowOnChosenDisplay();
    }
}

void ToggleFullscreen()
{
    gPrefs.fullscreen = !gPrefs.fullscreen;
    ApplyFullscreenPref(false);
}

void ShowCursorForDialog()
{
    SetMouseCapture(false);
    SDL_ShowCursor(SDL_ENABLE);
}

void HideCursorAgain()
{
    SDL_ShowCursor(SDL_DISABLE);
}
