// The loading bar. Short loads never show it: it appears only once loading has taken 200 ms and
// is running behind a second per unit of progress, and it redraws at most every 16 ms so that
// drawing it does not slow the load down.

#include "System/Level.h"

#include "3D/MetaObjects.h"
#include "3D/OGL_Support.h"
#include "Interface/Overlay.h"
#include "System/Input.h"
#include "System/InputHook.h"
#include "System/Prefs.h"

#include <GL/gl.h>
#include <SDL.h>

static constexpr int kLoadingPictureSprite = 58; // of the infobar group
static constexpr uint32_t kShowAfterMilliseconds = 200;
static constexpr uint32_t kRedrawMilliseconds = 16;

static uint32_t gLoadingStartTicks = 0;
static uint32_t gLastLoadingDrawTicks = 0;
static bool gLoadingBarShown = false;
static float gLoadingProgress = 0;

static void DrawQuad(float left, float top, float right, float bottom)
{
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(left, top);
    glTexCoord2f(1, 0);
    glVertex2f(right, top);
    glTexCoord2f(1, 1);
    glVertex2f(right, bottom);
    glTexCoord2f(0, 1);
    glVertex2f(left, bottom);
    glEnd();
}

static void DrawLoadingPicture()
{
    if (gNumSpritesInGroupList[SPRITE_GROUP_INFOBAR] <= kLoadingPictureSprite)
        return;
    const SpriteGroupEntry& sprite = gSpriteGroupList[SPRITE_GROUP_INFOBAR][kLoadingPictureSprite];
    float width = 100;
    float height = sprite.width > 0 ? width * float(sprite.height) / float(sprite.width) : width;
    MO_DrawMaterial(sprite.materialObject);
    DrawQuad(320 - width / 2, 174 - height / 2, 320 + width / 2, 174 + height / 2);
}

// The fraction of black over the picture: the screen fades in over the first tenth of the load
// and out over the last, so the level's own fade-in follows without a jump.
static float LoadingCurtainOpacity()
{
    if (gLoadingProgress < 0.1f)
        return 1 - gLoadingProgress / 0.1f;
    if (gLoadingProgress > 0.9f)
        return (gLoadingProgress - 0.9f) / 0.1f;
    return 0;
}

static void DrawLoadingScreen()
{
    if (gCurrentPane != 0)
        return;

    uint32_t savedFlagsOverride = gMaterialFlagsOverride; // the overlay forces its own material flags
    OGL_PushState();
    SetOverlayProjection(0, 1);
    DrawLoadingPicture();

    OGL_DisableTexture2D();
    OGL_EnableBlend();
    OGL_SetColor4f(0.5f, 0.5f, 0.5f, 1);
    DrawQuad(280, 180, 360, 184);
    if (gPrefs.stereoMode == 1 || gPrefs.stereoMode == 2)
        OGL_SetColor4f(0.3f, 0.3f, 0.2f, 1); // red is invisible to one eye of the glasses
    else
        OGL_SetColor4f(0.8f, 0, 0, 1);
    DrawQuad(280, 180, 280 + 80 * gLoadingProgress, 184);

    OGL_SetColor4f(0, 0, 0, LoadingCurtainOpacity());
    DrawQuad(gOverlayLeft, gOverlayTop, gOverlayRight, gOverlayBottom);
    OGL_PopState();
    gMaterialFlagsOverride = savedFlagsOverride;
}

void ShowLoadingProgress(float fraction)
{
    PollInputBetweenFrames();
    uint32_t now = SDL_GetTicks();

    if (fraction == 0) {
        gLoadingStartTicks = now;
        gLastLoadingDrawTicks = 0;
        gLoadingBarShown = false;
        return;
    }

    if (!gLoadingBarShown) {
        uint32_t elapsed = now - gLoadingStartTicks;
        if (elapsed < kShowAfterMilliseconds || float(elapsed) <= fraction * 1000)
            return;
    }
    if (fraction > 0 && fraction < 1 && gLastLoadingDrawTicks != 0 &&
        now - gLastLoadingDrawTicks < kRedrawMilliseconds)
        return;

    gLoadingBarShown = true;
    gLastLoadingDrawTicks = now;
    gLoadingProgress = fraction;

    // The bar must not wait for the display's refresh between steps of the load.
    int swapInterval = SDL_GL_GetSwapInterval();
    SDL_GL_SetSwapInterval(0);
    glClear(GL_COLOR_BUFFER_BIT);
    OGL_DrawScene(DrawLoadingScreen);
    SDL_GL_SetSwapInterval(swapInterval);
}

bool IsLoadingBarShown()
{
    return gLoadingBarShown;
}
