// OGL_View.cpp: the game view. Every screen sets one up, draws its frames and disposes of it; the
// vertex-array pools live exactly as long as the view.
#include "3D/OGL_Local.h"
#include "System/Alerts.h"
#include "System/Memory.h"
#include "System/Prefs.h"
#include "System/ProgramState.h"

#include <cstring>

GameViewInfo* gGameViewInfoPtr = nullptr;
int gSplitScreenMode = 0;
int gCurrentPane = 0;
int gWindowWidth = 640;
int gWindowHeight = 480;

void OGL_NewViewSetup(ViewSetupRecord* setup)
{
    memset(setup, 0, sizeof(*setup));

    setup->clearScreen = true;
    setup->clearColor[3] = 1;

    setup->fogStart = 2000;
    setup->fogEnd = 4000;
    setup->fogDensity = 1;
    setup->fogMode = GL_LINEAR;

    for (int i = 0; i < 2; i++) {
        setup->cameraFrom[i] = {0, 0, 0};
        setup->cameraTo[i] = {0, 0, -1};
        setup->cameraUp[i] = {0, 1, 0};
    }
    setup->nearClip = 10;
    setup->farClip = 4000;
    setup->fov = 1.2f;

    setup->ambientColor[0] = setup->ambientColor[1] = setup->ambientColor[2] = 0.2f;
    setup->ambientColor[3] = 1;
    setup->lightCount = 1;
    Normalize3XYZ(1, 0, -1, &setup->lightDirection[0]);
    Normalize3XYZ(0, -1, -0.3f, &setup->lightDirection[1]);
    for (int i = 0; i < 2; i++)
        setup->lightColor[i][0] = setup->lightColor[i][1] = setup->lightColor[i][2] =
            setup->lightColor[i][3] = 1;
}

// Clears to black and presents, so a new screen never flashes the last frame of the previous one.
static void ClearAndPresentBlack()
{
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SDL_GL_SwapWindow(gGameWindow);
}

// The clear colour as the stereo glasses will see it.
static void StereoClearColor(const float* in, float* out)
{
    memcpy(out, in, 4 * sizeof(float));
    if (gPrefs.stereoMode == 1) {
        uint8_t r = (uint8_t)(in[0] * 255), g = (uint8_t)(in[1] * 255), b = (uint8_t)(in[2] * 255);
        OGL_ColorToAnaglyph(&r, &g, &b);
        out[0] = r / 255.0f;
        out[1] = g / 255.0f;
        out[2] = b / 255.0f;
        out[3] = 1;
    } else if (gPrefs.stereoMode == 2) {
        out[0] = out[1] = out[2] = 0.299f * in[0] + 0.587f * in[1] + 0.114f * in[2];
        out[3] = 1;
    }
}

static void SetInitialGLState(const ViewSetupRecord* setup)
{
    float clearColor[4];
    StereoClearColor(setup->clearColor, clearColor);

    if (gPrefs.stereoMode == 3) {
        glDrawBuffer(GL_BACK_LEFT);
        ClearAndPresentBlack();
        glDrawBuffer(GL_BACK_RIGHT);
        ClearAndPresentBlack();
        glDrawBuffer(GL_BACK);
    } else {
        ClearAndPresentBlack();
    }
    glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);

    glEnable(GL_DEPTH_TEST);
    const float white[4] = {1, 1, 1, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, white);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_NORMALIZE);
    glDisable(GL_RESCALE_NORMAL);

    // Start from what OpenGL really has, so the first cached change is never skipped by mistake.
    OGL_SetActiveTextureUnit(0);
    OGL_ResetStateCache();

    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    OGL_EnableCullFace();
    OGL_BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    OGL_DisableBlend();
    OGL_DisableTexture2D();
    // Prime the colour cache with a value nobody uses, so the white below really reaches OpenGL.
    OGL_SetColor4f(.1f, .1f, .1f, .1f);
    OGL_SetColor4f(1, 1, 1, 1);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_NOTEQUAL, 0);
    glHint(GL_FOG_HINT, GL_NICEST);

    if (setup->useFog) {
        glFogi(GL_FOG_MODE, setup->fogMode);
        glFogf(GL_FOG_DENSITY, setup->fogDensity);
        glFogf(GL_FOG_START, setup->fogStart);
        glFogf(GL_FOG_END, setup->fogEnd);
        glFogfv(GL_FOG_COLOR, setup->clearColor);
        OGL_EnableFog();
    } else {
        OGL_DisableFog();
    }

    OGL_EnableLighting();
    const float ambient[4] = {setup->ambientColor[0], setup->ambientColor[1], setup->ambientColor[2], 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    OGL_CheckGLError(__FILE__, __LINE__);
}

// Directional fill lights; the positions are sent again whenever a camera is applied.
static void SetupLights(GameViewInfo* view, const ViewSetupRecord* setup)
{
    view->lightCount = setup->lightCount;
    memcpy(view->ambientColor, setup->ambientColor, sizeof(view->ambientColor));
    for (int i = 0; i < MAX_FILL_LIGHTS; i++) {
        view->lightDirection[i] = setup->lightDirection[i];
        memcpy(view->lightColor[i], setup->lightColor[i], sizeof(view->lightColor[i]));
    }

    for (int i = 0; i < MAX_FILL_LIGHTS; i++) {
        if (i >= setup->lightCount) {
            glDisable(GL_LIGHT0 + i);
            continue;
        }
        Normalize3(&view->lightDirection[i], &view->lightDirection[i]);
        const Vector3D* d = &view->lightDirection[i];
        const float position[4] = {-d->x, -d->y, -d->z, 0};
        const float black[4] = {0, 0, 0, 1};
        const float diffuse[4] = {setup->lightColor[i][0], setup->lightColor[i][1], setup->lightColor[i][2],
                                  1};
        glLightfv(GL_LIGHT0 + i, GL_POSITION, position);
        glLightfv(GL_LIGHT0 + i, GL_AMBIENT, black);
        glLightfv(GL_LIGHT0 + i, GL_DIFFUSE, diffuse);
        glEnable(GL_LIGHT0 + i);
    }
}

static void (*gCameraMovedRoutine)() = nullptr;

void OGL_SetCameraMovedRoutine(void (*routine)())
{
    gCameraMovedRoutine = routine;
}

static void TellCameraMoved()
{
    if (gCameraMovedRoutine)
        gCameraMovedRoutine();
}

void OGL_SetupGameView(const ViewSetupRecord* setup)
{
    GAME_ASSERT(!gGameViewInfoPtr);

    // Checked before anything is made, so a refused set-up leaves no half-built view behind.
    gCurrentPane = 0;
    if (gNumPanes == 1)
        gSplitScreenMode = 0;
    else if (gNumPanes == 2)
        gSplitScreenMode = gPrefs.splitScreenMode;
    else
        ShowFatalAlert("OGL_SetupWindow: # panes not implemented");
    // A light count beyond the four fill lights would write past the records.
    GAME_ASSERT(setup->lightCount >= 0 && setup->lightCount <= MAX_FILL_LIGHTS);

    gGameViewInfoPtr = (GameViewInfo*)AllocPtrClear(sizeof(GameViewInfo));
    GAME_ASSERT(gGameViewInfoPtr);
    GameViewInfo* view = gGameViewInfoPtr;

    SetInitialGLState(setup);
    SetupLights(view, setup);
    OGL_InitVertexArrayMemory();

    memcpy(view->clip, setup->clip, sizeof(view->clip));
    view->nearClip = setup->nearClip;
    view->farClip = setup->farClip;
    view->useFog = setup->useFog;
    view->clearScreen = setup->clearScreen;
    memcpy(view->clearColor, setup->clearColor, sizeof(view->clearColor));
    view->isActive = true;
    for (int slot = 0; slot < MAX_CAMERA_SLOTS; slot++) {
        view->fov[slot] = setup->fov;
        view->cameras[slot].up = {0, 1, 0};
        view->cameras[slot].eye = setup->cameraFrom[slot];
        view->cameras[slot].target = setup->cameraTo[slot];
    }
    view->frameCount = 0;
    TellCameraMoved();
    OGL_CheckGLError(__FILE__, __LINE__);
}

void OGL_DisposeGameView()
{
    GAME_ASSERT(gGameViewInfoPtr);
    ClearAndPresentBlack();
    OGL_DisposeVertexArrayMemory();
    gGameViewInfoPtr->isActive = false;
    SafeDisposePtr(gGameViewInfoPtr);
    gGameViewInfoPtr = nullptr;
}

void OGL_UpdateCameraFromTo(const Point3D* from, const Point3D* to, int camNum)
{
    if (camNum < 0 || camNum >= MAX_CAMERA_SLOTS)
        ShowFatalAlert("OGL_UpdateCameraFromTo: illegal camNum");
    CameraPlacement* camera = &gGameViewInfoPtr->cameras[camNum];
    if (from)
        camera->eye = *from;
    if (to)
        camera->target = *to;
    camera->up = {0, 1, 0};
    TellCameraMoved();
}

void OGL_UpdateCameraFromToUp(const Point3D* from, const Point3D* to, const Vector3D* up, int camNum)
{
    if (camNum < 0 || camNum >= MAX_CAMERA_SLOTS)
        ShowFatalAlert("OGL_UpdateCameraFromToUp: illegal camNum");
    CameraPlacement* camera = &gGameViewInfoPtr->cameras[camNum];
    camera->eye = *from;
    camera->target = *to;
    camera->up = *up;
    TellCameraMoved();
}

void OGL_GetPaneViewport(int pane, int* x, int* y, int* width, int* height)
{
    const int16_t* clip = gGameViewInfoPtr ? gGameViewInfoPtr->clip : nullptr;
    int b = clip ? clip[0] : 0, l = clip ? clip[1] : 0, t = clip ? clip[2] : 0, r = clip ? clip[3] : 0;
    int w = gWindowWidth - l - r;
    int h = gWindowHeight - t - b;

    if (gSplitScreenMode == 0 || pane == gNumPanes) {
        *x = l;
        *y = b;
        *width = w;
        *height = h;
    } else if (gSplitScreenMode == 1) {
        // Stacked: pane 0 is the upper half (OpenGL's y grows upward).
        *width = w;
        *height = h / 2;
        *x = l;
        *y = pane == 0 ? b + h / 2 : b;
    } else {
        *width = w / 2;
        *height = h;
        *y = b;
        *x = pane == 0 ? l : l + w / 2;
    }
}
