// The mouse: capture for flight control, relative motion, and the pointer in overlay coordinates.

#include "System/InputLocal.h"

#include "System/FrameRate.h"
#include "System/ProgramState.h"

static float gMouseSampleTimer;   // seconds since the last relative-motion sample
static SDL_FPoint gMouseSample;   // the last sample, returned until the next one is due
static bool gHasRememberedCursor; // a cursor position was remembered when the mouse was captured
static SDL_FPoint gRememberedCursor;

struct OverlayRect
{
    float left, right, top, bottom;
};

// The 640 x 480 overlay widened or heightened to the window's shape, as the overlay projection
// lays it out for the full-window pass at scale 1.
static OverlayRect OverlayRectOfWholeWindow(int windowWidth, int windowHeight)
{
    const float kOverlayWidth = 640.0f;
    const float kOverlayHeight = 480.0f;
    float aspect = float(windowWidth) / float(windowHeight);
    float width = kOverlayWidth;
    float height = kOverlayHeight;
    if (aspect >= kOverlayWidth / kOverlayHeight)
        width = aspect * kOverlayHeight;
    else
        height = kOverlayWidth / aspect;

    OverlayRect rect;
    rect.left = (kOverlayWidth - width) / 2.0f;
    rect.right = rect.left + width;
    rect.top = (kOverlayHeight - height) / 2.0f;
    rect.bottom = rect.top + height;
    return rect;
}

static void GetWindowSizeOrDefault(int* width, int* height)
{
    *width = 640;
    *height = 480;
    if (gGameWindow)
        SDL_GetWindowSize(gGameWindow, width, height);
    if (*width <= 0 || *height <= 0) {
        *width = 640;
        *height = 480;
    }
}

SDL_FPoint GetMouseOverlayPosition()
{
    int w, h;
    GetWindowSizeOrDefault(&w, &h);
    OverlayRect rect = OverlayRectOfWholeWindow(w, h);
    return {rect.left + float(gMouseWindowPosition.x) * (rect.right - rect.left) / float(w),
            rect.top + float(gMouseWindowPosition.y) * (rect.bottom - rect.top) / float(h)};
}

void SetMouseCapture(bool on)
{
    if (on) {
        gRememberedCursor = GetMouseOverlayPosition();
        gHasRememberedCursor = true;
    }

    if (gGameWindow)
        SDL_SetWindowGrab(gGameWindow, on ? SDL_TRUE : SDL_FALSE);
    SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE);

    // Put the system pointer back where the game's cursor was, so it does not jump on release.
    if (!on && gHasRememberedCursor) {
        int w, h;
        GetWindowSizeOrDefault(&w, &h);
        OverlayRect rect = OverlayRectOfWholeWindow(w, h);
        int x = int((gRememberedCursor.x - rect.left) * float(w) / (rect.right - rect.left));
        int y = int((gRememberedCursor.y - rect.top) * float(h) / (rect.bottom - rect.top));
        gMouseWindowPosition = {x, y};
        if (gGameWindow)
            SDL_WarpMouseInWindow(gGameWindow, x, y);
    }
}

SDL_FPoint GetMouseDelta()
{
    // Sampling at most 60 times a second keeps the motion per sample steady at high frame rates.
    gMouseSampleTimer += gFrameSeconds;
    if (gMouseSampleTimer < 1.0f / 60.0f)
        return gMouseSample;

    gMouseSampleTimer = 0.0f;
    gMouseSample = {float(gMouseMotionSum.x), float(gMouseMotionSum.y)};
    gMouseMotionSum = {0, 0};
    return gMouseSample;
}
